// The address list file (*.lse): a count, then each key and value as a
// length-prefixed string, little-endian, no header. The reader also takes
// the UTF-16 strings older writers produced.
#pragma once

#include <string>
#include <string_view>

#include "address/address_set.h"
#include "address/file_error.h"

namespace zofrin {

struct ListFileError {
  enum class Kind {
    kNone,
    kEndOfData,      // a count, length or string reaches beyond the last byte
    kWideMarkTwice,  // a wide string whose length prefix is another wide mark
    kOpen,           // the file could not be opened (cause says why)
    kIo,             // reading or writing failed once the file was open
    kOutOfMemory,
  };
  Kind kind = Kind::kNone;
  FileErrorCause cause = FileErrorCause::kNone;
  std::string path;

  bool Ok() const { return kind == Kind::kNone; }
  // The text a user is shown, as the desktop program shows it.
  std::string Message(bool writing = false) const;
};

// Calls entry(key, value) for each entry in file order. Fails before
// anything is allocated for a count or length that reaches past the end.
template <class Entry>
ListFileError::Kind ParseListBytes(std::string_view bytes, Entry&& entry);

// Stores every entry of `bytes` into `set`, which is not cleared first.
ListFileError::Kind ReadListBytes(std::string_view bytes, AddressSet& set);
// Reads the file at `path` into `set` (not cleared first).
ListFileError ReadListFile(const std::string& path, AddressSet& set);

// The pieces of the file format: the entry count, and a length-prefixed
// string.
void AppendListCount(std::string& out, std::size_t count);
void AppendListString(std::string& out, std::string_view text);

// The file bytes of `set`.
std::string WriteListBytes(const AddressSet& set);
// Writes `set` to `path`, replacing an old file only once the new one is
// whole on disk.
ListFileError WriteListFile(const std::string& path, const AddressSet& set);

// Helpers of the parser, exposed for it being a template.
namespace list_file_detail {
std::string WideToCodePage(std::string_view littleEndianUtf16);
}

template <class Entry>
ListFileError::Kind ParseListBytes(std::string_view bytes, Entry&& entry) {
  using Kind = ListFileError::Kind;
  const auto* p = reinterpret_cast<const unsigned char*>(bytes.data());
  std::size_t pos = 0;
  const std::size_t size = bytes.size();
  auto u16 = [&](std::uint32_t& out) {
    if (size - pos < 2) return false;
    out = p[pos] | (p[pos + 1] << 8);
    pos += 2;
    return true;
  };
  auto u32 = [&](std::uint32_t& out) {
    if (size - pos < 4) return false;
    out = p[pos] | (p[pos + 1] << 8) | (p[pos + 2] << 16) | (std::uint32_t(p[pos + 3]) << 24);
    pos += 4;
    return true;
  };
  // Reads a length prefix; `wide` is set by a wide mark before it.
  auto length = [&](std::uint64_t& out, bool& wide) -> Kind {
    wide = false;
    for (;;) {
      if (pos >= size) return Kind::kEndOfData;
      const unsigned char first = p[pos++];
      if (first < 0xFF) {
        out = first;
        return Kind::kNone;
      }
      std::uint32_t word;
      if (!u16(word)) return Kind::kEndOfData;
      if (word == 0xFFFE) {
        if (wide) return Kind::kWideMarkTwice;
        wide = true;
        continue;
      }
      if (word < 0xFFFF) {
        out = word;
        return Kind::kNone;
      }
      std::uint32_t dword;
      if (!u32(dword)) return Kind::kEndOfData;
      out = dword;
      return Kind::kNone;
    }
  };
  std::string wideKey;
  std::string wideValue;
  auto string = [&](std::string_view& out, std::string& wideBuffer) -> Kind {
    std::uint64_t count;
    bool wide;
    if (const Kind kind = length(count, wide); kind != Kind::kNone) return kind;
    const std::uint64_t byteCount = wide ? 2 * count : count;
    if (size - pos < byteCount) return Kind::kEndOfData;
    out = bytes.substr(pos, byteCount);
    pos += byteCount;
    if (wide) {
      wideBuffer = list_file_detail::WideToCodePage(out);
      out = wideBuffer;
    }
    return Kind::kNone;
  };

  std::uint32_t count;
  if (!u16(count)) return Kind::kEndOfData;
  if (count == 0xFFFF && !u32(count)) return Kind::kEndOfData;
  // Every entry takes at least two bytes: a count beyond that cannot be met.
  if (count > (size - pos) / 2) return Kind::kEndOfData;
  for (std::uint32_t i = 0; i < count; ++i) {
    std::string_view key, value;
    if (const Kind kind = string(key, wideKey); kind != Kind::kNone) return kind;
    if (const Kind kind = string(value, wideValue); kind != Kind::kNone) return kind;
    entry(key, value);
  }
  return Kind::kNone;
}

}  // namespace zofrin
