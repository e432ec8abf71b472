// The one definition of an address character: an ASCII letter, an ASCII
// digit, '.', '-' or '_'. The validity test and the scanner both use it.
#pragma once

#include <array>

namespace zofrin {

inline constexpr std::array<bool, 256> kAddressCharTable = [] {
  std::array<bool, 256> table{};
  for (int c = 'A'; c <= 'Z'; ++c) table[c] = true;
  for (int c = 'a'; c <= 'z'; ++c) table[c] = true;
  for (int c = '0'; c <= '9'; ++c) table[c] = true;
  table['.'] = table['-'] = table['_'] = true;
  return table;
}();

constexpr bool IsAddressChar(char c) {
  return kAddressCharTable[static_cast<unsigned char>(c)];
}

}  // namespace zofrin
