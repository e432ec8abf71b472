// Operations that change a sorted list and its address set together, so
// that the list always shows exactly the keys of the set, each once. Each
// gives the result of applying the item-by-item rule to every address in
// turn, in O(n log n) or better.
#pragma once

#include <cstddef>
#include <span>
#include <string>
#include <string_view>

#include "address/address_set.h"
#include "address/list_file.h"
#include "address/sorted_list.h"

namespace zofrin {

// A list with its set, as each pane of the lists dialog holds them.
struct ListPane {
  SortedAddressList list;
  AddressSet set;
};

struct MergeResult {
  std::size_t fresh = 0;    // addresses the set did not hold before
  std::size_t present = 0;  // addresses it held (counted once each time met)
};

// The merge: for each address in order, an item equal to it byte for byte
// is taken out and the address inserted again (so it ends unselected), and
// the address is stored in the set with the empty value. Items not named
// keep their selection. The list scrolls to where the last address that was
// already present now stands.
MergeResult MergeAddresses(SortedAddressList& list, AddressSet& set,
                           std::span<const std::string_view> addresses);

// Delete: removes every selected item from the list and its key from the
// set. Crop: the same for every unselected item. Both answer how many went.
std::size_t DeleteSelected(SortedAddressList& list, AddressSet& set);
std::size_t CropSelected(SortedAddressList& list, AddressSet& set);

// Fills `list` with the keys of `set`, nothing selected.
void RebuildList(SortedAddressList& list, const AddressSet& set);

// Replaces the pane's contents with the list file at `path`. On any failure
// the pane stays exactly as it was.
ListFileError LoadPane(ListPane& pane, const std::string& path);
// Removes the selected items of the pane.
std::size_t RemoveSelected(ListPane& pane);
void RemoveAll(ListPane& pane);
// Moves the whole source pane into the target, replacing what the target
// held. Nothing happens when the source is empty; answers whether anything
// moved.
bool Shift(ListPane& source, ListPane& target);

// The set operations on the sets alone, giving the third set exactly as the
// panes' operations do; the desktop program also rebuilds the list.
// Union leaves `result` alone when both operands are empty.
void UniteSets(const AddressSet& first, const AddressSet& second, AddressSet& result);
void SubtractSets(const AddressSet& first, const AddressSet& second, AddressSet& result);
void IntersectSets(const AddressSet& first, const AddressSet& second, AddressSet& result);

// The list-file bytes of the set UniteSets, SubtractSets or IntersectSets
// makes of `first` and `second` (from an empty result), written without
// building that set.
std::string UnionListBytes(const AddressSet& first, const AddressSet& second);
std::string DifferenceListBytes(const AddressSet& first, const AddressSet& second);
std::string IntersectionListBytes(const AddressSet& first, const AddressSet& second);

// "+", "-" and "*": List 3 from List 1 and List 2.
void Union(const ListPane& first, const ListPane& second, ListPane& result);
void Difference(const ListPane& first, const ListPane& second, ListPane& result);
void Intersection(const ListPane& first, const ListPane& second, ListPane& result);

enum class SplitResult { kDone, kEmpty, kNeedOneSelected };
// "/": the items above the one selected item of `source` go to `above`, it
// and those below it to `below`. An empty source or a selection of other
// than one item changes nothing.
SplitResult Split(const ListPane& source, ListPane& above, ListPane& below);

}  // namespace zofrin
