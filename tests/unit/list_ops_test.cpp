#include "address/list_ops.h"

#include <gtest/gtest.h>

#include <random>
#include <set>
#include <string>
#include <vector>

#include "test_support.h"

namespace zofrin {
namespace {

using test::Bytes;
using test::Describe;
using test::Keys;
using Strings = std::vector<std::string>;
constexpr std::size_t npos = SortedAddressList::npos;

// The list with its selected count, then the set.
std::string Describe(const ListPane& pane) {
  return Describe(pane.list) + " " + std::to_string(pane.list.SelectedCount()) + " " +
         Describe(pane.set);
}

// ---- The item-by-item rules, one address or one item at a time. ----

// The exact lookup: Find exact until the item's text equals the address
// byte for byte, passing over case variants.
std::size_t FindAddress(const SortedAddressList& list, const AddressSet& set,
                        std::string_view address) {
  if (!set.Contains(address)) return npos;
  std::set<std::size_t> visited;
  std::size_t start = npos;
  for (;;) {
    const std::size_t index = list.FindExact(start, address);
    if (index == npos) return npos;
    if (list.Text(index) == address) return index;
    if (!visited.insert(index).second) return npos;
    start = index;
  }
}

MergeResult MergeOneByOne(SortedAddressList& list, AddressSet& set, const Strings& addresses) {
  MergeResult result;
  for (const std::string& address : addresses) {
    ++(set.Contains(address) ? result.present : result.fresh);
    const std::size_t index = FindAddress(list, set, address);
    if (index != npos) list.Delete(index);
    list.Insert(address);
    set.Store(address, "");
  }
  return result;
}

std::size_t RemoveOneByOne(SortedAddressList& list, AddressSet& set, bool selected) {
  std::size_t removed = 0;
  while ((selected ? list.SelectedCount() : list.Count() - list.SelectedCount()) > 0) {
    std::size_t i = 0;
    while (list.IsSelected(i) != selected) ++i;
    set.Remove(list.Text(i));
    list.Delete(i);
    ++removed;
  }
  return removed;
}

void Empty(ListPane& pane) {
  pane.list.Reset();
  pane.set.Clear();
}

void Enter(ListPane& pane, std::string_view key) {
  pane.set.Store(key, "");
  pane.list.Insert(key);
}

bool ShiftOneByOne(ListPane& source, ListPane& target) {
  if (source.list.Count() == 0) return false;
  Empty(target);
  for (const std::string& key : Keys(source.set)) Enter(target, key);
  Empty(source);
  return true;
}

void UnionOneByOne(const ListPane& first, const ListPane& second, ListPane& result) {
  if (first.list.Count() == 0 && second.list.Count() == 0) return;
  Empty(result);
  for (const std::string& key : Keys(first.set)) Enter(result, key);
  if (second.list.Count() > 0) {
    for (const std::string& key : Keys(second.set)) {
      if (!result.set.Contains(key)) Enter(result, key);
    }
  }
}

void DifferenceOneByOne(const ListPane& first, const ListPane& second, ListPane& result) {
  Empty(result);
  for (const std::string& key : Keys(first.set)) Enter(result, key);
  if (second.list.Count() > 0) {
    for (const std::string& key : Keys(second.set)) {
      if (!result.set.Contains(key)) continue;
      // The item whose text equals the key exactly, so list and set agree.
      const std::size_t index = FindAddress(result.list, result.set, key);
      result.set.Remove(key);
      result.list.Delete(index);
    }
  }
}

void IntersectionOneByOne(const ListPane& first, const ListPane& second, ListPane& result) {
  Empty(result);
  if (first.list.Count() > 0 && second.list.Count() > 0) {
    for (const std::string& key : Keys(second.set)) {
      if (first.set.Contains(key)) Enter(result, key);
    }
  }
}

SplitResult SplitOneByOne(const ListPane& source, ListPane& above, ListPane& below) {
  if (source.list.Count() == 0) return SplitResult::kEmpty;
  if (source.list.SelectedCount() != 1) return SplitResult::kNeedOneSelected;
  Empty(above);
  Empty(below);
  std::size_t k = 0;
  while (!source.list.IsSelected(k)) ++k;
  for (std::size_t i = 0; i < source.list.Count(); ++i) {
    Enter(i < k ? above : below, source.list.Text(i));
  }
  return SplitResult::kDone;
}

// ---- Random panes of addresses that differ in case only. ----

class ListOpsRandomTest : public testing::Test {
 protected:
  const std::string& AnyAddress() { return m_pool[m_rng() % m_pool.size()]; }

  Strings Addresses(std::size_t most) {
    Strings addresses;
    for (std::size_t n = m_rng() % (most + 1); n > 0; --n) addresses.push_back(AnyAddress());
    return addresses;
  }

  // A pane holding some addresses, a few with a value read from a file,
  // some of them selected.
  ListPane AnyPane(std::size_t most = 12) {
    ListPane pane;
    for (const std::string& address : Addresses(most)) {
      if (pane.set.Store(address, m_rng() % 4 == 0 ? "value" : "")) pane.list.Insert(address);
    }
    for (std::size_t i = 0; i < pane.list.Count(); ++i) {
      if (m_rng() % 5 < 2) pane.list.SetSel(true, i);
    }
    return pane;
  }

  std::mt19937 m_rng{20240611};
  Strings m_pool = [] {
    Strings pool;
    for (const char* name : {"ann", "Ann", "ANN", "bob", "Bob", "eve", "hugo", "Hugo", "mo.x"}) {
      for (const char* domain : {"@x.org", "@X.org", "@example.com"}) {
        pool.push_back(std::string(name) + domain);
      }
    }
    return pool;
  }();
};

TEST_F(ListOpsRandomTest, MergeEqualsMergingOneByOne) {
  for (int round = 0; round < 500; ++round) {
    ListPane bulk = AnyPane();
    ListPane single = bulk;
    const Strings addresses = Addresses(15);
    const std::vector<std::string_view> views(addresses.begin(), addresses.end());
    const MergeResult got = MergeAddresses(bulk.list, bulk.set, views);
    const MergeResult want = MergeOneByOne(single.list, single.set, addresses);
    ASSERT_EQ(Describe(bulk), Describe(single)) << "round " << round;
    ASSERT_EQ(got.fresh, want.fresh);
    ASSERT_EQ(got.present, want.present);
  }
}

TEST_F(ListOpsRandomTest, DeleteAndCropEqualRemovingOneByOne) {
  for (int round = 0; round < 300; ++round) {
    const ListPane start = AnyPane();
    for (bool selected : {true, false}) {
      ListPane bulk = start, single = start;
      const std::size_t got = selected ? DeleteSelected(bulk.list, bulk.set)
                                       : CropSelected(bulk.list, bulk.set);
      ASSERT_EQ(got, RemoveOneByOne(single.list, single.set, selected));
      ASSERT_EQ(Describe(bulk), Describe(single)) << Describe(start);
    }
  }
}

TEST_F(ListOpsRandomTest, ShiftEqualsMovingOneByOne) {
  for (int round = 0; round < 300; ++round) {
    ListPane source = AnyPane(), target = AnyPane();
    ListPane source2 = source, target2 = target;
    ASSERT_EQ(Shift(source, target), ShiftOneByOne(source2, target2));
    ASSERT_EQ(Describe(source), Describe(source2));
    ASSERT_EQ(Describe(target), Describe(target2));
  }
}

TEST_F(ListOpsRandomTest, SetOperationsEqualTheirOneByOneRules) {
  using Bulk = void (*)(const ListPane&, const ListPane&, ListPane&);
  const struct {
    const char* name;
    Bulk bulk;
    Bulk single;
  } operations[] = {{"union", Union, UnionOneByOne},
                    {"difference", Difference, DifferenceOneByOne},
                    {"intersection", Intersection, IntersectionOneByOne}};
  for (int round = 0; round < 400; ++round) {
    const ListPane first = AnyPane(round % 5 == 0 ? 0 : 12);
    const ListPane second = AnyPane(round % 7 == 0 ? 0 : 12);
    const ListPane result = AnyPane();
    for (const auto& op : operations) {
      ListPane got = result, want = result;
      op.bulk(first, second, got);
      op.single(first, second, want);
      ASSERT_EQ(Describe(got), Describe(want))
          << op.name << " of " << Describe(first) << " and " << Describe(second);
      // The bulk results also equal what the set-only functions give.
      AddressSet sets = result.set;
      if (op.bulk == Union) UniteSets(first.set, second.set, sets);
      if (op.bulk == Difference) SubtractSets(first.set, second.set, sets);
      if (op.bulk == Intersection) IntersectSets(first.set, second.set, sets);
      ASSERT_EQ(Describe(sets), Describe(want.set)) << op.name;
    }
  }
}

TEST_F(ListOpsRandomTest, SplitEqualsCopyingOneByOne) {
  for (int round = 0; round < 400; ++round) {
    ListPane source = AnyPane();
    // Mostly exactly one selected item, anywhere from first to last.
    if (round % 4 != 0 && source.list.Count() > 0) {
      source.list.SetSelRange(false, 0, source.list.Count() - 1);
      source.list.SetSel(true, m_rng() % source.list.Count());
    }
    const ListPane before = source;
    ListPane above = AnyPane(), below = AnyPane();
    ListPane above2 = above, below2 = below;
    const SplitResult got = Split(source, above, below);
    ASSERT_EQ(got, SplitOneByOne(source, above2, below2));
    ASSERT_EQ(Describe(above), Describe(above2)) << Describe(source);
    ASSERT_EQ(Describe(below), Describe(below2)) << Describe(source);
    ASSERT_EQ(Describe(source), Describe(before));
  }
}

// ---- Named cases. ----

ListPane PaneOf(const Strings& addresses) {
  ListPane pane;
  for (const std::string& address : addresses) Enter(pane, address);
  return pane;
}

TEST(ListOpsTest, MergeTakesPresentAddressesOutAndInAgain) {
  ListPane pane = PaneOf({"ann@x.org", "Ann@x.org", "bob@x.org", "eve@x.org"});
  pane.list.SetSelRange(true, 0, 3);
  pane.list.SetPageRows(1);
  const std::vector<std::string_view> addresses = {"ann@x.org", "hugo@x.org", "ann@x.org",
                                                   "hugo@x.org"};
  const MergeResult result = MergeAddresses(pane.list, pane.set, addresses);
  EXPECT_EQ(result.fresh, 1u);
  EXPECT_EQ(result.present, 3u);
  EXPECT_EQ(Describe(pane.list), "[Ann@x.org*, ann@x.org, bob@x.org*, eve@x.org*, hugo@x.org]");
  EXPECT_EQ(pane.set.Count(), 5u);
  EXPECT_EQ(pane.list.TopIndex(), 4u);  // where the last address already present stands
}

TEST(ListOpsTest, UnionOfTwoEmptyPanesLeavesTheResultAlone) {
  const ListPane empty;
  ListPane result = PaneOf({"keep@x.org"});
  Union(empty, empty, result);
  EXPECT_EQ(Describe(result), "[keep@x.org] 0 {keep@x.org=}");
  Union(empty, PaneOf({"b@x.org", "a@x.org"}), result);
  EXPECT_EQ(Describe(result.list), "[a@x.org, b@x.org]");
}

TEST(ListOpsTest, CaseVariantsAreDifferentMembers) {
  const ListPane first = PaneOf({"Ann@x.org", "ann@x.org", "bob@x.org"});
  const ListPane second = PaneOf({"ann@x.org", "BOB@x.org"});
  ListPane result = PaneOf({"old@x.org"});

  Union(first, second, result);
  EXPECT_EQ(result.set.Count(), 4u);
  EXPECT_EQ(Describe(result.list), "[Ann@x.org, ann@x.org, BOB@x.org, bob@x.org]");

  // The item that goes is the one equal to the key, not its case variant.
  Difference(first, second, result);
  EXPECT_EQ(Describe(result.list), "[Ann@x.org, bob@x.org]");
  EXPECT_EQ(result.set.Count(), 2u);
  EXPECT_TRUE(result.set.Contains("Ann@x.org"));
  EXPECT_TRUE(result.set.Contains("bob@x.org"));

  Intersection(first, second, result);
  EXPECT_EQ(Describe(result), "[ann@x.org] 0 {ann@x.org=}");
  Intersection(first, ListPane(), result);
  EXPECT_EQ(Describe(result), "[] 0 {}");
}

TEST(ListOpsTest, SplitRefusals) {
  ListPane source = PaneOf({"a@x.org", "b@x.org", "c@x.org"});
  ListPane above = PaneOf({"old@x.org"}), below = PaneOf({"old@x.org"});
  EXPECT_EQ(Split(source, above, below), SplitResult::kNeedOneSelected);
  source.list.SetSel(true, 0);
  source.list.SetSel(true, 2);
  EXPECT_EQ(Split(source, above, below), SplitResult::kNeedOneSelected);
  EXPECT_EQ(Split(ListPane(), above, below), SplitResult::kEmpty);
  EXPECT_EQ(Describe(above), "[old@x.org] 0 {old@x.org=}");
  EXPECT_EQ(Describe(below), "[old@x.org] 0 {old@x.org=}");

  source.list.SetSel(false, 0);
  EXPECT_EQ(Split(source, above, below), SplitResult::kDone);
  EXPECT_EQ(Describe(above.list), "[a@x.org, b@x.org]");
  EXPECT_EQ(Describe(below.list), "[c@x.org]");
}

TEST(ListOpsTest, LoadPaneReplacesOrLeavesThePaneAsItWas) {
  test::TempDir dir;
  ListPane pane = PaneOf({"old@x.org", "Old@x.org"});
  pane.list.SetSel(true, 1);
  const std::string before = Describe(pane);

  const std::string truncated = dir.File("truncated.lse");
  test::WriteBytes(truncated, Bytes("\x03\x00\x0F" "ann@example.com\x00"));
  EXPECT_EQ(LoadPane(pane, truncated).kind, ListFileError::Kind::kEndOfData);
  EXPECT_EQ(Describe(pane), before);
  EXPECT_EQ(LoadPane(pane, dir.File("missing.lse")).kind, ListFileError::Kind::kOpen);
  EXPECT_EQ(Describe(pane), before);

  const std::string good = dir.File("good.lse");
  test::WriteBytes(good, Bytes("\x02\x00\x0F" "ann@example.com\x01v\x0F" "Ann@example.com\x00"));
  EXPECT_TRUE(LoadPane(pane, good).Ok());
  EXPECT_EQ(Describe(pane.list), "[Ann@example.com, ann@example.com]");
  EXPECT_EQ(pane.set.Value("ann@example.com"), "v");
}

}  // namespace
}  // namespace zofrin

namespace zofrin {
namespace {

// Writing a union, difference or intersection straight from the two sets
// gives the bytes of the set the operation makes, bucket order and all.
TEST(SetListBytesTest, EqualTheSetsTheOperationsMake) {
  std::mt19937 random(7);
  const char* letters = "aAbB";
  for (int round = 0; round < 50; ++round) {
    AddressSet first, second;
    for (int i = 0; i < 60; ++i) {
      std::string key = "k";
      for (int k = 0; k < 3; ++k) key += letters[random() % 4];
      key += "@x.com";
      (random() % 2 ? first : second).Store(key, random() % 5 ? "" : "value");
      if (random() % 4 == 0) (random() % 2 ? first : second).Remove(key);
    }
    if (round == 0) first.Clear(), second.Clear();
    if (round == 1) first.Clear();
    if (round == 2) second.Clear();
    AddressSet united, subtracted, intersected;
    UniteSets(first, second, united);
    SubtractSets(first, second, subtracted);
    IntersectSets(first, second, intersected);
    EXPECT_EQ(UnionListBytes(first, second), WriteListBytes(united)) << round;
    EXPECT_EQ(DifferenceListBytes(first, second), WriteListBytes(subtracted)) << round;
    EXPECT_EQ(IntersectionListBytes(first, second), WriteListBytes(intersected)) << round;
  }
}

}  // namespace
}  // namespace zofrin
