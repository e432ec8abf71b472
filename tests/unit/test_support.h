// Helpers shared by the unit tests: a temporary folder, byte strings and
// readable dumps of lists and sets.
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

namespace zofrin::test {

// A text with the exact bytes of a literal, zero bytes included.
template <std::size_t N>
std::string Bytes(const char (&literal)[N]) {
  return std::string(literal, N - 1);
}

// A fresh folder, removed with everything in it when the object goes.
class TempDir {
 public:
  TempDir() {
    std::string pattern =
        (std::filesystem::temp_directory_path() / "zofrin-unit-XXXXXX").string();
    if (::mkdtemp(pattern.data()) == nullptr) std::abort();
    m_path = pattern;
  }
  TempDir(const TempDir&) = delete;
  TempDir& operator=(const TempDir&) = delete;
  ~TempDir() {
    std::error_code ignored;
    std::filesystem::remove_all(m_path, ignored);
  }

  std::string File(std::string_view name) const { return m_path + "/" + std::string(name); }
  const std::string& Path() const { return m_path; }

  // The names of the entries in the folder, sorted.
  std::vector<std::string> Names() const {
    std::vector<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(m_path)) {
      names.push_back(entry.path().filename().string());
    }
    std::sort(names.begin(), names.end());
    return names;
  }

 private:
  std::string m_path;
};

inline void WriteBytes(const std::string& path, std::string_view bytes) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

inline std::string ReadBytes(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

inline unsigned ModeOf(const std::string& path) {
  struct stat st {};
  ::stat(path.c_str(), &st);
  return st.st_mode & 07777;
}

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
