// Writes the two address lists the set comparisons work on, as list files
// and as text (one address per line) for tools that read text:
//   make_lists COUNT FOLDER  ->  FOLDER/A.lse, B.lse, A.txt, B.txt
// The lists are those of the benchmarks: COUNT distinct addresses each, the
// second sharing 30% of the first and holding 2% more that differ from one
// of the first only in letter case. The same COUNT gives the same bytes.

#include <charconv>
#include <cstdio>
#include <cstring>
#include <string>

#include "address/address_set.h"
#include "address/file_io.h"
#include "address/list_file.h"
#include "bench/address_gen.h"

namespace {

bool WriteOne(const std::string& folder, const char* name,
              const zofrin::bench::PackedTexts& addresses) {
  zofrin::AddressSet set;
  set.Reserve(addresses.Size(), addresses.Bytes());
  std::string text;
  text.reserve(addresses.Bytes() + addresses.Size());
  for (std::string_view address : addresses.Views()) {
    set.Store(address);
    text += address;
    text += '\n';
  }
  const std::string base = folder + "/" + name;
  const zofrin::ListFileError error = zofrin::WriteListFile(base + ".lse", set);
  if (!error.Ok()) {
    std::fprintf(stderr, "make_lists: %s\n", error.Message(true).c_str());
    return false;
  }
  const zofrin::FileErrorCause cause = zofrin::WriteFileAtomically(base + ".txt", text);
  if (cause != zofrin::FileErrorCause::kNone) {
    std::fprintf(stderr, "make_lists: %s\n",
                 zofrin::FileErrorText(cause, base + ".txt").c_str());
    return false;
  }
  return true;
}

}  // namespace

int main(int argc, char** argv) {
  std::size_t count = 0;
  if (argc != 3 ||
      std::from_chars(argv[1], argv[1] + std::strlen(argv[1]), count).ec != std::errc() ||
      count < 100) {
    std::fprintf(stderr, "usage: make_lists COUNT FOLDER   (COUNT >= 100)\n");
    return 2;
  }
  const zofrin::bench::ListPair lists = zofrin::bench::MakeListPair(count);
  const std::string folder = argv[2];
  if (!WriteOne(folder, "A", lists.first) || !WriteOne(folder, "B", lists.second)) return 1;
  return 0;
}
