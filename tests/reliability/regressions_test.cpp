// Faults the fuzzers and the sanitized build found, kept so that they stay
// fixed. Each was undefined behaviour that UBSan stops at.
#include <gtest/gtest.h>

#include <string>

#include "address/address_set.h"
#include "address/list_file.h"
#include "address/sorted_list.h"

namespace {

using namespace zofrin;

// An empty key in a set that holds no text yet has no data pointer; hashing
// it and finding its place passed that null pointer to memchr and memcpy
// (undefined even for zero bytes; UBSan stops there). The fuzzer found it
// through a file whose entries are all empty strings.
TEST(RegressionsTest, EmptyKeyInAFreshSet) {
  AddressSet set;
  EXPECT_TRUE(set.Store({}, {}));
  EXPECT_FALSE(set.Store({}, {}));
  EXPECT_TRUE(set.Contains({}));
  EXPECT_EQ(set.Count(), 1u);
  EXPECT_TRUE(set.Remove({}));
  EXPECT_TRUE(set.Empty());

  // 22 entries announced: three empty ones, then a key longer than the rest.
  const std::string bytes = std::string("\x16\0\0\0\0\0\0\0", 8) + std::string(40, '\xF9');
  AddressSet plain;
  const auto kind = ParseListBytes(bytes, [&](std::string_view key, std::string_view value) {
    plain.Store(key, value);
  });
  EXPECT_EQ(kind, ListFileError::Kind::kEndOfData);
  EXPECT_EQ(plain.Count(), 1u);
}

// Two empty texts compare equal; their bytes went to memcmp, one of them
// without a data pointer. The sanitized unit tests met it inserting texts
// into a sorted list.
TEST(RegressionsTest, EmptyTextsInASortedList) {
  EXPECT_EQ(CompareDisplay({}, {}), 0);
  EXPECT_LT(CompareDisplay({}, "a"), 0);
  SortedAddressList list;
  list.Insert({});
  list.Insert({});
  list.Insert("a@example.com");
  EXPECT_EQ(list.Count(), 3u);
  EXPECT_EQ(list.Text(0), "");
  EXPECT_EQ(list.Text(2), "a@example.com");
}

}  // namespace
