#include "address/scanner.h"

namespace zofrin {

std::vector<std::string> ExtractAddresses(std::string_view text) {
  std::vector<std::string> found;
  ForEachAddress(text, [&](std::string_view address) { found.emplace_back(address); });
  return found;
}

}  // namespace zofrin
