// The address scanner: every '@' with a non-empty run of address characters
// on each side forms a candidate, kept when it passes the validity test.
// Addresses come out in the order of their '@', duplicates kept.
#pragma once

#include <cstddef>
#include <algorithm>
#include <cstring>
#include <string>
#include <string_view>
#include <vector>

#include "address/address_chars.h"
#include "address/validity.h"

namespace zofrin {

namespace scanner_detail {

// Scans text[from, stop) for '@' and hands each valid candidate to `sink`.
// Runs may reach over the whole of `text`, so `stop` only limits which '@'s
// are looked at. Work is linear in the text: a stretch between two '@'s is
// walked as the right run of one and reused as the left run of the next.
template <class Sink>
void ScanRange(const char* text, std::size_t size, std::size_t from, std::size_t stop,
               Sink& sink) {
  std::size_t prevAt = std::string_view::npos;  // last '@' visited
  std::size_t prevRightEnd = 0;                 // end of its right run
  std::size_t i = from;
  while (i < stop) {
    if (text[i] != '@') {
      const void* hit = std::memchr(text + i, '@', stop - i);
      if (hit == nullptr) return;
      i = static_cast<std::size_t>(static_cast<const char*>(hit) - text);
    }
    std::size_t leftStart;
    if (prevAt != std::string_view::npos && prevRightEnd == i) {
      leftStart = prevAt + 1;
    } else {
      leftStart = i;
      while (leftStart > 0 && IsAddressChar(text[leftStart - 1])) --leftStart;
    }
    std::size_t rightEnd = i + 1;
    while (rightEnd < size && IsAddressChar(text[rightEnd])) ++rightEnd;
    if (leftStart < i && rightEnd > i + 1 &&
        PassesDotRules(std::string_view(text + leftStart, i - leftStart),
                       std::string_view(text + i + 1, rightEnd - i - 1))) {
      sink(std::string_view(text + leftStart, rightEnd - leftStart));
    }
    prevAt = i;
    prevRightEnd = rightEnd;
    // Everything before rightEnd past the '@' is an address character, so the
    // next '@' is at rightEnd or later.
    i = rightEnd;
  }
}

}  // namespace scanner_detail

// Scans a whole text. `sink` is called with a view into `text` per address.
template <class Sink>
void ForEachAddress(std::string_view text, Sink&& sink) {
  scanner_detail::ScanRange(text.data(), text.size(), 0, text.size(), sink);
}

// Every address in `text`, in order, duplicates kept.
std::vector<std::string> ExtractAddresses(std::string_view text);

// Scans a text that arrives in pieces, holding back only the run of address
// characters (and at most one '@') that may reach into the next piece. Write
// each piece into Reserve(n), then Commit the bytes written; Finish ends the
// text. The views handed to the sink are valid only during the call.
class StreamScanner {
 public:
  char* Reserve(std::size_t n) {
    if (m_buffer.size() < m_kept + n) m_buffer.resize(m_kept + n);
    return m_buffer.data() + m_kept;
  }

  template <class Sink>
  void Commit(std::size_t n, Sink&& sink) {
    constexpr std::size_t npos = std::string_view::npos;
    const std::size_t size = m_kept + n;
    const char* text = m_buffer.data();
    // The trailing run of address characters may go on in the next piece;
    // so may the right run of an '@' just before it. What was held back is
    // a run, or a left run, an '@' and a right run: it is not walked again.
    std::size_t keepFrom = size;
    while (keepFrom > m_kept && IsAddressChar(text[keepFrom - 1])) --keepFrom;
    std::size_t stop = size;
    if (keepFrom == m_kept && m_kept > 0) {
      stop = m_keptAt == npos ? size : m_keptAt;
      keepFrom = 0;
    } else if (keepFrom > 0 && text[keepFrom - 1] == '@') {
      stop = keepFrom - 1;
      keepFrom = stop;
      while (keepFrom > 0 && IsAddressChar(text[keepFrom - 1])) --keepFrom;
    }
    // Before the held-back '@' there is no '@' to visit again.
    const std::size_t from = m_keptAt != npos ? m_keptAt : m_kept;
    scanner_detail::ScanRange(text, size, std::min(from, stop), stop, sink);
    m_keptAt = stop < size ? stop - keepFrom : npos;
    m_kept = size - keepFrom;
    if (m_kept > 0 && keepFrom > 0) std::memmove(m_buffer.data(), text + keepFrom, m_kept);
  }

  template <class Sink>
  void Finish(Sink&& sink) {
    if (m_keptAt != std::string_view::npos) {
      scanner_detail::ScanRange(m_buffer.data(), m_kept, m_keptAt, m_kept, sink);
    }
    Reset();
  }

  // Forgets what was held back, as at the start of a new text.
  void Reset() {
    m_kept = 0;
    m_keptAt = std::string_view::npos;
  }

 private:
  std::vector<char> m_buffer;
  std::size_t m_kept = 0;                            // bytes held back
  std::size_t m_keptAt = std::string_view::npos;  // their '@', if any
};

}  // namespace zofrin
