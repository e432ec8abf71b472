// Inputs the fuzzers found to fail, kept so that they stay fixed.
#include <gtest/gtest.h>

#include <string>

#include "address/address_set.h"
#include "address/list_file.h"

namespace {

using namespace zofrin;

// An empty key in a set that holds no text yet has no data pointer; hashing
// it and finding its place passed that null pointer to memchr and memcpy
// (undefined even for zero bytes; UBSan stops there). The fuzzer found it
// through a file whose entries are all empty strings.
TEST(FuzzRegressionsTest, EmptyKeyInAFreshSet) {
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

}  // namespace
