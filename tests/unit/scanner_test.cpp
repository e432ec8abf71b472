#include "address/scanner.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <random>
#include <string>
#include <vector>

#include "address/validity.h"

namespace zofrin {
namespace {

using Found = std::vector<std::string>;

// The scanning rule applied position by position, as plainly as it reads.
bool PlainAddressChar(char c) {
  return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') ||
         c == '.' || c == '-' || c == '_';
}

Found PlainScan(std::string_view text) {
  Found found;
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] != '@') continue;
    std::size_t left = i;
    while (left > 0 && PlainAddressChar(text[left - 1])) --left;
    if (left == i) continue;
    std::size_t right = i + 1;
    while (right < text.size() && PlainAddressChar(text[right])) ++right;
    if (right == i + 1) continue;
    const std::string candidate(text.substr(left, right - left));
    if (IsValidAddress(candidate)) found.push_back(candidate);
  }
  return found;
}

Found ScanWhole(std::string_view text) {
  Found found;
  ForEachAddress(text, [&](std::string_view address) { found.emplace_back(address); });
  return found;
}

// Feeds `text` to `scanner` in pieces of the given sizes (the last piece
// takes what is left).
Found ScanInPieces(StreamScanner& scanner, std::string_view text,
                   const std::vector<std::size_t>& sizes) {
  Found found;
  auto sink = [&](std::string_view address) { found.emplace_back(address); };
  scanner.Reset();
  std::size_t pos = 0;
  for (std::size_t size : sizes) {
    size = std::min(size, text.size() - pos);
    char* area = scanner.Reserve(size);  // no buffer yet for a first empty piece
    if (size > 0) std::memcpy(area, text.data() + pos, size);
    scanner.Commit(size, sink);
    pos += size;
  }
  const std::size_t rest = text.size() - pos;
  char* area = scanner.Reserve(rest);
  if (rest > 0) std::memcpy(area, text.data() + pos, rest);
  scanner.Commit(rest, sink);
  scanner.Finish(sink);
  return found;
}

Found ScanInEqualPieces(StreamScanner& scanner, std::string_view text, std::size_t size) {
  return ScanInPieces(scanner, text, std::vector<std::size_t>(text.size() / size + 1, size));
}

struct ScanCase {
  const char* name;
  std::string text;
  Found found;
};

void PrintTo(const ScanCase& c, std::ostream* out) { *out << c.name; }

class ScannerTableTest : public testing::TestWithParam<ScanCase> {};

// Each text also stands between delimiters, so that a run reaching past
// the text's own ends shows.
const char* const kPrefixes[] = {"", " ", "\n", "x ", "<", ">"};
const char* const kSuffixes[] = {"", " ", "\n", " x", "<", ">"};

TEST_P(ScannerTableTest, FindsTheAddressesInOrder) {
  for (const char* prefix : kPrefixes) {
    for (const char* suffix : kSuffixes) {
      const std::string text = prefix + GetParam().text + suffix;
      SCOPED_TRACE('"' + text + '"');
      EXPECT_EQ(ExtractAddresses(text), GetParam().found);
    }
  }
}

TEST_P(ScannerTableTest, StreamingGivesTheSameForEverySplit) {
  StreamScanner scanner;  // reused on purpose: nothing may carry over
  for (const char* prefix : {"", "x "}) {
    for (const char* suffix : {"", " x"}) {
      const std::string text = prefix + GetParam().text + suffix;
      SCOPED_TRACE('"' + text + '"');
      const Found whole = ScanWhole(text);
      for (std::size_t cut = 0; cut <= text.size(); ++cut) {
        ASSERT_EQ(ScanInPieces(scanner, text, {cut}), whole) << "cut at " << cut;
      }
      for (std::size_t size : {1, 2, 3, 5}) {
        ASSERT_EQ(ScanInEqualPieces(scanner, text, size), whole) << "pieces of " << size;
      }
    }
  }
}

INSTANTIATE_TEST_SUITE_P(
    Table, ScannerTableTest,
    testing::Values(
        ScanCase{"SentenceDot", "Write to user@example.com.", {"user@example.com."}},
        ScanCase{"DotOnlyAtEnd", "Write to user@example.", {}},
        ScanCase{"MailtoLink",
                 "<a href=\"mailto:user@example.com\">user@example.com</a>",
                 {"user@example.com", "user@example.com"}},
        ScanCase{"AngleBrackets", "Name <user@example.com>", {"user@example.com"}},
        ScanCase{"Parentheses", "(user@example.com)", {"user@example.com"}},
        ScanCase{"CommaAndSemicolon",
                 "user@example.com,box@example.org;x@example.net",
                 {"user@example.com", "box@example.org", "x@example.net"}},
        ScanCase{"LineBreaks",
                 "user@example.com\r\nbox@example.org",
                 {"user@example.com", "box@example.org"}},
        ScanCase{"DuplicatesKept",
                 "user@example.com user@example.com",
                 {"user@example.com", "user@example.com"}},
        ScanCase{"PlusEndsLeftRun", "user+news@example.com", {"news@example.com"}},
        ScanCase{"ApostropheEndsLeftRun", "o'brien@example.org", {"brien@example.org"}},
        ScanCase{"HighByteEndsLeftRun", "us\xE9r@example.com", {"r@example.com"}},
        ScanCase{"HighByteEndsRightRun", "user@example.com\xE9xyz", {"user@example.com"}},
        ScanCase{"RunSharedByTwoAts",
                 "ann@example.com@example.org",
                 {"ann@example.com", "example.com@example.org"}},
        ScanCase{"ShortFirstOfTwo", "a@b@c.de", {"b@c.de"}},
        ScanCase{"LeftRunStartsWithDot", "see .user@example.com", {}},
        ScanCase{"DoubleAt", "user@@example.com", {}},
        ScanCase{"NoDot", "user@example", {}},
        ScanCase{"FiveChars", "a@b.c", {}},
        ScanCase{"FourCharsAfterLastDot", "user@example.test", {}},
        ScanCase{"CaseKept", "USER@Example.COM", {"USER@Example.COM"}},
        ScanCase{"CharacterReference", "user&#64;example.com", {}},
        ScanCase{"Empty", "", {}},
        ScanCase{"NoAt", "no address here.", {}},
        ScanCase{"LoneAt", "@", {}}),
    [](const testing::TestParamInfo<ScanCase>& info) { return info.param.name; });

std::string Repeat(std::string_view piece, std::size_t times) {
  std::string out;
  out.reserve(piece.size() * times);
  for (std::size_t i = 0; i < times; ++i) out += piece;
  return out;
}

TEST(ScannerTest, RandomTextsMatchThePlainRuleWholeAndStreamed) {
  std::mt19937 rng(20240611);
  const std::string alphabet = "abAB09._-@@@@ ,<>+\xE9";
  std::uniform_int_distribution<std::size_t> pick(0, alphabet.size() - 1);
  std::uniform_int_distribution<std::size_t> length(0, 40);
  StreamScanner scanner;
  for (int round = 0; round < 3000; ++round) {
    std::string text(length(rng), ' ');
    for (char& c : text) c = alphabet[pick(rng)];
    SCOPED_TRACE('"' + text + '"');
    const Found plain = PlainScan(text);
    ASSERT_EQ(ExtractAddresses(text), plain);
    for (std::size_t cut = 0; cut <= text.size(); ++cut) {
      ASSERT_EQ(ScanInPieces(scanner, text, {cut}), plain) << "cut at " << cut;
    }
    std::vector<std::size_t> sizes;
    for (std::size_t n = 0; n < text.size(); n += sizes.back()) sizes.push_back(rng() % 4);
    ASSERT_EQ(ScanInPieces(scanner, text, sizes), plain);
  }
}

// Runs are walked many bytes at a time: every byte value, at every place
// within such a stretch on either side of the '@', must end a run or not
// exactly as the plain rule says.
TEST(ScannerTest, EveryByteValueAtEveryPlaceOfARun) {
  for (int value = 0; value < 256; ++value) {
    const char byte = static_cast<char>(value);
    for (std::size_t place = 0; place < 40; ++place) {
      std::string left(40, 'a');
      left[place] = byte;
      std::string right(40, 'b');
      right[place] = byte;
      for (const std::string& text :
           {"x " + left + "@example.com y", "x user@" + right + ".com y"}) {
        ASSERT_EQ(ScanWhole(text), PlainScan(text)) << "byte " << value << " at " << place;
      }
    }
  }
}

TEST(ScannerTest, LongRunsWholeAndStreamed) {
  const std::string huge = std::string(65536, 'a') + "@" + std::string(65536, 'b') + ".com";
  struct Long {
    std::string text;
    Found found;
  };
  const Long cases[] = {
      {huge, {huge}},
      {"x " + huge + " y@" + std::string(70000, 'c') + " z", {huge}},
      {"ab.cd" + Repeat("@ab.cd", 20000), Found(20000, "ab.cd@ab.cd")},
      {"a" + Repeat("@a", 50000) + ".com", {"a@a.com"}},
  };
  StreamScanner scanner;
  for (const Long& c : cases) {
    SCOPED_TRACE(c.text.substr(0, 20));
    ASSERT_EQ(ScanWhole(c.text), c.found);
    for (std::size_t size : {1000, 4096, 65536, 65537}) {
      ASSERT_EQ(ScanInEqualPieces(scanner, c.text, size), c.found) << "pieces of " << size;
    }
    ASSERT_EQ(ScanInPieces(scanner, c.text, {65535, 2, 1, 0, 7}), c.found);
  }
}

}  // namespace
}  // namespace zofrin
