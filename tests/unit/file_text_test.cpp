#include "address/file_text.h"

#include <gtest/gtest.h>

#include <random>
#include <stdexcept>
#include <string>
#include <vector>

#include "address/file_extract.h"
#include "address/file_io.h"
#include "address/scanner.h"
#include "test_support.h"

namespace zofrin {
namespace {

using Found = std::vector<std::string>;
using test::Bytes;

// The file text rule as it reads: blocks of 512 bytes from offset 0, each
// cut at its first zero byte, joined.
std::string PlainFileText(std::string_view bytes) {
  std::string text;
  for (std::size_t k = 0; k <= bytes.size() / kTextBlockSize; ++k) {
    const std::string_view block = bytes.substr(k * kTextBlockSize, kTextBlockSize);
    text += block.substr(0, block.find('\0'));
  }
  return text;
}

class FileTextTest : public testing::Test {
 protected:
  // The addresses ScanFileText finds in a file holding `bytes`.
  Found Scan(std::string_view bytes) {
    const std::string path = m_dir.File("scanned.txt");
    test::WriteBytes(path, bytes);
    InputFile file;
    EXPECT_EQ(file.Open(path), FileErrorCause::kNone);
    Found found;
    StreamScanner scanner;
    const FileErrorCause cause = ScanFileText(
        file, scanner, [&](std::string_view address) { found.emplace_back(address); },
        [](std::size_t) { return true; });
    EXPECT_EQ(cause, FileErrorCause::kNone);
    return found;
  }

  test::TempDir m_dir;
};

TEST(CutBlocksAtZeroTest, MatchesTheBlockRule) {
  std::mt19937 rng(7);
  for (std::size_t size : {0, 1, 511, 512, 513, 1024, 1500, 5000}) {
    for (int round = 0; round < 20; ++round) {
      std::string bytes(size, ' ');
      for (char& c : bytes) c = (rng() % 200 == 0) ? '\0' : static_cast<char>('a' + rng() % 26);
      const std::string expected = PlainFileText(bytes);
      std::string data = bytes;
      const std::size_t kept = CutBlocksAtZero(data.data(), data.size());
      ASSERT_EQ(data.substr(0, kept), expected) << "size " << size;
    }
  }
}

TEST_F(FileTextTest, AddressAcrossABlockBoundaryIsFoundOnce) {
  for (std::size_t start = 496; start <= 512; ++start) {
    const std::string bytes = std::string(start, ' ') + "user@example.com" + std::string(600, ' ');
    EXPECT_EQ(Scan(bytes), Found{"user@example.com"}) << "address at " << start;
  }
}

TEST_F(FileTextTest, ZeroByteDropsTheRestOfItsBlockOnly) {
  auto block = [](std::string text) {
    text.resize(kTextBlockSize, ' ');
    return text;
  };
  // The cut pieces join: "joe" at the end of the first block's text meets
  // "@example.com" at the start of the second.
  const std::string bytes = block(Bytes("ann@example.com joe\0hidden@example.com")) +
                            block(Bytes("@example.com bob@example.com\0gone@example.org")) +
                            " end eve@example.org";
  EXPECT_EQ(Scan(bytes), (Found{"ann@example.com", "joe@example.com", "bob@example.com",
                                "eve@example.org"}));
}

TEST_F(FileTextTest, EveryOtherByteZeroGivesOneCharPerBlock) {
  std::string bytes;
  for (char c : std::string("ann@example.com")) {
    for (std::size_t i = 0; i < kTextBlockSize; i += 2) bytes += {c, '\0'};
  }
  EXPECT_EQ(PlainFileText(bytes), "ann@example.com");
  EXPECT_EQ(Scan(bytes), Found{"ann@example.com"});
}

TEST_F(FileTextTest, FileOfWholeBlocksEndingInAnAddress) {
  const std::string address = "user@example.com";
  const std::string bytes = std::string(2 * kTextBlockSize - address.size(), ' ') + address;
  EXPECT_EQ(Scan(bytes), Found{address});
  EXPECT_EQ(Scan(""), Found{});
}

TEST_F(FileTextTest, AddressAcrossTheReadSizeIsFoundOnce) {
  const std::string address = "first.last@example.com";
  for (std::size_t before = 0; before <= address.size(); ++before) {
    std::string bytes(kTextReadSize - before, ' ');
    bytes += address;
    bytes += std::string(1000, ' ');
    EXPECT_EQ(Scan(bytes), Found{address}) << before << " bytes before the boundary";
  }
}

TEST_F(FileTextTest, RandomFileMatchesTheBlockRuleThenTheScanner) {
  std::mt19937 rng(99);
  const std::string alphabet = "abc.@@ x-_";
  std::string bytes(2 * kTextReadSize + 777, ' ');
  for (char& c : bytes) c = rng() % 400 == 0 ? '\0' : alphabet[rng() % alphabet.size()];
  const Found expected = ExtractAddresses(PlainFileText(bytes));
  ASSERT_FALSE(expected.empty());
  EXPECT_EQ(Scan(bytes), expected);
}

TEST_F(FileTextTest, ProgressCanStopTheRead) {
  const std::string path = m_dir.File("big.txt");
  test::WriteBytes(path, "a@example.com " + std::string(3 * kTextReadSize, ' ') + "b@example.com");
  InputFile file;
  ASSERT_EQ(file.Open(path), FileErrorCause::kNone);
  StreamScanner scanner;
  Found found;
  std::vector<std::size_t> reported;
  ScanFileText(
      file, scanner, [&](std::string_view address) { found.emplace_back(address); },
      [&](std::size_t total) {
        reported.push_back(total);
        return false;
      });
  EXPECT_EQ(found, Found{"a@example.com"});
  EXPECT_EQ(reported, std::vector<std::size_t>{kTextReadSize});
}

TEST_F(FileTextTest, TextUpToZeroStopsAtTheFirstZeroByte) {
  const std::string path = m_dir.File("stdin.txt");
  test::WriteBytes(path, Bytes("a@example.com x\0 b@example.com") + std::string(700000, ' ') +
                             "c@example.com");
  InputFile file;
  ASSERT_EQ(file.Open(path), FileErrorCause::kNone);
  StreamScanner scanner;
  Found found;
  EXPECT_EQ(ScanTextUpToZero(file, scanner,
                             [&](std::string_view address) { found.emplace_back(address); }),
            FileErrorCause::kNone);
  EXPECT_EQ(found, Found{"a@example.com"});
}

}  // namespace
}  // namespace zofrin

namespace zofrin {
namespace {

// Many files on several threads give, file by file and in order, what one
// thread gives; a file that cannot be opened is told, the others go on.
TEST(ExtractFromFilesTest, ThreadsDeliverInFileOrder) {
  test::TempDir dir;
  std::vector<std::string> paths;
  for (int i = 0; i < 24; ++i) {
    std::string text;
    // Files of very different lengths, so that threads finish out of order.
    for (int k = 0; k < (i % 5) * 3000 + 1; ++k) {
      text += "f" + std::to_string(i) + "n" + std::to_string(k) + "@example.com\n";
    }
    paths.push_back(dir.File("file" + std::to_string(i) + ".txt"));
    test::WriteBytes(paths.back(), text);
  }
  paths.insert(paths.begin() + 7, dir.File("missing.txt"));

  auto run = [&](unsigned threads) {
    std::vector<std::pair<std::size_t, Found>> delivered;
    ExtractFromFiles<FileAddresses>(paths, threads, [&](std::size_t index, FileAddresses& result) {
      Found found;
      for (std::size_t i = 0; i < result.found.Size(); ++i) found.emplace_back(result.found[i]);
      EXPECT_EQ(result.openCause == FileErrorCause::kFileNotFound, index == 7) << index;
      delivered.emplace_back(index, std::move(found));
    });
    return delivered;
  };
  const auto single = run(1);
  ASSERT_EQ(single.size(), paths.size());
  for (std::size_t i = 0; i < single.size(); ++i) EXPECT_EQ(single[i].first, i);
  EXPECT_EQ(single[8].second.front(), "f7n0@example.com");
  EXPECT_EQ(run(3), single);
}

// Each file's addresses sorted on its scanning thread and the runs merged
// give the list that inserting every address found gives.
TEST(ExtractFromFilesTest, SortedRunsMergeIntoTheList) {
  test::TempDir dir;
  std::mt19937 rng(5);
  const char* names[] = {"zoe", "Ann", "ann", "bob", "ANN", "carl", "Zoe"};
  std::vector<std::string> paths;
  for (int i = 0; i < 9; ++i) {
    std::string text;
    for (int k = 0; k < i * 40; ++k) {
      text += std::string(names[rng() % std::size(names)]) + std::to_string(rng() % 30) +
              "@example.com, ";
    }
    paths.push_back(dir.File("file" + std::to_string(i) + ".txt"));
    test::WriteBytes(paths.back(), text);
  }
  StringArray all;
  ExtractFromFiles<FileAddresses>(paths, 1, [&](std::size_t, FileAddresses& result) {
    for (std::size_t i = 0; i < result.found.Size(); ++i) all.Add(result.found[i]);
  });
  SortedAddressList expected;
  expected.InsertMany(all.Views());

  SortedBatch batch;
  ExtractFromFiles<FileSortedAddresses>(
      paths, 3, [&](std::size_t, FileSortedAddresses& result) { batch.AppendRun(result.found); });
  SortedAddressList list;
  list.InsertBatch(batch);
  EXPECT_EQ(test::Describe(list), test::Describe(expected));
}

// No file at all gives nothing; a failure while a file is scanned or handed
// over ends the whole run with that failure, the threads stopped, instead of
// ending the program.
TEST(ExtractFromFilesTest, NoFilesAndFailures) {
  bool called = false;
  ExtractFromFiles<FileAddresses>({}, 4, [&](std::size_t, FileAddresses&) { called = true; });
  EXPECT_FALSE(called);

  test::TempDir dir;
  std::vector<std::string> paths;
  for (int i = 0; i < 40; ++i) {
    paths.push_back(dir.File("file" + std::to_string(i) + ".txt"));
    test::WriteBytes(paths.back(), "a" + std::to_string(i) + "@example.com\n");
  }
  for (unsigned threads : {1u, 3u}) {
    std::size_t delivered = 0;
    EXPECT_THROW(ExtractFromFiles<FileAddresses>(paths, threads,
                                  [&](std::size_t index, FileAddresses&) {
                                    if (index == 5) throw std::runtime_error("deliver");
                                    ++delivered;
                                  }),
                 std::runtime_error);
    EXPECT_EQ(delivered, 5u);

    struct Failing final : FileCollector {
      void Add(std::string_view address) override {
        if (address == "a7@example.com") throw std::runtime_error("collect");
      }
      void Clear() override {}
    };
    delivered = 0;
    EXPECT_THROW(ExtractFromFiles<Failing>(paths, threads,
                                           [&](std::size_t, Failing&) { ++delivered; }),
                 std::runtime_error);
    EXPECT_LE(delivered, 7u);
  }
}

}  // namespace
}  // namespace zofrin
