#include "address/address_set.h"

#include <gtest/gtest.h>

#include <array>
#include <list>
#include <map>
#include <random>
#include <string>
#include <utility>
#include <vector>

#include "test_support.h"

namespace zofrin {
namespace {

using test::Bytes;
using test::Entries;
using test::Keys;
using Strings = std::vector<std::string>;

std::string_view UpToZero(std::string_view key) { return key.substr(0, key.find('\0')); }

// h = h * 33 + signed byte over the key up to its first zero byte, in
// 64-bit arithmetic reduced to 32 bits, then modulo 17.
unsigned PlainBucket(std::string_view key) {
  std::int64_t h = 0;
  for (char c : UpToZero(key)) {
    h = (h * 33 + static_cast<signed char>(c)) % 0x100000000LL;
    if (h < 0) h += 0x100000000LL;
  }
  return static_cast<unsigned>(h % 17);
}

TEST(AddressSetTest, BucketFormula) {
  EXPECT_EQ(AddressSet::BucketOf("abc"), 13u);
  EXPECT_EQ(AddressSet::BucketOf(""), 0u);
  EXPECT_EQ(AddressSet::BucketOf("ann@example.com"), 7u);
  EXPECT_EQ(AddressSet::BucketOf("hugo@example.com"), 7u);
  EXPECT_EQ(AddressSet::BucketOf("eve@example.com"), 12u);
  // 0xE9 counts as -23: read unsigned, this key would fall into bucket 0.
  EXPECT_EQ(AddressSet::BucketOf("\xE9" "a"), 2u);
  EXPECT_EQ(AddressSet::BucketOf(Bytes("abc\0zzz")), 13u);

  std::mt19937 rng(5);
  for (int round = 0; round < 2000; ++round) {
    std::string key(rng() % 40, ' ');
    for (char& c : key) c = static_cast<char>(rng() % 256);
    ASSERT_EQ(AddressSet::BucketOf(key), PlainBucket(key));
  }
}

TEST(AddressSetTest, NewKeyGoesToTheFrontAndReStoreKeepsItsPlace) {
  AddressSet set;
  EXPECT_TRUE(set.Store("ann@example.com"));
  EXPECT_TRUE(set.Store("eve@example.com"));
  EXPECT_TRUE(set.Store("hugo@example.com"));
  EXPECT_EQ(Keys(set), (Strings{"hugo@example.com", "ann@example.com", "eve@example.com"}));

  EXPECT_FALSE(set.Store("ann@example.com", "v"));
  EXPECT_EQ(Keys(set), (Strings{"hugo@example.com", "ann@example.com", "eve@example.com"}));
  EXPECT_EQ(set.Value("ann@example.com"), "v");
  EXPECT_FALSE(set.Store("ann@example.com"));
  EXPECT_EQ(set.Value("ann@example.com"), "");

  EXPECT_TRUE(set.Remove("hugo@example.com"));
  EXPECT_EQ(Keys(set), (Strings{"ann@example.com", "eve@example.com"}));
  EXPECT_TRUE(set.Store("hugo@example.com"));
  EXPECT_EQ(Keys(set), (Strings{"hugo@example.com", "ann@example.com", "eve@example.com"}));
  EXPECT_EQ(set.Count(), 3u);
}

TEST(AddressSetTest, KeysCompareByteForByte) {
  AddressSet set;
  set.Store("Ann@example.com");
  EXPECT_TRUE(set.Contains("Ann@example.com"));
  EXPECT_FALSE(set.Contains("ann@example.com"));
  EXPECT_FALSE(set.Remove("ann@example.com"));
  EXPECT_TRUE(set.Store("ann@example.com"));
  EXPECT_EQ(set.Count(), 2u);
  EXPECT_TRUE(set.Remove("Ann@example.com"));
  EXPECT_EQ(Keys(set), Strings{"ann@example.com"});
}

TEST(AddressSetTest, KeysAreEqualUpToTheFirstZeroByte) {
  AddressSet set;
  EXPECT_TRUE(set.Store(Bytes("ann@x.org\0abc"), "1"));
  EXPECT_TRUE(set.Contains("ann@x.org"));
  EXPECT_TRUE(set.Contains(Bytes("ann@x.org\0zzz")));
  EXPECT_FALSE(set.Store(Bytes("ann@x.org\0zz"), "2"));
  // The key keeps the bytes it was first stored with.
  EXPECT_EQ(Entries(set), (std::vector<std::pair<std::string, std::string>>{
                              {Bytes("ann@x.org\0abc"), "2"}}));
  EXPECT_TRUE(set.Remove("ann@x.org"));
  EXPECT_TRUE(set.Empty());
}

TEST(AddressSetTest, RemovingTheLastKeyLeavesTheSetAsNew) {
  AddressSet set;
  for (const char* key : {"ann@example.com", "hugo@example.com", "eve@example.com"}) {
    set.Store(key, "value");
  }
  for (const char* key : {"hugo@example.com", "eve@example.com", "ann@example.com"}) {
    set.Remove(key);
  }
  EXPECT_EQ(set.Count(), 0u);
  EXPECT_TRUE(Keys(set).empty());
  EXPECT_FALSE(set.Contains("ann@example.com"));

  AddressSet fresh;
  for (AddressSet* s : {&set, &fresh}) {
    s->Store("eve@example.com");
    s->Store("ann@example.com");
    s->Store("hugo@example.com");
  }
  EXPECT_EQ(Entries(set), Entries(fresh));
}

// The layout as it is described: a map for the values and one list per
// bucket for the order.
class ModelSet {
 public:
  bool Store(const std::string& key, const std::string& value) {
    const std::string identity(UpToZero(key));
    auto [it, fresh] = m_entries.try_emplace(identity, key, value);
    if (!fresh) {
      it->second.second = value;
      return false;
    }
    m_chains[PlainBucket(identity)].push_front(identity);
    return true;
  }
  bool Remove(const std::string& key) {
    const std::string identity(UpToZero(key));
    if (m_entries.erase(identity) == 0) return false;
    m_chains[PlainBucket(identity)].remove(identity);
    return true;
  }
  void Clear() {
    m_entries.clear();
    for (auto& chain : m_chains) chain.clear();
  }
  bool Contains(const std::string& key) const {
    return m_entries.count(std::string(UpToZero(key))) != 0;
  }
  std::size_t Count() const { return m_entries.size(); }
  std::vector<std::pair<std::string, std::string>> Entries() const {
    std::vector<std::pair<std::string, std::string>> entries;
    for (const auto& chain : m_chains) {
      for (const std::string& identity : chain) entries.push_back(m_entries.at(identity));
    }
    return entries;
  }

 private:
  std::map<std::string, std::pair<std::string, std::string>> m_entries;
  std::array<std::list<std::string>, 17> m_chains;
};

TEST(AddressSetTest, RandomStoresAndRemovesMatchTheModel) {
  std::mt19937 rng(1234);
  std::vector<std::string> pool;
  for (int i = 0; i < 1500; ++i) {
    std::string key(1 + rng() % 120, ' ');
    for (char& c : key) c = static_cast<char>(rng() % 8 == 0 ? rng() % 256 : 'a' + rng() % 26);
    pool.push_back(key);
  }
  // A few keys that differ only after a zero byte, or only in case.
  pool.push_back(Bytes("zero@x.org\0a"));
  pool.push_back(Bytes("zero@x.org\0b"));
  pool.push_back("zero@x.org");
  pool.push_back("ZERO@x.org");
  pool.push_back(Bytes("ab\0c@x.org"));
  pool.push_back(Bytes("ab\0d@x.org.example"));
  pool.push_back("ab");

  AddressSet set;
  ModelSet model;
  for (int op = 0; op < 40000; ++op) {
    const std::string& key = pool[rng() % pool.size()];
    const unsigned what = rng() % 1000;
    if (what < 520) {
      const std::string value(rng() % 3 == 0 ? rng() % 30 : 0, 'v');
      ASSERT_EQ(set.Store(key, value), model.Store(key, value));
    } else if (what < 940) {
      ASSERT_EQ(set.Remove(key), model.Remove(key));
    } else if (what < 995) {
      ASSERT_EQ(set.Contains(key), model.Contains(key));
    } else if (what < 998) {
      set.Reserve(set.Count() + rng() % 3000, rng() % 20000);
    } else {
      set.Clear();
      model.Clear();
    }
    ASSERT_EQ(set.Count(), model.Count());
    if (op % 97 == 0) {
      ASSERT_EQ(Entries(set), model.Entries()) << "after op " << op;
    }
  }
  EXPECT_EQ(Entries(set), model.Entries());
  // Removing everything key by key, in enumeration order.
  for (const std::string& key : Keys(set)) {
    ASSERT_TRUE(set.Remove(key));
    ASSERT_TRUE(model.Remove(key));
    if (set.Count() % 50 == 0) {
      ASSERT_EQ(Entries(set), model.Entries());
    }
  }
  EXPECT_TRUE(set.Empty());
}

}  // namespace
}  // namespace zofrin
