// The sorted address list behind every list pane: items kept in display
// order, each with its selection, plus the pane's scroll position.
//
// Display order compares bytes with the ASCII letters A-Z folded to a-z;
// texts that this finds equal are ordered by their plain bytes, so "Alpha"
// comes before "alpha". Find exact ignores ASCII letter case the same way.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <string_view>
#include <vector>

namespace zofrin {

// <0, 0 or >0 as `a` sorts before, with or after `b` in display order.
int CompareDisplay(std::string_view a, std::string_view b);
// True when the texts are equal ignoring ASCII letter case.
bool EqualFolded(std::string_view a, std::string_view b);

namespace sorted_detail {

struct Item {
  std::uint64_t prefix;  // first eight folded bytes, big-endian
  std::uint64_t offset;
  std::uint32_t length;
  std::uint32_t selected;
};

}  // namespace sorted_detail

// Texts put in display order away from a list, for instance a file's worth
// at a time on the threads that scan the files, and then merged into a list
// in one step. A batch is a series of sorted runs: Sort makes what was added
// one run, AppendRun adds a sorted batch as a further run, MergeRuns makes
// the whole batch one run. Runs are merged as they come, so that few wait
// and a batch of n texts from k runs is merged in O(n log k). Running out of
// memory in Add or AppendRun leaves the batch as it was.
class SortedBatch {
 public:
  void Add(std::string_view text);
  // Sorts everything added into one run.
  void Sort();
  // Appends the texts of `run`, which must be sorted, as a further run.
  void AppendRun(const SortedBatch& run);
  void MergeRuns();
  void Clear();
  std::size_t Size() const { return m_items.size(); }
  // The index'th text in the order the batch holds them.
  std::string_view Text(std::size_t index) const;

 private:
  friend class SortedAddressList;
  using Item = sorted_detail::Item;

  bool Less(const Item& a, const Item& b) const;
  std::size_t RunLength(std::size_t run) const;
  void MergeRunWithNext(std::size_t run);

  std::vector<Item> m_items;
  std::vector<char> m_text;
  std::vector<std::size_t> m_runStarts;  // where each run begins, in order
};

class SortedAddressList {
 public:
  static constexpr std::size_t npos = static_cast<std::size_t>(-1);

  void Reset();
  // Inserts `text` at its sorted place, after any equal items. The selection
  // of the other items stays. Answers the new item's index.
  std::size_t Insert(std::string_view text);
  // Inserts many texts at once; same result as inserting them one by one.
  void InsertMany(std::span<const std::string_view> texts);
  // The same for the texts of a batch, which is left empty.
  void InsertBatch(SortedBatch& batch);
  std::size_t Count() const { return m_items.size(); }
  bool Empty() const { return m_items.empty(); }
  // The item's text; valid until the list next changes.
  std::string_view Text(std::size_t index) const;
  void Delete(std::size_t index);

  // The first item after `start` (npos: from the top), searching down and
  // wrapping around to `start` itself, equal to `text` ignoring letter case;
  // npos when there is none.
  std::size_t FindExact(std::size_t start, std::string_view text) const;
  // The index of the item whose text equals `text` byte for byte, or npos.
  std::size_t FindByteExact(std::string_view text) const;

  bool IsSelected(std::size_t index) const { return m_items[index].selected != 0; }
  void SetSel(bool select, std::size_t index);
  // Selects or deselects every item from `first` to `last`.
  void SetSelRange(bool select, std::size_t first, std::size_t last);
  void InvertSelection();
  std::size_t SelectedCount() const { return m_selected; }
  // The selected item when exactly one is selected, else the first selected
  // one, else npos.
  std::size_t CurrentItem() const;
  // The indexes of the selected items, in order.
  std::vector<std::size_t> SelectedIndexes() const;

  // Removes every selected (or, with `selected` false, every unselected)
  // item, calling removed(text) for each, lowest index first. Answers how
  // many went.
  template <class Removed>
  std::size_t DeleteWhere(bool selected, Removed&& removed);

  // The first item shown. A pane tells the list how many rows it shows, so
  // that Scroll to stops where the pane stops.
  std::size_t TopIndex() const { return m_top; }
  void ScrollTo(std::size_t index);
  void SetPageRows(std::size_t rows);

  // Grows on every change, so that a pane knows when to draw again.
  std::uint64_t Revision() const { return m_revision; }

 private:
  using Item = sorted_detail::Item;

  Item MakeItem(std::string_view text);
  std::string_view TextOf(const Item& item) const {
    return {m_text.data() + item.offset, item.length};
  }
  bool Less(const Item& a, const Item& b) const;
  // First index whose text is not folded-less than `text`.
  std::size_t LowerBoundFolded(std::string_view text) const;
  void Changed();
  void CompactIfWasteful();

  std::vector<Item> m_items;
  std::vector<char> m_text;
  std::size_t m_deadText = 0;
  std::size_t m_selected = 0;
  std::size_t m_top = 0;
  std::size_t m_pageRows = 1;
  std::uint64_t m_revision = 0;
};

template <class Removed>
std::size_t SortedAddressList::DeleteWhere(bool selected, Removed&& removed) {
  std::size_t kept = 0;
  for (std::size_t i = 0; i < m_items.size(); ++i) {
    const Item& item = m_items[i];
    if ((item.selected != 0) == selected) {
      removed(TextOf(item));
      m_deadText += item.length;
    } else {
      m_items[kept++] = item;
    }
  }
  const std::size_t gone = m_items.size() - kept;
  m_items.resize(kept);
  m_selected = selected ? 0 : m_items.size();
  if (gone > 0) {
    CompactIfWasteful();
    Changed();
  }
  return gone;
}

}  // namespace zofrin
