#include "address/sorted_list.h"

#include <algorithm>
#include <cstring>

namespace zofrin {
namespace {

constexpr unsigned char Fold(unsigned char c) {
  return (c >= 'A' && c <= 'Z') ? static_cast<unsigned char>(c + ('a' - 'A')) : c;
}

// Folded comparison only: <0, 0, >0.
int CompareFolded(std::string_view a, std::string_view b) {
  const std::size_t n = std::min(a.size(), b.size());
  for (std::size_t i = 0; i < n; ++i) {
    const unsigned char x = Fold(static_cast<unsigned char>(a[i]));
    const unsigned char y = Fold(static_cast<unsigned char>(b[i]));
    if (x != y) return x < y ? -1 : 1;
  }
  return a.size() < b.size() ? -1 : a.size() > b.size() ? 1 : 0;
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

}  // namespace

int CompareDisplay(std::string_view a, std::string_view b) {
  if (const int folded = CompareFolded(a, b); folded != 0) return folded;
  // Equally long from here; an empty text may have no data for memcmp.
  if (a.empty()) return 0;
  const int plain = std::memcmp(a.data(), b.data(), a.size());
  return plain < 0 ? -1 : plain > 0 ? 1 : 0;
}

bool EqualFolded(std::string_view a, std::string_view b) {
  return a.size() == b.size() && CompareFolded(a, b) == 0;
}

SortedAddressList::Item SortedAddressList::MakeItem(std::string_view text) {
  Item item{PrefixOf(text), m_text.size(), static_cast<std::uint32_t>(text.size()), 0};
  m_text.insert(m_text.end(), text.begin(), text.end());
  return item;
}

bool SortedAddressList::Less(const Item& a, const Item& b) const {
  if (a.prefix != b.prefix) return a.prefix < b.prefix;
  return CompareDisplay(TextOf(a), TextOf(b)) < 0;
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
