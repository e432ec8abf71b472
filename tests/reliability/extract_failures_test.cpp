// zofrin-cli extract on files that fail it: what is no regular file (a FIFO
// with or without a writer, devices, a folder), what cannot be read, and a
// file far larger than memory, which is streamed. Nothing hangs, each
// failure is reported, the other files are still scanned.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <chrono>
#include <cstdio>
#include <string>
#include <vector>

#include "address/address_set.h"
#include "address/list_file.h"
#include "extract_fixtures.h"
#include "reliability_support.h"

namespace {

using namespace zofrin;
using namespace zofrin::test;
namespace fs = std::filesystem;

ProcessResult Cli(const std::vector<std::string>& args, int seconds = 60) {
  std::vector<std::string> argv = {ZOFRIN_CLI};
  argv.insert(argv.end(), args.begin(), args.end());
  return RunProcess(argv, {}, seconds);
}

std::string Lines(const std::vector<std::string>& lines) {
  std::string text;
  for (const std::string& line : lines) (text += line) += '\n';
  return text;
}

TEST(ExtractFailuresCliTest, WhatIsNoRegularFileIsReportedWithoutWaiting) {
  TempDir dir;
  const UnusualFiles files(dir);
  std::vector<std::string> args = {"extract", files.first};
  std::string err;
  for (const auto& [path, message] : files.unusual) {
    args.push_back(path);
    err += "zofrin-cli: " + FormatText(message, path) + "\n";
  }
  args.push_back(files.last);
  const ProcessResult result = Cli(args, 30);
  ASSERT_FALSE(result.timedOut);
  EXPECT_EQ(result.exit, 1);
  EXPECT_EQ(result.out, Lines({"first@example.com", "last@example.com"}));
  EXPECT_EQ(result.err, err);
}

TEST(ExtractFailuresCliTest, UnreadableFilesAreReportedAndTheOthersMerged) {
  TempDir dir;
  UnreadableFiles files(dir);
  files.Spoil();
  const std::string list = dir.File("list.lse");
  std::vector<std::string> args = {"extract", "--into", list, files.first};
  std::string err;
  for (const auto& [path, message] : files.unreadable) {
    args.push_back(path);
    err += "zofrin-cli: " + FormatText(message, path) + "\n";
  }
  args.push_back(files.last);
  const ProcessResult result = Cli(args, 30);
  ASSERT_FALSE(result.timedOut);
  EXPECT_EQ(result.exit, 1);
  EXPECT_EQ(result.err, err);
  EXPECT_EQ(result.out, "found 2, new 2, total 2\n");
  AddressSet set;
  ASSERT_TRUE(ReadListFile(list, set).Ok());
  EXPECT_EQ(set.Count(), 2u);
  EXPECT_TRUE(set.Contains("first@example.com"));
  EXPECT_TRUE(set.Contains("last@example.com"));
}

// A sparse file of 32 GiB, more than the machine's memory: every address in
// it is found, one crossing the 4 GiB mark, with the memory of a small run.
TEST(ExtractFailuresCliTest, FileLargerThanMemoryIsStreamed) {
  TempDir dir;
  const HugeSparseFile huge(dir);
  if (huge.path.empty()) GTEST_SKIP() << huge.whyNot;
  const std::string small = dir.File("small.txt");
  WriteBytes(small, "first@example.com");
  const long baseline = Cli({"extract", small}).peakRssKib;

  const auto start = std::chrono::steady_clock::now();
  const ProcessResult result = Cli({"extract", huge.path}, 300);
  const double seconds =
      std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  ASSERT_FALSE(result.timedOut);
  EXPECT_EQ(result.exit, 0);
  EXPECT_EQ(result.err, "");
  EXPECT_EQ(result.out, Lines(HugeSparseFile::kAddresses));
  EXPECT_LE(result.peakRssKib, baseline + 32 * 1024);
  std::printf("[          ] %llu GiB scanned in %.1f s, peak %ld KiB (a small file: %ld KiB)\n",
              static_cast<unsigned long long>(HugeSparseFile::kSize >> 30), seconds,
              result.peakRssKib, baseline);
}

}  // namespace
