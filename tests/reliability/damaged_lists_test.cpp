// Damaged list files given to the core's reader and to zofrin-cli: each
// one fails with "Unexpected file format." (or reads, where its bytes make
// a valid shorter file), changes nothing it should not, and zofrin-cli
// needs no more memory for a file that claims billions of entries than for
// an empty one.
#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <string>
#include <vector>

#include "address/address_set.h"
#include "address/list_file.h"
#include "address/list_ops.h"
#include "damaged_lists.h"
#include "reliability_support.h"

namespace {

using namespace zofrin;
using namespace zofrin::test;
using Kind = ListFileError::Kind;

Kind KindOf(Outcome outcome) {
  switch (outcome) {
    case Outcome::kReads: return Kind::kNone;
    case Outcome::kEndOfData: return Kind::kEndOfData;
    case Outcome::kWideMarkTwice: return Kind::kWideMarkTwice;
  }
  return Kind::kNone;
}

std::map<std::string, std::string> AsMap(const AddressSet& set) {
  std::map<std::string, std::string> map;
  set.ForEach([&](std::string_view key, std::string_view value) {
    map.emplace(std::string(key), std::string(value));
  });
  return map;
}

std::map<std::string, std::string> AsMap(const DamagedList& file) {
  return {file.entries.begin(), file.entries.end()};
}

std::string Lines(const std::vector<std::string>& lines) {
  std::string text;
  for (const std::string& line : lines) (text += line) += '\n';
  return text;
}

std::string Unexpected(const std::string& path) {
  return "zofrin-cli: " + path + ": Unexpected file format.\n";
}

TEST(DamagedListsTest, TheCatalogueHoldsWhatItPromises) {
  const auto all = AllDamagedListFiles();
  std::size_t reads = 0, ends = 0, twice = 0;
  for (const DamagedList& file : all) {
    reads += file.outcome == Outcome::kReads;
    ends += file.outcome == Outcome::kEndOfData;
    twice += file.outcome == Outcome::kWideMarkTwice;
  }
  EXPECT_GT(reads, 10u);
  EXPECT_GT(ends, 400u);
  EXPECT_GE(twice, 5u);
  std::printf("[          ] %zu damaged list files: %zu read, %zu end early, %zu wide mark twice\n",
              all.size(), reads, ends, twice);
}

// The reader in memory and from a file, and a pane loaded from the file.
TEST(DamagedListsTest, TheReaderGivesEachFileItsOutcome) {
  TempDir dir;
  const std::string path = dir.File("damaged.lse");
  for (const DamagedList& file : AllDamagedListFiles()) {
    SCOPED_TRACE(file.name);
    // In memory even the count is missing from no bytes at all; only a file
    // of no bytes is an empty list.
    AddressSet set;
    EXPECT_EQ(ReadListBytes(file.bytes, set),
              file.bytes.empty() ? Kind::kEndOfData : KindOf(file.outcome));
    if (file.outcome == Outcome::kReads) {
      EXPECT_EQ(AsMap(set), AsMap(file));
    }

    WriteBytes(path, file.bytes);
    AddressSet fromFile;
    const ListFileError error = ReadListFile(path, fromFile);
    EXPECT_EQ(error.kind, KindOf(file.outcome));
    if (file.outcome == Outcome::kReads) {
      EXPECT_EQ(AsMap(fromFile), AsMap(file));
    } else {
      EXPECT_EQ(error.Message(), "Unexpected file format.");
    }

    // A pane keeps what it held when the file fails.
    ListPane pane;
    pane.set.Store("keep@example.com");
    RebuildList(pane.list, pane.set);
    pane.list.SetSel(true, 0);
    EXPECT_EQ(LoadPane(pane, path).kind, KindOf(file.outcome));
    if (file.outcome == Outcome::kReads) {
      EXPECT_EQ(AsMap(pane.set), AsMap(file));
      EXPECT_EQ(pane.list.Count(), file.entries.size());
    } else {
      EXPECT_EQ(pane.set.Count(), 1u);
      ASSERT_EQ(pane.list.Count(), 1u);
      EXPECT_EQ(pane.list.Text(0), "keep@example.com");
      EXPECT_TRUE(pane.list.IsSelected(0));
    }
  }
}

class DamagedListsCliTest : public ::testing::Test {
 protected:
  ProcessResult Cli(const std::vector<std::string>& args) {
    std::vector<std::string> argv = {ZOFRIN_CLI};
    argv.insert(argv.end(), args.begin(), args.end());
    return RunProcess(argv);
  }

  TempDir m_dir;
};

// Every place zofrin-cli reads a list: list (its own parser), union, add
// and extract --into (the set reader) and export (a pane). A damaged file
// is reported with its path and nothing is written.
TEST_F(DamagedListsCliTest, EveryCommandReportsADamagedFileAndWritesNothing) {
  const std::string path = m_dir.File("damaged.lse");
  const std::string empty = m_dir.File("empty.lse");
  const std::string out = m_dir.File("out.lse");
  const std::string text = m_dir.File("text.txt");
  WriteBytes(empty, "");
  WriteBytes(text, "new@example.com");
  std::size_t runs = 0;
  for (const DamagedList& file : AllDamagedListFiles()) {
    SCOPED_TRACE(file.name);
    WriteBytes(path, file.bytes);
    std::filesystem::remove(out);
    const bool reads = file.outcome == Outcome::kReads;

    const ProcessResult list = Cli({"list", path});
    EXPECT_EQ(list.exit, reads ? 0 : 1);
    EXPECT_EQ(list.out, reads ? Lines(KeysOf(file)) : "");
    EXPECT_EQ(list.err, reads ? "" : Unexpected(path));

    for (const auto& order : {std::vector<std::string>{path, empty}, {empty, path}}) {
      const ProcessResult result = Cli({"union", order[0], order[1], "-o", out});
      EXPECT_EQ(result.exit, reads ? 0 : 1);
      EXPECT_EQ(result.err, reads ? "" : Unexpected(path));
      EXPECT_EQ(std::filesystem::exists(out), reads);
    }

    const ProcessResult exported = Cli({"export", path});
    EXPECT_EQ(exported.exit, reads ? 0 : 1);
    EXPECT_EQ(exported.err, reads ? "" : Unexpected(path));

    // add and extract --into leave a damaged list exactly as it was.
    const ProcessResult added = Cli({"add", path, "x@example.com"});
    const ProcessResult extracted = Cli({"extract", "--into", path, text});
    runs += 6;
    if (!reads) {
      for (const ProcessResult* result : {&added, &extracted}) {
        EXPECT_EQ(result->exit, 1);
        EXPECT_EQ(result->err, Unexpected(path));
      }
      EXPECT_EQ(ReadBytes(path), file.bytes);
    } else {
      EXPECT_EQ(added.exit, 0);
      EXPECT_EQ(extracted.exit, 0);
    }
    std::vector<std::string> names = {"damaged.lse", "empty.lse"};
    if (reads) names.push_back("out.lse");
    names.push_back("text.txt");
    EXPECT_EQ(m_dir.Names(), names);
  }
  std::printf("[          ] %zu runs of zofrin-cli on damaged files\n", runs);
}

// A file that claims far more than it holds needs no more memory than an
// empty file: nothing is set aside for what the numbers claim.
TEST_F(DamagedListsCliTest, ClaimsBeyondTheDataCostNoMemory) {
  const std::string empty = m_dir.File("empty.lse");
  WriteBytes(empty, "");
  long baseline = 0;
  for (const char* command : {"list", "export"}) {
    baseline = std::max(baseline, Cli({command, empty}).peakRssKib);
  }
  ASSERT_GT(baseline, 0);
  const std::string path = m_dir.File("claims.lse");
  for (const DamagedList& file : MalformedListFiles()) {
    SCOPED_TRACE(file.name);
    WriteBytes(path, file.bytes);
    for (const std::vector<std::string>& args :
         {std::vector<std::string>{"list", path}, {"export", path},
          {"union", path, path, "-o", m_dir.File("out.lse")}}) {
      SCOPED_TRACE(args[0]);
      const ProcessResult result = Cli(args);
      EXPECT_LE(result.peakRssKib, baseline + 16 * 1024);
    }
  }
}

}  // namespace
