#include "address/list_file.h"

#include <algorithm>
#include <functional>
#include <new>
#include <stdexcept>
#include <utility>

#include "address/codepage.h"
#include "address/file_io.h"
#include "resources/texts.h"

namespace zofrin {

namespace list_file_detail {
std::string WideToCodePage(std::string_view bytes) {
  std::u16string units(bytes.size() / 2, u'\0');
  for (std::size_t i = 0; i < units.size(); ++i) {
    units[i] = static_cast<char16_t>(static_cast<unsigned char>(bytes[2 * i]) |
                                     (static_cast<unsigned char>(bytes[2 * i + 1]) << 8));
  }
  return Utf16ToCp1252(units);
}
}  // namespace list_file_detail

std::string ListFileError::Message(bool writing) const {
  switch (kind) {
    case Kind::kNone: return FileErrorText(FileErrorCause::kNone, path);
    case Kind::kEndOfData:
    case Kind::kWideMarkTwice: return texts::kUnexpectedFileFormat;
    case Kind::kOpen:
    case Kind::kIo: return FileErrorText(cause, path);
    case Kind::kOutOfMemory:
      return writing ? texts::kFailedToSaveDocument : texts::kFailedToOpenDocument;
  }
  return texts::kUnexpectedFileFormat;
}

ListFileError::Kind ReadListBytes(std::string_view bytes, AddressSet& set) {
  // Room for the announced entries, as far as the bytes can hold them.
  if (bytes.size() >= 2) {
    const auto* p = reinterpret_cast<const unsigned char*>(bytes.data());
    std::size_t count = p[0] | (p[1] << 8);
    if (count == 0xFFFF && bytes.size() >= 6) {
      count = p[2] | (p[3] << 8) | (p[4] << 16) | (std::size_t(p[5]) << 24);
    }
    set.Reserve(set.Count() + std::min(count, bytes.size() / 4), bytes.size());
  }
  // Each entry waits a few entries in `ahead` while its index slot is
  // prefetched. Views into `bytes` stay valid that long; a wide string is
  // converted into a buffer that the next one reuses, so it is stored at once.
  const std::less<const char*> before;
  auto inBytes = [&](std::string_view text) {
    return text.empty() || (!before(text.data(), bytes.data()) &&
                            !before(bytes.data() + bytes.size(), text.data() + text.size()));
  };
  using Entry = std::pair<AddressSet::Probe, std::string_view>;
  LookAhead<Entry> ahead;
  auto store = [&](const Entry& entry) { set.StoreProbed(entry.first, entry.second); };
  const ListFileError::Kind kind =
      ParseListBytes(bytes, [&](std::string_view key, std::string_view value) {
        if (!inBytes(key) || !inBytes(value)) {
          ahead.Drain(store);
          set.Store(key, value);
          return;
        }
        const AddressSet::Probe probe = AddressSet::ProbeOf(key);
        set.Prefetch(probe);
        ahead.Push(Entry(probe, value), store);
      });
  ahead.Drain(store);
  return kind;
}

ListFileError ReadListFile(const std::string& path, AddressSet& set) {
  ListFileError error;
  error.path = path;
  try {
    std::string bytes;
    bool opened = false;
    error.cause = ReadWholeFile(path, bytes, &opened);
    if (error.cause != FileErrorCause::kNone) {
      error.kind = opened ? ListFileError::Kind::kIo : ListFileError::Kind::kOpen;
      return error;
    }
    // A file of no bytes at all is an empty list.
    if (!bytes.empty()) error.kind = ReadListBytes(bytes, set);
  } catch (const std::bad_alloc&) {
    error.kind = ListFileError::Kind::kOutOfMemory;
  } catch (const std::length_error&) {
    error.kind = ListFileError::Kind::kOutOfMemory;
  }
  return error;
}

void AppendListCount(std::string& out, std::size_t count) {
  if (count < 0xFFFF) {
    out += static_cast<char>(count & 0xFF);
    out += static_cast<char>(count >> 8);
  } else {
    out += "\xFF\xFF";
    for (int shift = 0; shift < 32; shift += 8) out += static_cast<char>((count >> shift) & 0xFF);
  }
}

void AppendListString(std::string& out, std::string_view text) {
  const std::size_t length = text.size();
  if (length < 255) {
    out += static_cast<char>(length);
  } else if (length < 0xFFFE) {
    out += '\xFF';
    out += static_cast<char>(length & 0xFF);
    out += static_cast<char>(length >> 8);
  } else {
    out += "\xFF\xFF\xFF";
    for (int shift = 0; shift < 32; shift += 8) out += static_cast<char>((length >> shift) & 0xFF);
  }
  out += text;
}

std::string WriteListBytes(const AddressSet& set) {
  std::string out;
  // At most six bytes of count, and seven of length before each key and
  // value. Enumerating the set costs as much as writing it, so the text size
  // comes from the set's own tally.
  out.reserve(6 + 14 * set.Count() + set.TextBytes());
  AppendListCount(out, set.Count());
  set.ForEach([&](std::string_view key, std::string_view value) {
    AppendListString(out, key);
    AppendListString(out, value);
  });
  return out;
}

ListFileError WriteListFile(const std::string& path, const AddressSet& set) {
  ListFileError error;
  error.path = path;
  try {
    const std::string bytes = WriteListBytes(set);
    error.cause = WriteFileAtomically(path, bytes);
    if (error.cause != FileErrorCause::kNone) error.kind = ListFileError::Kind::kIo;
  } catch (const std::bad_alloc&) {
    error.kind = ListFileError::Kind::kOutOfMemory;
  }
  return error;
}

}  // namespace zofrin
