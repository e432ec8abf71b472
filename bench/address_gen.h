// Deterministic random addresses and texts for the benchmarks and the input
// generator. Everything is derived from std::mt19937_64, whose output the
// standard fixes, with our own arithmetic on top of it (the standard's
// distributions differ between libraries), so a seed gives the same bytes
// on every machine.
#pragma once

#include <cstddef>
#include <cstdint>
#include <iterator>
#include <numeric>
#include <random>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "address/address_set.h"

namespace zofrin::bench {

class Random {
 public:
  explicit Random(std::uint64_t seed) : m_engine(seed) {}
  // A number in [0, n); the modulo bias is far below anything measured here.
  std::uint64_t Below(std::uint64_t n) { return m_engine() % n; }
  // A number in [low, high].
  std::uint64_t Between(std::uint64_t low, std::uint64_t high) {
    return low + Below(high - low + 1);
  }
  bool Chance(unsigned percent) { return Below(100) < percent; }
  char Pick(std::string_view from) { return from[Below(from.size())]; }

 private:
  std::mt19937_64 m_engine;
};

// Many texts packed in one buffer, as views into it.
class PackedTexts {
 public:
  void Reserve(std::size_t count, std::size_t bytes) {
    m_ranges.reserve(count);
    m_text.reserve(bytes);
  }
  void Add(std::string_view text) {
    m_ranges.push_back({m_text.size(), text.size()});
    m_text.append(text);
    m_views.clear();
  }
  std::size_t Size() const { return m_ranges.size(); }
  std::size_t Bytes() const { return m_text.size(); }
  std::string_view operator[](std::size_t i) const {
    return std::string_view(m_text).substr(m_ranges[i].first, m_ranges[i].second);
  }
  // The texts as views, valid until the next Add.
  const std::vector<std::string_view>& Views() const {
    if (m_views.size() != m_ranges.size()) {
      m_views.clear();
      m_views.reserve(m_ranges.size());
      for (std::size_t i = 0; i < m_ranges.size(); ++i) m_views.push_back((*this)[i]);
    }
    return m_views;
  }

 private:
  std::string m_text;
  std::vector<std::pair<std::size_t, std::size_t>> m_ranges;
  mutable std::vector<std::string_view> m_views;
};

// Addresses that pass the validity rule: a local part of 5 to 15 letters,
// digits, '.', '_' or '-' (beginning and ending with a letter or digit), and
// a domain taken from a few popular ones or from a pool of made-up ones.
class AddressGenerator {
 public:
  explicit AddressGenerator(std::uint64_t seed) : m_random(seed) {
    static constexpr std::string_view kPopular[] = {
        "gmail.com", "yahoo.com", "hotmail.com", "outlook.com", "aol.com",   "gmx.de",
        "web.de",    "orange.fr", "free.fr",     "mail.ru",     "yahoo.co.uk", "example.org"};
    static constexpr std::string_view kTopLevel[] = {"com", "net", "org", "de", "fr", "nl",
                                                     "it",  "es",  "uk",  "edu", "io", "co.uk"};
    for (std::string_view domain : kPopular) m_popular.emplace_back(domain);
    for (int i = 0; i < 2000; ++i) {
      std::string domain;
      const std::size_t length = m_random.Between(3, 12);
      for (std::size_t j = 0; j < length; ++j) domain += m_random.Pick(kLower);
      if (m_random.Chance(15)) {
        domain += '-';
        for (std::size_t j = m_random.Between(2, 6); j > 0; --j) domain += m_random.Pick(kLower);
      }
      if (m_random.Chance(20)) domain.insert(0, m_random.Chance(50) ? "mail." : "lists.");
      domain += '.';
      domain += kTopLevel[m_random.Below(std::size(kTopLevel))];
      m_made.push_back(std::move(domain));
    }
  }

  std::string Next() {
    std::string address;
    const std::size_t length = m_random.Between(5, 15);
    for (std::size_t i = 0; i < length; ++i) {
      const bool edge = i == 0 || i + 1 == length;
      const std::uint64_t kind = m_random.Below(100);
      if (kind < 70) {
        address += m_random.Pick(kLower);
      } else if (kind < 80) {
        address += m_random.Pick(kUpper);
      } else if (kind < 92 || edge) {
        address += m_random.Pick(kDigits);
      } else {
        address += m_random.Pick("._-");
      }
    }
    address += '@';
    address += m_random.Chance(40) ? m_popular[m_random.Below(m_popular.size())]
                                   : m_made[m_random.Below(m_made.size())];
    return address;
  }

  // `address` with the case of some of its letters changed, at least one.
  std::string CaseVariant(std::string_view address) {
    std::string variant(address);
    bool changed = false;
    while (!changed) {
      for (char& c : variant) {
        if (!IsLetter(c) || !m_random.Chance(30)) continue;
        c = static_cast<char>(c ^ 0x20);
        changed = true;
      }
      if (!changed && variant.find_first_of(kLower) == std::string::npos &&
          variant.find_first_of(kUpper) == std::string::npos) {
        break;  // no letter to change (never happens with the domains above)
      }
    }
    return variant;
  }

  Random& Rng() { return m_random; }

 private:
  static constexpr std::string_view kLower = "abcdefghijklmnopqrstuvwxyz";
  static constexpr std::string_view kUpper = "ABCDEFGHIJKLMNOPQRSTUVWXYZ";
  static constexpr std::string_view kDigits = "0123456789";
  static bool IsLetter(char c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'); }

  Random m_random;
  std::vector<std::string> m_popular;
  std::vector<std::string> m_made;
};

// The two lists the set benchmarks work on. `first` holds `count` distinct
// addresses. `second` holds `count` distinct addresses in a shuffled order:
// 30% also in `first`, 2% differing from one of `first` only in letter case,
// the rest new. `fresh` holds `count` more addresses in neither list.
struct ListPair {
  PackedTexts first;
  PackedTexts second;
  PackedTexts fresh;
};

inline ListPair MakeListPair(std::size_t count, std::uint64_t seed = 20240601) {
  AddressGenerator generator(seed);
  Random& random = generator.Rng();
  ListPair pair;
  AddressSet seen;  // every address handed out, to keep them all distinct
  seen.Reserve(3 * count, 0);
  const std::size_t bytes = count * 26;
  pair.first.Reserve(count, bytes);
  pair.second.Reserve(count, bytes);
  pair.fresh.Reserve(count, bytes);
  auto freshAddress = [&] {
    for (;;) {
      std::string address = generator.Next();
      if (seen.Store(address)) return address;
    }
  };
  for (std::size_t i = 0; i < count; ++i) pair.first.Add(freshAddress());

  std::vector<std::string> second;
  second.reserve(count);
  const std::size_t shared = count * 30 / 100;
  const std::size_t variants = count * 2 / 100;
  // Distinct indexes into `first`: a random start and a stride coprime to
  // the count visit each index at most once.
  std::size_t stride = static_cast<std::size_t>(random.Between(count / 3 + 1, count / 2 + 1));
  while (std::gcd(stride, count) != 1) ++stride;
  std::size_t at = static_cast<std::size_t>(random.Below(count));
  for (std::size_t i = 0; i < shared + variants; ++i) {
    const std::string_view original = pair.first[at];
    at = (at + stride) % count;
    if (i < shared) {
      second.emplace_back(original);
      continue;
    }
    for (;;) {
      std::string variant = generator.CaseVariant(original);
      if (seen.Store(variant)) {
        second.push_back(std::move(variant));
        break;
      }
    }
  }
  while (second.size() < count) second.push_back(freshAddress());
  for (std::size_t i = second.size(); i > 1; --i) {
    std::swap(second[i - 1], second[static_cast<std::size_t>(random.Below(i))]);
  }
  for (const std::string& address : second) pair.second.Add(address);
  for (std::size_t i = 0; i < count; ++i) pair.fresh.Add(freshAddress());
  return pair;
}

// About `size` bytes of text that looks like mail archives and HTML: lines of
// words, markup, an address every kilobyte or so, and '@'s that begin no
// address ("@home", "a @ b", "user@localhost").
inline std::string MakeSyntheticText(std::size_t size, std::uint64_t seed = 7) {
  AddressGenerator generator(seed);
  Random& random = generator.Rng();
  static constexpr std::string_view kWords[] = {
      "the",    "of",      "and",     "to",      "in",     "is",    "for",     "that",
      "with",   "this",    "license", "software", "Copyright", "without", "warranty",
      "program", "free",   "version", "GNU",     "General", "Public", "distribute",
      "modify", "Debian",  "package", "upload",  "fix",     "bug",   "release", "new",
      "upstream", "source", "file",   "files",   "under",   "terms", "see",     "also"};
  static constexpr std::string_view kMarkup[] = {
      "<p>", "</p>", "<a href=\"http://www.example.org/index.html\">", "</a>", "<br/>",
      "<div class=\"section\">", "</div>", "&nbsp;", "<li>", "</li>", "\n.TP\n", "\\fB", "\\fR"};
  static constexpr std::string_view kStrayAt[] = {"@home", " @ ", "user@localhost",
                                                  "@@", "x@y", "-- @", "@param"};
  std::string text;
  text.reserve(size + 256);
  std::size_t column = 0;
  while (text.size() < size) {
    const std::uint64_t roll = random.Below(1000);
    std::size_t before = text.size();
    if (roll < 7) {
      text += '<';
      text += generator.Next();
      text += '>';
    } else if (roll < 9) {
      text += kStrayAt[random.Below(std::size(kStrayAt))];
    } else if (roll < 60) {
      text += kMarkup[random.Below(std::size(kMarkup))];
    } else {
      text += kWords[random.Below(std::size(kWords))];
    }
    column += text.size() - before;
    if (column > 72) {
      text += '\n';
      column = 0;
    } else {
      text += random.Chance(8) ? ", " : " ";
    }
  }
  text.resize(size);
  return text;
}

// "a@a@a@...": every other byte an '@', no address anywhere.
inline std::string MakeAtText(std::size_t size) {
  std::string text(size, 'a');
  for (std::size_t i = 1; i < size; i += 2) text[i] = '@';
  return text;
}

// Runs of `run` address characters ending in ".com", each followed by an
// '@': every '@' has a valid address of two whole runs around it.
inline std::string MakeLongRunText(std::size_t size, std::size_t run = 65536) {
  std::string text;
  text.reserve(size + run + 1);
  while (text.size() < size) {
    text.append(run - 4, 'x');
    text += ".com@";
  }
  text.resize(size);
  return text;
}

}  // namespace zofrin::bench
