// The end-to-end test's view of the core:
//   list_helper make FILE ADDRESS...      writes a list file of the addresses
//   list_helper delete IN INDEX OUT       writes what deleting item INDEX of
//                                         the sorted list of IN leaves, and
//                                         prints the deleted address
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>

#include "address/address_set.h"
#include "address/list_file.h"
#include "address/list_ops.h"
#include "address/sorted_list.h"

namespace {

int Fail(const std::string& message) {
  std::fprintf(stderr, "list_helper: %s\n", message.c_str());
  return 2;
}

int Write(const std::string& path, const zofrin::AddressSet& set) {
  const zofrin::ListFileError error = zofrin::WriteListFile(path, set);
  return error.Ok() ? 0 : Fail(error.Message(true));
}

}  // namespace

int main(int argc, char** argv) {
  const std::string_view command = argc > 1 ? argv[1] : "";
  if (command == "make" && argc >= 3) {
    zofrin::AddressSet set;
    for (int i = 3; i < argc; ++i) set.Store(argv[i]);
    return Write(argv[2], set);
  }
  if (command == "delete" && argc == 5) {
    zofrin::AddressSet set;
    const zofrin::ListFileError error = zofrin::ReadListFile(argv[2], set);
    if (!error.Ok()) return Fail(error.Message());
    zofrin::SortedAddressList list;
    zofrin::RebuildList(list, set);
    const std::size_t index = std::strtoul(argv[3], nullptr, 10);
    if (index >= list.Count()) return Fail("no item " + std::string(argv[3]));
    list.SetSel(true, index);
    std::printf("%.*s\n", static_cast<int>(list.Text(index).size()), list.Text(index).data());
    zofrin::DeleteSelected(list, set);
    return Write(argv[4], set);
  }
  return Fail("usage: list_helper make FILE ADDRESS... | delete IN INDEX OUT");
}
