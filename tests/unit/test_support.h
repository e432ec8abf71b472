// Helpers shared by the unit tests: readable dumps of lists and sets, and
// the files of tests/support.
#pragma once

#include <sys/stat.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "address/address_set.h"
#include "address/sorted_list.h"
#include "tests/support/temp_files.h"

namespace zofrin::test {

// Every entry of a set in enumeration order.
inline std::vector<std::pair<std::string, std::string>> Entries(const AddressSet& set) {
  std::vector<std::pair<std::string, std::string>> entries;
  set.ForEach([&](std::string_view key, std::string_view value) {
    entries.emplace_back(std::string(key), std::string(value));
  });
  return entries;
}

inline std::vector<std::string> Keys(const AddressSet& set) {
  std::vector<std::string> keys;
  set.ForEach([&](std::string_view key, std::string_view) { keys.emplace_back(key); });
  return keys;
}

inline std::vector<std::string> Texts(const SortedAddressList& list) {
  std::vector<std::string> texts;
  for (std::size_t i = 0; i < list.Count(); ++i) texts.emplace_back(list.Text(i));
  return texts;
}

// "text" per item, "*" marking a selected one, in list order.
inline std::string Describe(const SortedAddressList& list) {
  std::string out = "[";
  for (std::size_t i = 0; i < list.Count(); ++i) {
    if (i > 0) out += ", ";
    out += list.Text(i);
    if (list.IsSelected(i)) out += '*';
  }
  return out + "]";
}

// "key=value" per entry, in enumeration order.
inline std::string Describe(const AddressSet& set) {
  std::string out = "{";
  bool first = true;
  set.ForEach([&](std::string_view key, std::string_view value) {
    if (!first) out += ", ";
    first = false;
    out += key;
    out += '=';
    out += value;
  });
  return out + "}";
}

}  // namespace zofrin::test
