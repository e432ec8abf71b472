// The text the copy commands hand to the Clipboard: each address followed by
// CR LF, or by a comma and CR LF, the last one too.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

#include "address/sorted_list.h"

namespace zofrin {

void AppendAddressLine(std::string& out, std::string_view address, bool commas);
// Every selected item, in list order.
std::string SelectedText(const SortedAddressList& list, bool commas);
// The items from `first` to `last`.
std::string RangeText(const SortedAddressList& list, std::size_t first, std::size_t last,
                      bool commas);

// The next group: it starts at the first selected item and holds at most
// `size` items.
struct Group {
  std::size_t first = 0;
  std::size_t last = 0;
  bool IsLast(const SortedAddressList& list) const { return last + 1 >= list.Count(); }
};
// Nothing when no item is selected.
bool NextGroup(const SortedAddressList& list, std::size_t size, Group& group);

}  // namespace zofrin
