#include "address/sorted_list.h"

#include <algorithm>
#include <bit>
#include <cstdint>
#include <cstring>

namespace zofrin {
namespace {

constexpr unsigned char Fold(unsigned char c) {
  return (c >= 'A' && c <= 'Z') ? static_cast<unsigned char>(c + ('a' - 'A')) : c;
}

// Folded comparison: <0, 0, >0. Bytes that are the same are the same folded
// too, so stretches of equal bytes are passed over eight at a time and only
// the bytes that differ are folded. When the texts are equal folded,
// `plain` tells how their bytes compare; it is left alone otherwise.
int CompareFolded(std::string_view a, std::string_view b, int& plain) {
  const std::size_t n = std::min(a.size(), b.size());
  int firstDifference = 0;
  std::size_t i = 0;
  while (i < n) {
    if constexpr (std::endian::native == std::endian::little) {
      while (i + 8 <= n) {
        std::uint64_t x, y;
        std::memcpy(&x, a.data() + i, 8);
        std::memcpy(&y, b.data() + i, 8);
        if (x != y) {
          i += static_cast<std::size_t>(std::countr_zero(x ^ y)) / 8;
          break;
        }
        i += 8;
      }
    }
    while (i < n && a[i] == b[i]) ++i;
    if (i == n) break;
    const unsigned char rawX = static_cast<unsigned char>(a[i]);
    const unsigned char rawY = static_cast<unsigned char>(b[i]);
    const unsigned char x = Fold(rawX);
    const unsigned char y = Fold(rawY);
    if (x != y) return x < y ? -1 : 1;
    if (firstDifference == 0) firstDifference = rawX < rawY ? -1 : 1;
    ++i;
  }
  if (a.size() != b.size()) return a.size() < b.size() ? -1 : 1;
  plain = firstDifference;
  return 0;
}

int CompareFolded(std::string_view a, std::string_view b) {
  int plain;
  return CompareFolded(a, b, plain);
}

std::uint64_t PrefixOf(std::string_view text) {
  std::uint64_t prefix = 0;
  const std::size_t n = std::min<std::size_t>(text.size(), 8);
  for (std::size_t i = 0; i < 8; ++i) {
    prefix <<= 8;
    if (i < n) prefix |= Fold(static_cast<unsigned char>(text[i]));
  }
  return prefix;
}

// Makes room for `more` elements in `v`, growing it geometrically, so that
// the appends after it cannot fail.
template <class T>
void MakeRoom(std::vector<T>& v, std::size_t more) {
  if (v.capacity() - v.size() < more) v.reserve(std::max(v.size() + more, 2 * v.capacity()));
}

using sorted_detail::Item;

// An item for `text`, whose bytes are appended to `store`.
Item AppendItem(std::vector<char>& store, std::string_view text) {
  const Item item{PrefixOf(text), store.size(), static_cast<std::uint32_t>(text.size()), 0};
  store.insert(store.end(), text.begin(), text.end());
  return item;
}

// Display order of two items whose texts lie in `text`.
bool ItemLess(const char* text, const Item& a, const Item& b) {
  if (a.prefix != b.prefix) return a.prefix < b.prefix;
  return CompareDisplay({text + a.offset, a.length}, {text + b.offset, b.length}) < 0;
}

}  // namespace

int CompareDisplay(std::string_view a, std::string_view b) {
  int plain = 0;
  const int folded = CompareFolded(a, b, plain);
  return folded != 0 ? folded : plain;
}

bool EqualFolded(std::string_view a, std::string_view b) {
  return a.size() == b.size() && CompareFolded(a, b) == 0;
}

void SortedBatch::Add(std::string_view text) {
  // Room first, so that running out of memory leaves the batch as it was.
  MakeRoom(m_items, 1);
  MakeRoom(m_text, text.size());
  m_items.push_back(AppendItem(m_text, text));
}

bool SortedBatch::Less(const Item& a, const Item& b) const {
  return ItemLess(m_text.data(), a, b);
}

void SortedBatch::Sort() {
  // Display order is total, so any sort gives the order of one-by-one
  // insertion.
  std::sort(m_items.begin(), m_items.end(),
            [this](const Item& a, const Item& b) { return Less(a, b); });
  m_runStarts.assign(m_items.empty() ? 0 : 1, 0);
}

void SortedBatch::AppendRun(const SortedBatch& run) {
  if (run.m_items.empty()) return;
  MakeRoom(m_items, run.m_items.size());
  MakeRoom(m_text, run.m_text.size());
  MakeRoom(m_runStarts, 1);
  const std::uint64_t shift = m_text.size();
  m_text.insert(m_text.end(), run.m_text.begin(), run.m_text.end());
  m_runStarts.push_back(m_items.size());
  for (Item item : run.m_items) {
    item.offset += shift;
    m_items.push_back(item);
  }
  // The runs waiting are kept as a merge sort of runs keeps them: each
  // longer than the next two together, and each longer than the next, so
  // that there are O(log n) of them and the whole batch is merged with
  // O(n log k) work for k runs, whatever their lengths.
  for (;;) {
    const std::size_t n = m_runStarts.size();
    if (n < 2) break;
    if ((n >= 3 && RunLength(n - 3) <= RunLength(n - 2) + RunLength(n - 1)) ||
        (n >= 4 && RunLength(n - 4) <= RunLength(n - 3) + RunLength(n - 2))) {
      MergeRunWithNext(RunLength(n - 3) < RunLength(n - 1) ? n - 3 : n - 2);
    } else if (RunLength(n - 2) <= RunLength(n - 1)) {
      MergeRunWithNext(n - 2);
    } else {
      break;
    }
  }
}

std::size_t SortedBatch::RunLength(std::size_t run) const {
  const std::size_t end = run + 1 < m_runStarts.size() ? m_runStarts[run + 1] : m_items.size();
  return end - m_runStarts[run];
}

void SortedBatch::MergeRunWithNext(std::size_t run) {
  const std::size_t first = m_runStarts[run];
  const std::size_t middle = m_runStarts[run + 1];
  const std::size_t last = run + 2 < m_runStarts.size() ? m_runStarts[run + 2] : m_items.size();
  m_runStarts.erase(m_runStarts.begin() + static_cast<std::ptrdiff_t>(run + 1));
  // Without memory for a buffer, inplace_merge merges more slowly, but it
  // does not fail.
  std::inplace_merge(m_items.begin() + static_cast<std::ptrdiff_t>(first),
                     m_items.begin() + static_cast<std::ptrdiff_t>(middle),
                     m_items.begin() + static_cast<std::ptrdiff_t>(last),
                     [this](const Item& a, const Item& b) { return Less(a, b); });
}

void SortedBatch::MergeRuns() {
  while (m_runStarts.size() >= 2) {
    const std::size_t n = m_runStarts.size();
    MergeRunWithNext(n >= 3 && RunLength(n - 3) < RunLength(n - 1) ? n - 3 : n - 2);
  }
}

void SortedBatch::Clear() {
  m_items.clear();
  m_text.clear();
  m_runStarts.clear();
}

std::string_view SortedBatch::Text(std::size_t index) const {
  const Item& item = m_items[index];
  return {m_text.data() + item.offset, item.length};
}

SortedAddressList::Item SortedAddressList::MakeItem(std::string_view text) {
  return AppendItem(m_text, text);
}

bool SortedAddressList::Less(const Item& a, const Item& b) const {
  return ItemLess(m_text.data(), a, b);
}

void SortedAddressList::Changed() {
  ++m_revision;
  if (m_top >= m_items.size()) m_top = m_items.empty() ? 0 : m_items.size() - 1;
}

void SortedAddressList::Reset() {
  m_items = {};
  m_text = {};
  m_deadText = 0;
  m_selected = 0;
  m_top = 0;
  Changed();
}

std::size_t SortedAddressList::Insert(std::string_view text) {
  const Item item = MakeItem(text);
  const auto at = std::upper_bound(m_items.begin(), m_items.end(), item,
                                   [this](const Item& a, const Item& b) { return Less(a, b); });
  const std::size_t index = static_cast<std::size_t>(at - m_items.begin());
  m_items.insert(at, item);
  Changed();
  return index;
}

void SortedAddressList::InsertMany(std::span<const std::string_view> texts) {
  if (texts.empty()) return;
  std::size_t bytes = 0;
  for (std::string_view text : texts) bytes += text.size();
  m_text.reserve(m_text.size() + bytes);
  const std::size_t old = m_items.size();
  m_items.reserve(old + texts.size());
  for (std::string_view text : texts) m_items.push_back(MakeItem(text));
  auto less = [this](const Item& a, const Item& b) { return Less(a, b); };
  // Display order is total (texts compare equal only when their bytes are),
  // so any sort puts the new items as inserting them one by one would; the
  // merge keeps them after equal items already there.
  std::sort(m_items.begin() + static_cast<std::ptrdiff_t>(old), m_items.end(), less);
  std::inplace_merge(m_items.begin(), m_items.begin() + static_cast<std::ptrdiff_t>(old),
                     m_items.end(), less);
  Changed();
}

void SortedAddressList::InsertBatch(SortedBatch& batch) {
  batch.MergeRuns();
  if (batch.m_items.empty()) return;
  if (m_items.empty()) {
    // Nothing to merge with: the batch's texts and order are taken as they are.
    m_items.swap(batch.m_items);
    m_text.swap(batch.m_text);
    m_deadText = 0;
  } else {
    const std::uint64_t shift = m_text.size();
    m_text.insert(m_text.end(), batch.m_text.begin(), batch.m_text.end());
    const std::size_t old = m_items.size();
    m_items.reserve(old + batch.m_items.size());
    for (Item item : batch.m_items) {
      item.offset += shift;
      m_items.push_back(item);
    }
    // New items go after equal ones already there, as Insert puts them.
    std::inplace_merge(m_items.begin(), m_items.begin() + static_cast<std::ptrdiff_t>(old),
                       m_items.end(), [this](const Item& a, const Item& b) { return Less(a, b); });
  }
  batch.Clear();
  Changed();
}

std::string_view SortedAddressList::Text(std::size_t index) const {
  return TextOf(m_items[index]);
}

void SortedAddressList::Delete(std::size_t index) {
  if (index >= m_items.size()) return;
  if (m_items[index].selected) --m_selected;
  m_deadText += m_items[index].length;
  m_items.erase(m_items.begin() + static_cast<std::ptrdiff_t>(index));
  CompactIfWasteful();
  Changed();
}

std::size_t SortedAddressList::LowerBoundFolded(std::string_view text) const {
  const std::uint64_t prefix = PrefixOf(text);
  const auto at = std::lower_bound(m_items.begin(), m_items.end(), text,
                                   [&](const Item& item, std::string_view key) {
                                     if (item.prefix != prefix) return item.prefix < prefix;
                                     return CompareFolded(TextOf(item), key) < 0;
                                   });
  return static_cast<std::size_t>(at - m_items.begin());
}

std::size_t SortedAddressList::FindExact(std::size_t start, std::string_view text) const {
  // Items equal ignoring case stand together: [first, last).
  const std::size_t first = LowerBoundFolded(text);
  std::size_t last = first;
  while (last < m_items.size() && EqualFolded(TextOf(m_items[last]), text)) ++last;
  if (first == last) return npos;
  if (start == npos || start >= m_items.size()) return first;
  if (start + 1 >= first && start + 1 < last) return start + 1;
  if (start + 1 < first) return first;
  return first;  // wrapped around past the end
}

std::size_t SortedAddressList::FindByteExact(std::string_view text) const {
  for (std::size_t i = LowerBoundFolded(text); i < m_items.size(); ++i) {
    const std::string_view item = TextOf(m_items[i]);
    if (!EqualFolded(item, text)) break;
    if (item == text) return i;
  }
  return npos;
}

void SortedAddressList::SetSel(bool select, std::size_t index) {
  if (index >= m_items.size()) return;
  Item& item = m_items[index];
  if ((item.selected != 0) != select) {
    item.selected = select;
    select ? ++m_selected : --m_selected;
    ++m_revision;
  }
}

void SortedAddressList::SetSelRange(bool select, std::size_t first, std::size_t last) {
  if (m_items.empty() || first > last || first >= m_items.size()) return;
  last = std::min(last, m_items.size() - 1);
  for (std::size_t i = first; i <= last; ++i) {
    Item& item = m_items[i];
    if ((item.selected != 0) != select) {
      item.selected = select;
      select ? ++m_selected : --m_selected;
    }
  }
  ++m_revision;
}

void SortedAddressList::InvertSelection() {
  for (Item& item : m_items) item.selected = !item.selected;
  m_selected = m_items.size() - m_selected;
  ++m_revision;
}

std::size_t SortedAddressList::CurrentItem() const {
  if (m_selected == 0) return npos;
  for (std::size_t i = 0; i < m_items.size(); ++i) {
    if (m_items[i].selected) return i;
  }
  return npos;
}

std::vector<std::size_t> SortedAddressList::SelectedIndexes() const {
  std::vector<std::size_t> indexes;
  indexes.reserve(m_selected);
  for (std::size_t i = 0; i < m_items.size() && indexes.size() < m_selected; ++i) {
    if (m_items[i].selected) indexes.push_back(i);
  }
  return indexes;
}

void SortedAddressList::SetPageRows(std::size_t rows) {
  m_pageRows = std::max<std::size_t>(rows, 1);
  ScrollTo(m_top);
}

void SortedAddressList::ScrollTo(std::size_t index) {
  const std::size_t count = m_items.size();
  const std::size_t lastTop = count > m_pageRows ? count - m_pageRows : 0;
  const std::size_t top = std::min(index, lastTop);
  if (top != m_top) {
    m_top = top;
    ++m_revision;
  }
}

void SortedAddressList::CompactIfWasteful() {
  if (m_deadText < 65536 || m_deadText < m_text.size() / 2) return;
  std::vector<char> text;
  text.reserve(m_text.size() - m_deadText);
  for (Item& item : m_items) {
    const std::uint64_t offset = text.size();
    text.insert(text.end(), m_text.begin() + item.offset,
                m_text.begin() + item.offset + item.length);
    item.offset = offset;
  }
  m_text.swap(text);
  m_deadText = 0;
}

}  // namespace zofrin
