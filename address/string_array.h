// A growable array of texts kept in one buffer, for handing many addresses
// from one place to another without one heap block per address.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace zofrin {

class StringArray {
 public:
  // Running out of memory leaves the array as it was.
  void Add(std::string_view text) {
    m_text.append(text);
    try {
      m_ends.push_back(m_text.size());
    } catch (...) {
      m_text.resize(m_text.size() - text.size());
      throw;
    }
  }
  void Clear() {
    m_text.clear();
    m_ends.clear();
  }
  void Reserve(std::size_t count, std::size_t bytes) {
    m_ends.reserve(count);
    m_text.reserve(bytes);
  }
  std::size_t Size() const { return m_ends.size(); }
  bool Empty() const { return m_ends.empty(); }
  std::string_view operator[](std::size_t i) const {
    const std::size_t begin = i == 0 ? 0 : m_ends[i - 1];
    return std::string_view(m_text).substr(begin, m_ends[i] - begin);
  }
  // Views of every text, valid until the array changes.
  std::vector<std::string_view> Views() const {
    std::vector<std::string_view> views;
    views.reserve(Size());
    for (std::size_t i = 0; i < Size(); ++i) views.push_back((*this)[i]);
    return views;
  }

 private:
  std::string m_text;
  std::vector<std::size_t> m_ends;
};

}  // namespace zofrin
