#pragma once

#include <string_view>

namespace zofrin {

// True when `text` is an address by the program's fixed rule: address
// characters around a single '@' that is neither first nor last, at least six
// characters, a '.' in the domain part and at most three characters after
// its last '.'. Bytes 0x80-0xFF are never address characters.
bool IsValidAddress(std::string_view text);

// The checks of IsValidAddress that remain once both parts are known to be
// non-empty runs of address characters (what the scanner cuts out).
bool PassesDotRules(std::string_view local, std::string_view domain);

}  // namespace zofrin
