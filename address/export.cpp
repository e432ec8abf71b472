#include "address/export.h"

#include <algorithm>

namespace zofrin {

void AppendAddressLine(std::string& out, std::string_view address, bool commas) {
  out += address;
  out += commas ? ",\r\n" : "\r\n";
}

std::string SelectedText(const SortedAddressList& list, bool commas) {
  std::string out;
  for (std::size_t i = 0; i < list.Count(); ++i) {
    if (list.IsSelected(i)) AppendAddressLine(out, list.Text(i), commas);
  }
  return out;
}

std::string RangeText(const SortedAddressList& list, std::size_t first, std::size_t last,
                      bool commas) {
  std::string out;
  for (std::size_t i = first; i <= last && i < list.Count(); ++i) {
    AppendAddressLine(out, list.Text(i), commas);
  }
  return out;
}

bool NextGroup(const SortedAddressList& list, std::size_t size, Group& group) {
  if (list.SelectedCount() == 0 || size == 0) return false;
  group.first = list.CurrentItem();
  group.last = std::min(group.first + size - 1, list.Count() - 1);
  return true;
}

}  // namespace zofrin
