#include "address/sorted_list.h"

#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

#include "test_support.h"

namespace zofrin {
namespace {

using test::Describe;
using test::Texts;
using Strings = std::vector<std::string>;
constexpr std::size_t npos = SortedAddressList::npos;

std::string Folded(std::string_view text) {
  std::string out(text);
  for (char& c : out) {
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  }
  return out;
}

// Find exact as described: the first item after `start` (from the top when
// there is none), going down and wrapping around to `start` itself.
std::size_t PlainFindExact(const SortedAddressList& list, std::size_t start,
                           std::string_view text) {
  const std::size_t count = list.Count();
  const std::size_t begin = start == npos ? 0 : start + 1;
  for (std::size_t k = 0; k < count; ++k) {
    const std::size_t i = (begin + k) % count;
    if (Folded(list.Text(i)) == Folded(text)) return i;
  }
  return npos;
}

SortedAddressList ListOf(const Strings& texts) {
  SortedAddressList list;
  for (const std::string& text : texts) list.Insert(text);
  return list;
}

TEST(SortedListTest, CaseVariantsStandTogether) {
  SortedAddressList list = ListOf({"beta", "Alpha", "alpha"});
  ASSERT_EQ(list.Count(), 3u);
  EXPECT_EQ(Folded(list.Text(0)), "alpha");
  EXPECT_EQ(Folded(list.Text(1)), "alpha");
  EXPECT_EQ(list.Text(2), "beta");
  const std::size_t first = list.FindExact(npos, "ALPHA");
  EXPECT_EQ(first, 0u);
  EXPECT_EQ(list.FindExact(first, "ALPHA"), 1u);
  EXPECT_EQ(list.FindExact(1, "ALPHA"), 0u);  // wraps around
  EXPECT_EQ(list.FindExact(2, "Beta"), 2u);   // back to the start itself
  EXPECT_EQ(list.FindExact(npos, "alph"), npos);
  EXPECT_EQ(list.FindByteExact("alpha"), list.Text(0) == "alpha" ? 0u : 1u);
  EXPECT_EQ(list.FindByteExact("ALPHA"), npos);
}

TEST(SortedListTest, EmptyList) {
  SortedAddressList list = ListOf({"a", "b"});
  list.SetSel(true, 0);
  list.Reset();
  EXPECT_EQ(list.Count(), 0u);
  EXPECT_EQ(list.SelectedCount(), 0u);
  EXPECT_EQ(list.CurrentItem(), npos);
  EXPECT_EQ(list.FindExact(npos, "a"), npos);
  list.ScrollTo(5);
  EXPECT_EQ(list.TopIndex(), 0u);
}

TEST(SortedListTest, SelectionFollowsItsItems) {
  SortedAddressList list = ListOf({"a", "b", "c", "d", "e"});
  list.SetSel(true, 1);
  list.SetSel(true, 3);
  list.Delete(1);
  EXPECT_EQ(Describe(list), "[a, c, d*, e]");
  EXPECT_EQ(list.SelectedCount(), 1u);
  EXPECT_EQ(list.CurrentItem(), 2u);
  list.Insert("b");  // inserting keeps the selection as it was
  EXPECT_EQ(Describe(list), "[a, b, c, d*, e]");

  list.SetSelRange(true, 0, 4);
  EXPECT_EQ(list.SelectedCount(), 5u);
  list.SetSelRange(false, 1, 2);
  EXPECT_EQ(Describe(list), "[a*, b, c, d*, e*]");
  EXPECT_EQ(list.SelectedCount(), 3u);
  list.InvertSelection();
  EXPECT_EQ(Describe(list), "[a, b*, c*, d, e]");
  EXPECT_EQ(list.SelectedCount(), 2u);
  EXPECT_EQ(list.SelectedIndexes(), (std::vector<std::size_t>{1, 2}));
  list.SetSel(true, 2);  // already selected
  EXPECT_EQ(list.SelectedCount(), 2u);
  list.SetSelRange(false, 0, 4);
  EXPECT_EQ(list.SelectedCount(), 0u);
}

TEST(SortedListTest, ScrollToStopsWhereThePaneStops) {
  SortedAddressList list;
  for (char c = 'a'; c < 'a' + 10; ++c) list.Insert(std::string(1, c));
  list.SetPageRows(4);
  list.ScrollTo(3);
  EXPECT_EQ(list.TopIndex(), 3u);
  list.ScrollTo(8);
  EXPECT_EQ(list.TopIndex(), 6u);
  list.ScrollTo(npos);
  EXPECT_EQ(list.TopIndex(), 6u);
  list.SetPageRows(20);
  EXPECT_EQ(list.TopIndex(), 0u);
}

// Texts that share long prefixes, differ in case only, or hold bytes that
// sort between the letters.
Strings Pool() {
  return {"",        "a",          "A",           "ab",          "aB",
          "_x",      "[x",         "zzz",         "ZZZ",         "\xE9t\xE9",
          "ann@example.com",       "Ann@example.com",            "ANN@EXAMPLE.COM",
          "ann@example.co",        "annabel@example.com",        "ann@example.comx",
          "ann@exa", "ann@exaMPLE.org"};
}

// Many texts at once, whether given together or as a batch sorted in runs
// (as files scanned on several threads give them), land as inserting them
// one by one does, beside items already there and their selection.
TEST(SortedListTest, InsertManyAndBatchesEqualInsertingOneByOne) {
  std::mt19937 rng(42);
  const Strings pool = Pool();
  for (int round = 0; round < 400; ++round) {
    SortedAddressList bulk, batched, single;
    const std::size_t start = rng() % 12;
    for (std::size_t i = 0; i < start; ++i) {
      const std::string& text = pool[rng() % pool.size()];
      for (SortedAddressList* list : {&bulk, &batched, &single}) list->Insert(text);
    }
    for (std::size_t i = 0; i < start; ++i) {
      if (rng() % 2) {
        for (SortedAddressList* list : {&bulk, &batched, &single}) list->SetSel(true, i);
      }
    }
    std::vector<std::string_view> texts;
    for (std::size_t n = rng() % 40; n > 0; --n) texts.push_back(pool[rng() % pool.size()]);
    bulk.InsertMany(texts);
    SortedBatch batch, run;
    for (std::size_t i = 0; i < texts.size();) {
      run.Clear();
      for (std::size_t end = std::min(texts.size(), i + rng() % 8); i < end; ++i) {
        run.Add(texts[i]);
      }
      run.Sort();
      batch.AppendRun(run);
    }
    batched.InsertBatch(batch);
    EXPECT_EQ(batch.Size(), 0u);
    for (std::string_view text : texts) single.Insert(text);
    ASSERT_EQ(Describe(bulk), Describe(single));
    ASSERT_EQ(Describe(batched), Describe(single));
    ASSERT_EQ(bulk.SelectedCount(), single.SelectedCount());
    ASSERT_EQ(batched.SelectedCount(), single.SelectedCount());
    for (std::size_t i = 1; i < bulk.Count(); ++i) {
      ASSERT_LE(Folded(bulk.Text(i - 1)), Folded(bulk.Text(i))) << Describe(bulk);
    }
  }
}

// Display order as described: folded bytes first, plain bytes where those
// are equal; texts that differ in case at any place, before or after long
// equal stretches.
TEST(SortedListTest, CompareDisplayMatchesThePlainRule) {
  auto plain = [](const std::string& a, const std::string& b) {
    const int folded = Folded(a).compare(Folded(b));
    const int bytes = a.compare(b);
    const int order = folded != 0 ? folded : bytes;
    return order < 0 ? -1 : order > 0 ? 1 : 0;
  };
  std::mt19937 rng(7);
  const std::string alphabet = "aAbB_[\xE9";
  for (int round = 0; round < 20000; ++round) {
    std::string a(rng() % 20, ' ');
    for (char& c : a) c = alphabet[rng() % alphabet.size()];
    std::string b = a;
    // Mostly texts alike but for a few places, as sorting meets them.
    for (std::size_t n = rng() % 3; n > 0 && !b.empty(); --n) {
      b[rng() % b.size()] = alphabet[rng() % alphabet.size()];
    }
    if (rng() % 4 == 0) b.resize(rng() % 20, 'a');
    ASSERT_EQ(CompareDisplay(a, b), plain(a, b)) << '"' << a << "\" \"" << b << '"';
  }
}

TEST(SortedListTest, FindExactMatchesTheWrappingSearch) {
  std::mt19937 rng(8);
  const Strings pool = Pool();
  for (int round = 0; round < 300; ++round) {
    SortedAddressList list;
    for (std::size_t n = rng() % 10; n > 0; --n) list.Insert(pool[rng() % pool.size()]);
    for (const std::string& text : pool) {
      ASSERT_EQ(list.FindExact(npos, text), PlainFindExact(list, npos, text));
      for (std::size_t start = 0; start < list.Count(); ++start) {
        ASSERT_EQ(list.FindExact(start, text), PlainFindExact(list, start, text))
            << Describe(list) << " from " << start << " for " << text;
      }
    }
  }
}

}  // namespace
}  // namespace zofrin
