#include "address/list_file.h"

#include <sys/stat.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <random>
#include <string>
#include <utility>
#include <vector>

#include "address/file_io.h"
#include "test_support.h"

namespace zofrin {
namespace {

using test::Bytes;
using test::Entries;
using test::Keys;
using Kind = ListFileError::Kind;
using Strings = std::vector<std::string>;
using EntryList = std::vector<std::pair<std::string, std::string>>;

// A key or value string as the file holds it: one-byte length prefix.
std::string Short(std::string_view text) { return char(text.size()) + std::string(text); }

AddressSet Read(std::string_view bytes, Kind expected = Kind::kNone) {
  AddressSet set;
  EXPECT_EQ(ReadListBytes(bytes, set), expected);
  return set;
}

TEST(ListFileBytesTest, TwoKeysInDifferentBucketsInEitherOrder) {
  const std::string expected = Bytes("\x02\x00") + Short("ann@example.com") + Bytes("\x00") +
                               Short("eve@example.com") + Bytes("\x00");
  ASSERT_EQ(expected.size(), 36u);
  AddressSet one, other;
  one.Store("ann@example.com");
  one.Store("eve@example.com");
  other.Store("eve@example.com");
  other.Store("ann@example.com");
  EXPECT_EQ(WriteListBytes(one), expected);
  EXPECT_EQ(WriteListBytes(other), expected);
}

TEST(ListFileBytesTest, EmptySetIsTwoZeroBytes) {
  EXPECT_EQ(WriteListBytes(AddressSet()), Bytes("\x00\x00"));
  EXPECT_EQ(Read(Bytes("\x00\x00")).Count(), 0u);
}

TEST(ListFileBytesTest, ReadingAndWritingAgainReversesKeysOfOneBucket) {
  AddressSet set;
  set.Store("ann@example.com");
  set.Store("hugo@example.com");
  const std::string first = WriteListBytes(set);
  EXPECT_EQ(first, Bytes("\x02\x00") + Short("hugo@example.com") + Bytes("\x00") +
                       Short("ann@example.com") + Bytes("\x00"));
  EXPECT_EQ(Keys(Read(first)), (Strings{"ann@example.com", "hugo@example.com"}));
  EXPECT_EQ(WriteListBytes(Read(WriteListBytes(Read(first)))), first);
}

struct PrefixCase {
  const char* name;
  std::size_t length;
  std::string prefix;
};

void PrintTo(const PrefixCase& c, std::ostream* out) { *out << c.name; }

class LengthPrefixTest : public testing::TestWithParam<PrefixCase> {};

TEST_P(LengthPrefixTest, WrittenAndReadBack) {
  AddressSet set;
  const std::string key(GetParam().length, 'k');
  set.Store(key);
  const std::string bytes = WriteListBytes(set);
  EXPECT_EQ(bytes, Bytes("\x01\x00") + GetParam().prefix + key + Bytes("\x00"));
  EXPECT_EQ(Keys(Read(bytes)), Strings{key});
}

INSTANTIATE_TEST_SUITE_P(
    Boundaries, LengthPrefixTest,
    testing::Values(PrefixCase{"Empty", 0, Bytes("\x00")},
                    PrefixCase{"OneByteLast", 254, "\xFE"},
                    PrefixCase{"ThreeByteFirst", 255, Bytes("\xFF\xFF\x00")},
                    PrefixCase{"ThreeHundred", 300, "\xFF\x2C\x01"},
                    PrefixCase{"ThreeByteLast", 65533, "\xFF\xFD\xFF"},
                    PrefixCase{"SevenByteFirst", 65534, Bytes("\xFF\xFF\xFF\xFE\xFF\x00\x00")},
                    PrefixCase{"SevenByteOfFFFF", 65535, Bytes("\xFF\xFF\xFF\xFF\xFF\x00\x00")},
                    PrefixCase{"SeventyThousand", 70000, Bytes("\xFF\xFF\xFF\x70\x11\x01\x00")}),
    [](const testing::TestParamInfo<PrefixCase>& info) { return info.param.name; });

TEST(ListFileBytesTest, CountOf65535AndMoreTakesSixBytes) {
  for (std::size_t count : {65534u, 65535u, 65536u}) {
    AddressSet set;
    for (std::size_t i = 0; i < count; ++i) set.Store(std::to_string(i));
    const std::string bytes = WriteListBytes(set);
    const std::string head = count == 65534 ? Bytes("\xFE\xFF")
                             : count == 65535 ? Bytes("\xFF\xFF\xFF\xFF\x00\x00")
                                              : Bytes("\xFF\xFF\x00\x00\x01\x00");
    EXPECT_EQ(bytes.substr(0, head.size()), head) << count;
    EXPECT_EQ(Read(bytes).Count(), count);
  }
}

TEST(ListFileBytesTest, RepeatedKeyKeepsItsFirstPlaceAndTakesTheLastValue) {
  const std::string bytes = Bytes("\x03\x00") + Short("ann@example.com") + Short("x") +
                            Short("hugo@example.com") + Short("h") +
                            Short("ann@example.com") + Short("");
  EXPECT_EQ(Entries(Read(bytes)),
            (EntryList{{"hugo@example.com", "h"}, {"ann@example.com", ""}}));
}

TEST(ListFileBytesTest, ValuesAndCaseVariantsSurviveARoundTrip) {
  const std::string bytes = Bytes("\x02\x00") + Short("Ann@example.com") + Short("old") +
                            Short("ann@example.com") + Short("");
  const AddressSet set = Read(bytes);
  EXPECT_EQ(set.Count(), 2u);
  EXPECT_EQ(Entries(Read(WriteListBytes(Read(WriteListBytes(set))))), Entries(set));
  EXPECT_EQ(set.Value("Ann@example.com"), "old");
}

TEST(ListFileBytesTest, BytesAfterTheLastEntryAreIgnored) {
  const std::string bytes =
      Bytes("\x01\x00") + Short("ann@example.com") + Bytes("\x00") + "\xFF\xFFgarbage";
  EXPECT_EQ(Keys(Read(bytes)), Strings{"ann@example.com"});
}

TEST(ListFileBytesTest, ReadingAddsToTheSet) {
  AddressSet set;
  set.Store("old@example.com");
  EXPECT_EQ(ReadListBytes(Bytes("\x01\x00") + Short("new@example.com") + Bytes("\x00"), set),
            Kind::kNone);
  EXPECT_EQ(set.Count(), 2u);
}

TEST(ListFileBytesTest, WideStrings) {
  const std::string head = Bytes("\x01\x00");
  EXPECT_EQ(Keys(Read(head + Bytes("\xFF\xFE\xFF\x03" "a\0b\0c\0") + Bytes("\x00"))),
            Strings{"abc"});
  // e with acute accent and the euro sign exist in the code page; a Cyrillic
  // letter does not.
  EXPECT_EQ(Keys(Read(head + Bytes("\xFF\xFE\xFF\x04" "a\0\xE9\0\xAC\x20\x16\x04") +
                      Bytes("\x00"))),
            Strings{"a\xE9\x80?"});
  // A wide value, with the three-byte length form inside the wide mark.
  const AddressSet set =
      Read(head + Short("k@example.com") + Bytes("\xFF\xFE\xFF\xFF\x02\x00" "o\0k\0"));
  EXPECT_EQ(set.Value("k@example.com"), "ok");
  Read(head + Bytes("\xFF\xFE\xFF\xFF\xFE\xFF\x01" "a\0") + Bytes("\x00"), Kind::kWideMarkTwice);
}

struct BadCase {
  const char* name;
  std::string bytes;
  Kind kind;
};

void PrintTo(const BadCase& c, std::ostream* out) { *out << c.name; }

class BadBytesTest : public testing::TestWithParam<BadCase> {};

// Counts and lengths up to 0xFFFFFFFF must fail at once, not allocate.
TEST_P(BadBytesTest, Fails) {
  AddressSet set;
  EXPECT_EQ(ReadListBytes(GetParam().bytes, set), GetParam().kind);
}

INSTANTIATE_TEST_SUITE_P(
    Table, BadBytesTest,
    testing::Values(
        BadCase{"Nothing", "", Kind::kEndOfData},
        BadCase{"HalfACount", "\x01", Kind::kEndOfData},
        BadCase{"CountWithoutEntries", Bytes("\x01\x00"), Kind::kEndOfData},
        BadCase{"LongCountCut", Bytes("\xFF\xFF\x01\x00"), Kind::kEndOfData},
        BadCase{"HugeCount", Bytes("\xFF\xFF\xFF\xFF\xFF\xFF\x00\x00"), Kind::kEndOfData},
        BadCase{"KeyCut", Bytes("\x01\x00\x05" "abc"), Kind::kEndOfData},
        BadCase{"ValueMissing", Bytes("\x01\x00\x03" "abc"), Kind::kEndOfData},
        BadCase{"HugeLength", Bytes("\x01\x00\xFF\xFF\xFF\xFF\xFF\xFF\xFF\x00"), Kind::kEndOfData},
        BadCase{"HugeWideLength", Bytes("\x01\x00\xFF\xFE\xFF\xFF\xFF\xFF\xFF\xFF\xFF\x00"),
                Kind::kEndOfData},
        BadCase{"WideKeyCut", Bytes("\x01\x00\xFF\xFE\xFF\x02" "a\0b"), Kind::kEndOfData},
        BadCase{"WideMarkTwice", Bytes("\x01\x00\xFF\xFE\xFF\xFF\xFE\xFF\x00\x00"),
                Kind::kWideMarkTwice}),
    [](const testing::TestParamInfo<BadCase>& info) { return info.param.name; });

TEST(ListFileBytesTest, EveryTruncationOfAFileFails) {
  AddressSet set;
  set.Store("ann@example.com");
  set.Store(std::string(300, 'k'), "value");
  set.Store("hugo@example.com");
  const std::string bytes = WriteListBytes(set);
  for (std::size_t size = 0; size < bytes.size(); ++size) {
    AddressSet read;
    ASSERT_EQ(ReadListBytes(bytes.substr(0, size), read), Kind::kEndOfData) << size;
  }
}

TEST(ListFileBytesTest, RandomSetsRoundTrip) {
  std::mt19937 rng(31);
  for (int round = 0; round < 50; ++round) {
    AddressSet set;
    const int count = rng() % 200;
    for (int i = 0; i < count; ++i) {
      std::string key(rng() % 20, ' ');
      for (char& c : key) c = static_cast<char>(1 + rng() % 255);
      set.Store(key, std::string(rng() % 3, 'v'));
    }
    const std::string bytes = WriteListBytes(set);
    const AddressSet once = Read(bytes);
    const AddressSet twice = Read(WriteListBytes(once));
    EXPECT_EQ(Entries(twice), Entries(set));
    EXPECT_EQ(once.Count(), set.Count());
  }
}

TEST(ListFileErrorTest, MessageTexts) {
  ListFileError error;
  error.path = "/some/list.lse";
  error.kind = Kind::kEndOfData;
  EXPECT_EQ(error.Message(), "Unexpected file format.");
  error.kind = Kind::kWideMarkTwice;
  EXPECT_EQ(error.Message(), "Unexpected file format.");
  error.kind = Kind::kOutOfMemory;
  EXPECT_EQ(error.Message(), "Failed to open document.");
  EXPECT_EQ(error.Message(true), "Failed to save document.");
  error.kind = Kind::kIo;
  error.cause = FileErrorCause::kDiskFull;
  EXPECT_EQ(error.Message(true), "Disk full while accessing /some/list.lse.");
  error.cause = FileErrorCause::kEndOfFile;
  EXPECT_EQ(error.Message(), "An attempt was made to access /some/list.lse past its end.");
}

class ListFileTest : public testing::Test {
 protected:
  void TearDown() override { SetWriteLimitForTesting(-1); }

  AddressSet SampleSet(int count) {
    AddressSet set;
    for (int i = 0; i < count; ++i) set.Store("user" + std::to_string(i) + "@example.com");
    return set;
  }

  test::TempDir m_dir;
};

TEST_F(ListFileTest, WriteAndReadBack) {
  const std::string path = m_dir.File("list.lse");
  const AddressSet set = SampleSet(100);
  ASSERT_TRUE(WriteListFile(path, set).Ok());
  EXPECT_EQ(test::ReadBytes(path), WriteListBytes(set));
  AddressSet read;
  EXPECT_TRUE(ReadListFile(path, read).Ok());
  EXPECT_EQ(read.Count(), 100u);
}

TEST_F(ListFileTest, EmptyFileIsAnEmptyList) {
  const std::string path = m_dir.File("empty.lse");
  test::WriteBytes(path, "");
  AddressSet set;
  EXPECT_TRUE(ReadListFile(path, set).Ok());
  EXPECT_TRUE(set.Empty());
}

TEST_F(ListFileTest, ReadFailures) {
  AddressSet set;
  const std::string missing = m_dir.File("missing.lse");
  ListFileError error = ReadListFile(missing, set);
  EXPECT_EQ(error.kind, Kind::kOpen);
  EXPECT_EQ(error.Message(), missing + " was not found.");

  const std::string cut = m_dir.File("cut.lse");
  test::WriteBytes(cut, Bytes("\x01\x00"));
  error = ReadListFile(cut, set);
  EXPECT_EQ(error.kind, Kind::kEndOfData);
  EXPECT_EQ(error.Message(), "Unexpected file format.");
  EXPECT_TRUE(set.Empty());
}

TEST_F(ListFileTest, UnreadableFileIsDenied) {
  if (::geteuid() == 0) GTEST_SKIP() << "root reads any file";
  const std::string path = m_dir.File("locked.lse");
  test::WriteBytes(path, Bytes("\x00\x00"));
  ::chmod(path.c_str(), 0);
  AddressSet set;
  const ListFileError error = ReadListFile(path, set);
  EXPECT_EQ(error.kind, Kind::kOpen);
  EXPECT_EQ(error.Message(), "Access to " + path + " was denied.");
}

TEST_F(ListFileTest, FailedWriteLeavesTheOldFileWhole) {
  const std::string path = m_dir.File("list.lse");
  const AddressSet old = SampleSet(3);
  ASSERT_TRUE(WriteListFile(path, old).Ok());
  const std::string oldBytes = test::ReadBytes(path);
  for (std::int64_t limit : {0, 1, 100}) {
    SetWriteLimitForTesting(limit);
    const ListFileError error = WriteListFile(path, SampleSet(50));
    SetWriteLimitForTesting(-1);
    EXPECT_EQ(error.kind, Kind::kIo) << limit;
    EXPECT_EQ(error.Message(true), "Disk full while accessing " + path + ".");
    EXPECT_EQ(test::ReadBytes(path), oldBytes);
    EXPECT_EQ(m_dir.Names(), Strings{"list.lse"});
  }
  // A new file that cannot be written whole leaves nothing behind.
  SetWriteLimitForTesting(10);
  EXPECT_FALSE(WriteListFile(m_dir.File("new.lse"), old).Ok());
  EXPECT_EQ(m_dir.Names(), Strings{"list.lse"});
}

TEST_F(ListFileTest, TargetThatIsAFolderOrReadOnlyIsRefused) {
  const std::string folder = m_dir.File("folder.lse");
  ASSERT_EQ(::mkdir(folder.c_str(), 0755), 0);
  ListFileError error = WriteListFile(folder, SampleSet(2));
  EXPECT_FALSE(error.Ok());
  EXPECT_EQ(error.Message(true), "Access to " + folder + " was denied.");

  const std::string readOnly = m_dir.File("read-only.lse");
  test::WriteBytes(readOnly, "old");
  ::chmod(readOnly.c_str(), 0444);
  error = WriteListFile(readOnly, SampleSet(2));
  EXPECT_FALSE(error.Ok());
  EXPECT_EQ(error.Message(true), "Access to " + readOnly + " was denied.");
  EXPECT_EQ(test::ReadBytes(readOnly), "old");
  EXPECT_EQ(m_dir.Names(), (Strings{"folder.lse", "read-only.lse"}));
}

// Writable for others but not for its owner: the folder would let the new
// file be renamed over it, yet this user may not write the file itself.
TEST_F(ListFileTest, TargetTheOwnerMayNotWriteIsRefused) {
  if (::geteuid() == 0) GTEST_SKIP() << "root writes any file";
  const std::string path = m_dir.File("theirs.lse");
  test::WriteBytes(path, "old");
  ::chmod(path.c_str(), 0466);
  const ListFileError error = WriteListFile(path, SampleSet(2));
  EXPECT_EQ(error.Message(true), "Access to " + path + " was denied.");
  EXPECT_EQ(test::ReadBytes(path), "old");
  EXPECT_EQ(m_dir.Names(), Strings{"theirs.lse"});
}

TEST_F(ListFileTest, RewriteKeepsThePermissions) {
  const std::string path = m_dir.File("list.lse");
  test::WriteBytes(path, "old");
  ::chmod(path.c_str(), 0640);
  ASSERT_TRUE(WriteListFile(path, SampleSet(5)).Ok());
  EXPECT_EQ(test::ModeOf(path), 0640u);
  EXPECT_EQ(test::ReadBytes(path), WriteListBytes(SampleSet(5)));
}

}  // namespace
}  // namespace zofrin
