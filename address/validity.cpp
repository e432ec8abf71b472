#include "address/validity.h"

#include <algorithm>

#include "address/address_chars.h"

namespace zofrin {

bool PassesDotRules(std::string_view local, std::string_view domain) {
  if (local.size() + 1 + domain.size() < 6) return false;
  const auto domainFirstDot = domain.find('.');
  if (domainFirstDot == std::string_view::npos) return false;
  if (local.front() == '.' || domain.front() == '.') return false;
  // Only the first dot of each part is looked at: "us.er.@" and "@c.." pass.
  const auto localFirstDot = local.find('.');
  if (localFirstDot == local.size() - 1) return false;
  if (domainFirstDot == domain.size() - 1) return false;
  return domain.size() - domain.rfind('.') <= 4;
}

bool IsValidAddress(std::string_view text) {
  const auto at = text.find('@');
  if (at == 0) return false;
  if (text.size() < 6) return false;
  if (at == std::string_view::npos || at == text.size() - 1) return false;
  const auto local = text.substr(0, at);
  const auto domain = text.substr(at + 1);
  // A second '@' fails here: it is not an address character.
  if (!std::all_of(local.begin(), local.end(), IsAddressChar)) return false;
  if (!std::all_of(domain.begin(), domain.end(), IsAddressChar)) return false;
  return PassesDotRules(local, domain);
}

}  // namespace zofrin
