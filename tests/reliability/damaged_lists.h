// Damaged list files and what reading each must give: every truncation of a
// few valid files, counts and lengths that reach beyond the data (up to
// 0xFFFFFFFF), doubled wide marks and wide strings of odd length. The bytes
// are put together here by hand, not by the program's writer, and the
// outcome of each file is known from how it was made.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace zofrin::test {

enum class Outcome {
  kReads,      // a valid file, maybe a shorter one than it was cut from
  kEndOfData,  // a count, length or string reaches beyond the last byte
  kWideMarkTwice,
};

struct DamagedList {
  std::string name;
  std::string bytes;
  Outcome outcome;
  // For kReads: the keys in file order, each once, with their last value.
  std::vector<std::pair<std::string, std::string>> entries;
};

namespace damaged_detail {

inline std::string Le(std::uint64_t value, int bytes) {
  std::string out;
  for (int i = 0; i < bytes; ++i) out += static_cast<char>((value >> (8 * i)) & 0xFF);
  return out;
}

// The count in its 2- or 6-byte form.
inline std::string Count(std::uint64_t n) {
  return n < 0xFFFF ? Le(n, 2) : "\xFF\xFF" + Le(n, 4);
}

// A length prefix in its 1-, 3- or 7-byte form.
inline std::string Length(std::uint64_t n) {
  if (n < 255) return Le(n, 1);
  if (n < 0xFFFE) return "\xFF" + Le(n, 2);
  return "\xFF\xFF\xFF" + Le(n, 4);
}

inline std::string Str(std::string_view text) { return Length(text.size()) + std::string(text); }

inline const std::string kWideMark = "\xFF\xFE\xFF";

// A wide string of ASCII text, each character one UTF-16 unit.
inline std::string Wide(std::string_view text) {
  std::string out = kWideMark + Length(text.size());
  for (char c : text) (out += c) += '\0';
  return out;
}

}  // namespace damaged_detail

// The valid files that are cut at every length, with their entries. The
// last one has bytes after its entries, so cutting those off leaves it
// valid.
inline std::vector<DamagedList> ValidListFiles() {
  using namespace damaged_detail;
  std::vector<DamagedList> files;
  files.push_back({"two",
                   Count(2) + Str("ann@example.com") + Str("") + Str("eve@example.com") + Str(""),
                   Outcome::kReads,
                   {{"ann@example.com", ""}, {"eve@example.com", ""}}});
  files.push_back({"values", Count(3) + Str("a@example.com") + Str("x") + Str("Bob@example.org") +
                                 Str("old value") + Str("a@example.com") + Str(""),
                   Outcome::kReads,
                   {{"a@example.com", ""}, {"Bob@example.org", "old value"}}});
  files.push_back({"wide", Count(2) + Wide("abc@example.com") + Str("") + Str("x@y.de") + Wide("v"),
                   Outcome::kReads,
                   {{"abc@example.com", ""}, {"x@y.de", "v"}}});
  files.push_back({"long count",
                   "\xFF\xFF" + Le(2, 4) + Str("c@example.com") + Str("") + Str("d@example.com") +
                       Str(""),
                   Outcome::kReads,
                   {{"c@example.com", ""}, {"d@example.com", ""}}});
  const std::string longKey = std::string(300, 'k') + "@example.com";
  files.push_back({"long key", Count(1) + Str(longKey) + Str(""), Outcome::kReads,
                   {{longKey, ""}}});
  files.push_back({"seven-byte length",
                   Count(1) + "\xFF\xFF\xFF" + Le(13, 4) + "e@example.com" + Str(""),
                   Outcome::kReads,
                   {{"e@example.com", ""}}});
  files.push_back({"trailing bytes", Count(1) + Str("f@example.com") + Str("") + "\x05junk!",
                   Outcome::kReads,
                   {{"f@example.com", ""}}});
  return files;
}

// The number of bytes of a valid file that its entries need; what follows
// is ignored by the reader.
inline std::size_t NeededBytes(const DamagedList& file) {
  return file.name == "trailing bytes" ? file.bytes.size() - 6 : file.bytes.size();
}

// Every truncation of the valid files, from no bytes up to one byte short of
// the whole file (the whole files are included as they are).
inline std::vector<DamagedList> TruncatedListFiles() {
  std::vector<DamagedList> cases;
  for (const DamagedList& file : ValidListFiles()) {
    for (std::size_t length = 0; length <= file.bytes.size(); ++length) {
      DamagedList cut{file.name + " cut to " + std::to_string(length), file.bytes.substr(0, length),
                      Outcome::kEndOfData, {}};
      if (length == 0) {
        cut.outcome = Outcome::kReads;  // no bytes at all: an empty list
      } else if (length >= NeededBytes(file)) {
        cut.outcome = Outcome::kReads;
        cut.entries = file.entries;
      }
      cases.push_back(std::move(cut));
    }
  }
  return cases;
}

// Files whose numbers reach beyond their bytes, doubled wide marks and wide
// strings of odd length.
inline std::vector<DamagedList> MalformedListFiles() {
  using namespace damaged_detail;
  using namespace std::string_literals;
  using O = Outcome;
  const std::string entry = Str("ann@example.com") + Str("");
  std::vector<DamagedList> cases = {
      // Counts beyond the entries held.
      {"count 2, one entry", Count(2) + entry, O::kEndOfData, {}},
      {"count 0xFFFE, one entry", Count(0xFFFE) + entry, O::kEndOfData, {}},
      {"count 0x10000 in six bytes", Count(0x10000) + entry, O::kEndOfData, {}},
      {"count 0x7FFFFFFF", Count(0x7FFFFFFF) + entry, O::kEndOfData, {}},
      // Ten bytes claiming 0xFFFFFFFF entries (two empty ones follow).
      {"ten bytes, count 0xFFFFFFFF", Count(0xFFFFFFFF) + std::string(4, '\0'), O::kEndOfData, {}},
      {"count 0xFFFFFFFF, no entries", Count(0xFFFFFFFF), O::kEndOfData, {}},
      {"six-byte count cut short", "\xFF\xFF\x01\x00"s, O::kEndOfData, {}},
      // Lengths beyond the bytes, in every prefix form.
      {"key length 254, 3 bytes", Count(1) + "\xFE" + "abc", O::kEndOfData, {}},
      {"key length 0xFFFD", Count(1) + "\xFF" + Le(0xFFFD, 2) + "abc", O::kEndOfData, {}},
      {"key length 0xFFFE in seven bytes", Count(1) + "\xFF\xFF\xFF" + Le(0xFFFE, 4) + "abc",
       O::kEndOfData, {}},
      {"key length 0xFFFFFFFF", Count(1) + "\xFF\xFF\xFF" + Le(0xFFFFFFFF, 4) + "abc",
       O::kEndOfData, {}},
      {"value length 0xFFFFFFFF", Count(1) + Str("ann@example.com") + "\xFF\xFF\xFF" +
                                      Le(0xFFFFFFFF, 4),
       O::kEndOfData, {}},
      {"second key length 0x80000000", Count(2) + entry + "\xFF\xFF\xFF" + Le(0x80000000, 4) + "x",
       O::kEndOfData, {}},
      {"length prefix cut after 0xFF", Count(1) + "\xFF", O::kEndOfData, {}},
      {"length prefix cut after 0xFF 0xFF 0xFF", Count(1) + "\xFF\xFF\xFF\x01", O::kEndOfData, {}},
      // Wide strings whose unit count reaches beyond the bytes: 0xFFFFFFFF
      // units would be 8 GiB.
      {"wide length 0xFFFFFFFF", Count(1) + kWideMark + "\xFF\xFF\xFF" + Le(0xFFFFFFFF, 4) + "a",
       O::kEndOfData, {}},
      {"wide length 0x7FFFFFFF", Count(1) + kWideMark + "\xFF\xFF\xFF" + Le(0x7FFFFFFF, 4),
       O::kEndOfData, {}},
      {"wide mark, then the end", Count(1) + kWideMark, O::kEndOfData, {}},
      // Doubled wide marks, in a key, in a value and after a good entry.
      {"wide mark twice in a key", Count(1) + kWideMark + kWideMark + "\x01" "a\0"s + Str(""),
       O::kWideMarkTwice, {}},
      {"wide mark twice in a value",
       Count(1) + Str("ann@example.com") + kWideMark + kWideMark + Str(""),
       O::kWideMarkTwice, {}},
      {"wide mark twice in the second entry", Count(2) + entry + kWideMark + kWideMark + Str(""),
       O::kWideMarkTwice, {}},
      {"wide mark three times", Count(1) + kWideMark + kWideMark + kWideMark + Str(""),
       O::kWideMarkTwice, {}},
      {"wide mark twice, then the end", Count(1) + kWideMark + kWideMark, O::kWideMarkTwice, {}},
      // Wide strings of odd length: an odd number of bytes is always short,
      // an odd number of units is fine.
      {"wide string of 3 units in 5 bytes", Count(1) + kWideMark + "\x03" "a\0b\0c"s,
       O::kEndOfData, {}},
      {"wide string of 1 unit in 1 byte", Count(1) + kWideMark + "\x01" "a"s, O::kEndOfData, {}},
      {"wide value of 2 units in 3 bytes",
       Count(1) + Str("ann@example.com") + kWideMark + "\x02" "v\0w"s,
       O::kEndOfData, {}},
      {"wide key of 3 units", Count(1) + kWideMark + "\x03" "a\0@\0b\0"s + Str(""),
       O::kReads, {{"a@b", ""}}},
      {"wide key of 1 unit", Count(1) + Wide("q") + Str(""), O::kReads, {{"q", ""}}},
  };
  return cases;
}

// Every damaged file: the truncations and the malformed files.
inline std::vector<DamagedList> AllDamagedListFiles() {
  std::vector<DamagedList> all = TruncatedListFiles();
  for (DamagedList& file : MalformedListFiles()) all.push_back(std::move(file));
  return all;
}

// The keys of a file that reads, in file order, each once.
inline std::vector<std::string> KeysOf(const DamagedList& file) {
  std::vector<std::string> keys;
  for (const auto& [key, value] : file.entries) keys.push_back(key);
  return keys;
}

}  // namespace zofrin::test
