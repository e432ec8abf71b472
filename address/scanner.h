// The address scanner: every '@' with a non-empty run of address characters
// on each side forms a candidate, kept when it passes the validity test.
// Addresses come out in the order of their '@', duplicates kept.
#pragma once

#include <cstddef>
#include <algorithm>
#include <bit>
#include <cstring>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

#include "address/address_chars.h"
#include "address/validity.h"

namespace zofrin {

namespace scanner_detail {

#if defined(__SSE2__)
// A bit per byte of the 16 at `p`, set where the byte is an address
// character, worked out for all 16 at once.
inline unsigned AddressCharMask(const char* p) {
  const __m128i bytes = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p));
  // Letters: with bit 5 set, 'A'-'Z' and 'a'-'z' both land on 'a'-'z'.
  const __m128i fromA = _mm_sub_epi8(_mm_or_si128(bytes, _mm_set1_epi8(0x20)),
                                     _mm_set1_epi8('a'));
  const __m128i letter = _mm_cmpeq_epi8(_mm_min_epu8(fromA, _mm_set1_epi8(25)), fromA);
  // '-', '.', '/' and the digits lie side by side; '/' is taken out again.
  const __m128i fromDash = _mm_sub_epi8(bytes, _mm_set1_epi8('-'));
  const __m128i dashToNine = _mm_cmpeq_epi8(_mm_min_epu8(fromDash, _mm_set1_epi8('9' - '-')),
                                            fromDash);
  const __m128i slash = _mm_cmpeq_epi8(bytes, _mm_set1_epi8('/'));
  const __m128i underscore = _mm_cmpeq_epi8(bytes, _mm_set1_epi8('_'));
  const __m128i chars =
      _mm_or_si128(_mm_or_si128(letter, underscore), _mm_andnot_si128(slash, dashToNine));
  return static_cast<unsigned>(_mm_movemask_epi8(chars));
}
#endif

// The end of the run of address characters that starts at `from`.
inline std::size_t RunEnd(const char* text, std::size_t size, std::size_t from) {
#if defined(__SSE2__)
  // Runs are often short; their first bytes are looked at one by one.
  for (const std::size_t stop = std::min(size, from + 2); from < stop; ++from) {
    if (!IsAddressChar(text[from])) return from;
  }
  while (from + 16 <= size) {
    const unsigned others = ~AddressCharMask(text + from) & 0xFFFFu;
    if (others != 0) return from + static_cast<std::size_t>(std::countr_zero(others));
    from += 16;
  }
#endif
  while (from < size && IsAddressChar(text[from])) ++from;
  return from;
}

// The start of the run of address characters that ends at `end`.
inline std::size_t RunStart(const char* text, std::size_t end) {
#if defined(__SSE2__)
  for (const std::size_t stop = end > 2 ? end - 2 : 0; end > stop; --end) {
    if (!IsAddressChar(text[end - 1])) return end;
  }
  while (end >= 16) {
    const unsigned others = ~AddressCharMask(text + end - 16) & 0xFFFFu;
    if (others != 0) return end - static_cast<std::size_t>(std::countl_zero(others << 16));
    end -= 16;
  }
#endif
  while (end > 0 && IsAddressChar(text[end - 1])) --end;
  return end;
}

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
      leftStart = RunStart(text, i);
    }
    const std::size_t rightEnd = RunEnd(text, size, i + 1);
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
    if (m_capacity < m_kept + n) Grow(m_kept + n);
    return m_buffer.get() + m_kept;
  }

  template <class Sink>
  void Commit(std::size_t n, Sink&& sink) {
    constexpr std::size_t npos = std::string_view::npos;
    const std::size_t size = m_kept + n;
    const char* text = m_buffer.get();
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
    if (m_kept > 0 && keepFrom > 0) std::memmove(m_buffer.get(), text + keepFrom, m_kept);
  }

  template <class Sink>
  void Finish(Sink&& sink) {
    if (m_keptAt != std::string_view::npos) {
      scanner_detail::ScanRange(m_buffer.get(), m_kept, m_keptAt, m_kept, sink);
    }
    Reset();
  }

  // Forgets what was held back, as at the start of a new text.
  void Reset() {
    m_kept = 0;
    m_keptAt = std::string_view::npos;
  }

 private:
  // Makes room for `needed` bytes, keeping what is held back. Some room is
  // left over for a held-back run, so that pieces of one size do not make
  // the buffer grow again; the new room is not cleared, as every byte of it
  // is written before it is read.
  void Grow(std::size_t needed) {
    const std::size_t capacity = std::max(needed + needed / 16, 2 * m_capacity);
    std::unique_ptr<char[]> buffer(new char[capacity]);
    if (m_kept > 0) std::memcpy(buffer.get(), m_buffer.get(), m_kept);
    m_buffer = std::move(buffer);
    m_capacity = capacity;
  }

  std::unique_ptr<char[]> m_buffer;
  std::size_t m_capacity = 0;
  std::size_t m_kept = 0;                            // bytes held back
  std::size_t m_keptAt = std::string_view::npos;  // their '@', if any
};

}  // namespace zofrin
