// Any bytes given to the list-file reader: it either reads them or fails
// with one of its own error kinds, storing what it read before the failure.
// What it read is written and read again, and must come back the same.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <map>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "address/address_set.h"
#include "address/list_file.h"

namespace {

using zofrin::AddressSet;
using zofrin::ListFileError;
using Entries = std::vector<std::pair<std::string, std::string>>;

[[noreturn]] void Fail(const char* what) {
  std::fprintf(stderr, "list_file_fuzzer: %s\n", what);
  std::abort();
}

void Check(bool condition, const char* what) {
  if (!condition) Fail(what);
}

Entries InOrder(const AddressSet& set) {
  Entries entries;
  set.ForEach([&](std::string_view key, std::string_view value) {
    entries.emplace_back(std::string(key), std::string(value));
  });
  return entries;
}

std::map<std::string, std::string> AsMap(const AddressSet& set) {
  std::map<std::string, std::string> map;
  set.ForEach([&](std::string_view key, std::string_view value) {
    Check(map.emplace(std::string(key), std::string(value)).second, "a key enumerated twice");
  });
  return map;
}

// Keys and values read back from `bytes`, which must read without failure.
AddressSet ReadBack(const std::string& bytes) {
  AddressSet set;
  Check(zofrin::ReadListBytes(bytes, set) == ListFileError::Kind::kNone,
        "written bytes do not read back");
  return set;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using Kind = ListFileError::Kind;
  const std::string_view bytes(reinterpret_cast<const char*>(data), size);

  // The reader as the document and the panes use it.
  AddressSet set;
  const Kind kind = zofrin::ReadListBytes(bytes, set);
  Check(kind == Kind::kNone || kind == Kind::kEndOfData || kind == Kind::kWideMarkTwice,
        "the reader failed with a kind that bytes alone cannot cause");

  // The same entries stored one by one as the parser hands them over: the
  // reader's look-ahead must not change what is stored, or in which order.
  AddressSet plain;
  std::size_t parsed = 0;
  const Kind plainKind =
      zofrin::ParseListBytes(bytes, [&](std::string_view key, std::string_view value) {
        ++parsed;
        plain.Store(key, value);
      });
  Check(plainKind == kind, "the parser and the reader disagree on the outcome");
  Check(InOrder(plain) == InOrder(set), "the reader stored other entries than parsed");
  Check(set.Count() <= parsed, "more keys than entries");
  // Every entry takes two bytes at least, so no file announces more than it holds.
  Check(parsed <= size / 2, "more entries than the bytes can hold");

  const std::map<std::string, std::string> map = AsMap(set);
  Check(map.size() == set.Count(), "Count() differs from the keys enumerated");
  for (const auto& [key, value] : map) {
    Check(set.Contains(key), "an enumerated key is not contained");
    Check(set.Value(key) == value, "Value() differs from the enumerated value");
  }
  if (kind != Kind::kNone) return 0;

  // Written and read again: the same keys and values. Reading reverses the
  // keys of a bucket, so a second round gives the first order back.
  const std::string written = zofrin::WriteListBytes(set);
  const AddressSet second = ReadBack(written);
  Check(AsMap(second) == map, "a written list reads back with other keys or values");
  const AddressSet third = ReadBack(zofrin::WriteListBytes(second));
  Check(InOrder(third) == InOrder(set), "two rounds of writing and reading change the order");
  Check(zofrin::WriteListBytes(third) == written, "two rounds change the written bytes");

  // Removing every other key keeps the rest whole, and the set writes and
  // reads back as well after it.
  AddressSet pruned = second;
  std::vector<std::string> removed;
  bool odd = false;
  for (const auto& [key, value] : map) {
    if ((odd = !odd)) removed.push_back(key);
  }
  for (const std::string& key : removed) Check(pruned.Remove(key), "a present key not removed");
  for (const std::string& key : removed) Check(!pruned.Contains(key), "a removed key remains");
  Check(pruned.Count() == map.size() - removed.size(), "wrong count after removal");
  std::map<std::string, std::string> rest = map;
  for (const std::string& key : removed) rest.erase(key);
  Check(AsMap(ReadBack(zofrin::WriteListBytes(pruned))) == rest,
        "a pruned list reads back with other keys or values");
  return 0;
}
