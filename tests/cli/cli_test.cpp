// End-to-end tests of zofrin-cli: each runs the built program in a fresh
// temporary folder and checks its exit status and the exact bytes of its
// output, its messages and the files it writes.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <initializer_list>
#include <string>
#include <string_view>
#include <vector>

#include "address/address_set.h"
#include "address/list_file.h"
#include "tests/support/child_process.h"
#include "tests/support/temp_files.h"

namespace {

namespace fs = std::filesystem;
using namespace std::string_view_literals;
using zofrin::AddressSet;

using CliResult = zofrin::test::ProcessResult;

// Runs zofrin-cli with `args`, feeding it `input` on standard input. With
// `stdoutPath`, standard output goes to that file instead of being captured.
CliResult RunCli(const std::vector<std::string>& args, std::string_view input = {},
                 const char* stdoutPath = nullptr) {
  std::vector<std::string> argv = {ZOFRIN_CLI};
  argv.insert(argv.end(), args.begin(), args.end());
  CliResult result = zofrin::test::RunProcess(argv, input, 60, stdoutPath);
  EXPECT_FALSE(result.timedOut) << "zofrin-cli ran for more than a minute";
  return result;
}

// The list-file bytes of a set that received the keys in this order.
std::string ListBytes(std::initializer_list<std::string_view> keys) {
  AddressSet set;
  for (std::string_view key : keys) set.Store(key, {});
  return zofrin::WriteListBytes(set);
}

// One short string of a list file, for files the program would not write.
std::string Str(std::string_view text) {
  return static_cast<char>(text.size()) + std::string(text);
}

// The same as a wide string (UTF-16), as older writers produced them.
std::string WideStr(std::string_view text) {
  std::string bytes = "\xFF\xFE\xFF";
  bytes += static_cast<char>(text.size());
  for (char c : text) (bytes += c) += '\0';
  return bytes;
}

class CliTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite() { ::signal(SIGPIPE, SIG_IGN); }

  std::string Path(std::string_view name) const { return m_dir.File(name); }

  std::string Write(std::string_view name, std::string_view bytes) const {
    const std::string path = Path(name);
    zofrin::test::WriteBytes(path, bytes);
    return path;
  }

  static std::string Read(const std::string& path) { return zofrin::test::ReadBytes(path); }

  // The names in the folder, sorted, to see that nothing was left behind.
  std::vector<std::string> Names() const { return m_dir.Names(); }

  zofrin::test::TempDir m_dir;
};

std::string Lines(std::initializer_list<std::string_view> lines, std::string_view end = "\n") {
  std::string text;
  for (std::string_view line : lines) (text += line) += end;
  return text;
}

// ---------------------------------------------------------------- validate

TEST_F(CliTest, ValidatePrintsPassingOrFailingTexts) {
  struct Case {
    std::vector<std::string> args;
    std::string out;
    int exit;
  };
  const Case cases[] = {
      {{"validate", "ann@example.com", "USER@Example.COM"},
       Lines({"ann@example.com", "USER@Example.COM"}),
       0},
      {{"validate", "ann@example.com", "a@b.c", "user@example.test"},
       Lines({"ann@example.com"}),
       1},
      {{"validate", "--invalid", "ann@example.com", "a@b.c", "x y@example.com"},
       Lines({"a@b.c", "x y@example.com"}),
       1},
      {{"validate", "--invalid", "ann@example.com"}, "", 0},
      // "--" lets a text that begins with '-' through.
      {{"validate", "--", "-ann@example.com"}, Lines({"-ann@example.com"}), 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.args[1]);
    const CliResult r = RunCli(c.args);
    EXPECT_EQ(r.out, c.out);
    EXPECT_EQ(r.err, "");
    EXPECT_EQ(r.exit, c.exit);
  }
}

TEST_F(CliTest, ValidateSplitsStandardInputAtLineFeeds) {
  // One CR before a LF is dropped, a second one stays; an empty line is a
  // text that fails; the last line counts without its LF.
  const std::string input = "ann@example.com\r\nbad\n\neve@example.org\r\r\nlast@example.net";
  CliResult r = RunCli({"validate"}, input);
  EXPECT_EQ(r.out, Lines({"ann@example.com", "last@example.net"}));
  EXPECT_EQ(r.exit, 1);
  r = RunCli({"validate", "--invalid"}, input);
  EXPECT_EQ(r.out, Lines({"bad", "", "eve@example.org\r"}));
  EXPECT_EQ(r.exit, 1);
  r = RunCli({"validate"}, "");
  EXPECT_EQ(r.out, "");
  EXPECT_EQ(r.exit, 0);
}

TEST_F(CliTest, ValidateKeepsLinesWholeAcrossLargeInput) {
  // Several megabytes, so that lines straddle the pieces input is read in.
  std::string input, expected;
  for (int i = 0; i < 200000; ++i) {
    const std::string address = "user" + std::to_string(i) + "@example.com";
    input += address + "\r\n";
    expected += address + "\n";
  }
  const CliResult r = RunCli({"validate"}, input);
  EXPECT_EQ(r.exit, 0);
  EXPECT_TRUE(r.out == expected) << "output differs";
}

// ----------------------------------------------------------------- extract

constexpr std::string_view kMixedText =
    "From: bob@example.com\nCc: Bob@example.com, <amy@example.com>\n"
    "again bob@example.com; not a@b.c or user@example\n";

TEST_F(CliTest, ExtractOrderUniqueAndSorted) {
  const std::string file = Write("mail.txt", kMixedText);
  struct Case {
    std::vector<std::string> options;
    std::string out;
  };
  const Case cases[] = {
      {{}, Lines({"bob@example.com", "Bob@example.com", "amy@example.com", "bob@example.com"})},
      {{"--unique"}, Lines({"bob@example.com", "Bob@example.com", "amy@example.com"})},
      {{"--sorted"},
       Lines({"amy@example.com", "Bob@example.com", "bob@example.com", "bob@example.com"})},
      {{"--sorted", "--unique"}, Lines({"amy@example.com", "Bob@example.com", "bob@example.com"})},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::PrintToString(c.options));
    std::vector<std::string> args = {"extract"};
    args.insert(args.end(), c.options.begin(), c.options.end());
    args.push_back(file);
    CliResult r = RunCli(args);
    EXPECT_EQ(r.out, c.out);
    EXPECT_EQ(r.exit, 0);
    // The same from standard input.
    args.pop_back();
    r = RunCli(args, kMixedText);
    EXPECT_EQ(r.out, c.out);
  }
}

TEST_F(CliTest, ExtractReportsAnUnreadableFileAndGoesOn) {
  const std::string first = Write("a.txt", "ann@example.com");
  const std::string missing = Path("missing.txt");
  const std::string folder = Path("folder");
  fs::create_directory(folder);
  const std::string last = Write("b.txt", "eve@example.org");
  const CliResult r = RunCli({"extract", first, missing, folder, last});
  EXPECT_EQ(r.out, Lines({"ann@example.com", "eve@example.org"}));
  EXPECT_EQ(r.err, "zofrin-cli: " + missing + " was not found.\nzofrin-cli: Access to " + folder +
                       " was denied.\n");
  EXPECT_EQ(r.exit, 1);
}

TEST_F(CliTest, ExtractScansEachFileOnItsOwn) {
  const std::string head = Write("head.txt", "write to ann@exa");
  const std::string tail = Write("tail.txt", "mple.com today");
  CliResult r = RunCli({"extract", head, tail});
  EXPECT_EQ(r.out, "");
  EXPECT_EQ(r.exit, 0);
  // Joined into one text, the two halves make an address.
  r = RunCli({"extract"}, "write to ann@example.com today");
  EXPECT_EQ(r.out, Lines({"ann@example.com"}));
}

TEST_F(CliTest, ExtractCutsFileBlocksButStandardInputAtTheFirstZero) {
  // Block 0 holds "ann@exa", a zero byte and filler; block 1 goes on with the
  // rest of the address. A file drops only the rest of block 0, standard
  // input everything after its first zero byte.
  std::string bytes = "x ann@exa";
  bytes += '\0';
  bytes += "junk eve@example.org";
  bytes.resize(512, 'z');
  bytes += "mple.com and kim@example.net\n";
  const std::string file = Write("zeros.bin", bytes);
  CliResult r = RunCli({"extract", file});
  EXPECT_EQ(r.out, Lines({"ann@example.com", "kim@example.net"}));
  EXPECT_EQ(r.exit, 0);
  r = RunCli({"extract"}, bytes);
  EXPECT_EQ(r.out, "");
  EXPECT_EQ(r.exit, 0);
  // "-" among files reads standard input in its place.
  r = RunCli({"extract", file, "-"}, "amy@example.com\0kim@example.net"sv);
  EXPECT_EQ(r.out, Lines({"ann@example.com", "kim@example.net", "amy@example.com"}));
}

TEST_F(CliTest, ExtractIntoCreatesAndMergesIntoAList) {
  const std::string mail = Write("mail.txt", kMixedText);
  const std::string list = Path("list.lse");
  CliResult r = RunCli({"extract", "--into", list, mail});
  EXPECT_EQ(r.out, "found 4, new 3, total 3\n");
  EXPECT_EQ(r.err, "");
  EXPECT_EQ(r.exit, 0);
  EXPECT_EQ(Read(list), ListBytes({"bob@example.com", "Bob@example.com", "amy@example.com"}));

  // Into an existing list: a key found again keeps its place and loses the
  // value it had; new keys come in the order found.
  AddressSet set;
  set.Store("amy@example.com", "kept as read");
  set.Store("zed@example.com", "untouched");
  Write("list.lse", zofrin::WriteListBytes(set));
  r = RunCli({"extract", "--into", list, "-"}, "amy@example.com ann@example.com amy@example.com");
  EXPECT_EQ(r.out, "found 3, new 1, total 3\n");
  set.Store("amy@example.com", {});
  set.Store("ann@example.com", {});
  EXPECT_EQ(Read(list), zofrin::WriteListBytes(set));
}

TEST_F(CliTest, ExtractIntoLeavesADamagedListAlone) {
  const std::string damaged = Write("damaged.lse", std::string("\x01\x00", 2));
  const std::string mail = Write("mail.txt", kMixedText);
  const CliResult r = RunCli({"extract", "--into", damaged, mail});
  EXPECT_EQ(r.out, "");
  EXPECT_EQ(r.err, "zofrin-cli: " + damaged + ": Unexpected file format.\n");
  EXPECT_EQ(r.exit, 1);
  EXPECT_EQ(Read(damaged), std::string("\x01\x00", 2));
  EXPECT_EQ(Names(), (std::vector<std::string>{"damaged.lse", "mail.txt"}));
}

TEST_F(CliTest, ExtractIntoStillMergesWhenAFileFails) {
  const std::string mail = Write("mail.txt", "ann@example.com");
  const std::string list = Path("list.lse");
  const CliResult r = RunCli({"extract", "--into", list, Path("missing.txt"), mail});
  EXPECT_EQ(r.out, "found 1, new 1, total 1\n");
  EXPECT_EQ(r.exit, 1);
  EXPECT_EQ(Read(list), ListBytes({"ann@example.com"}));
}

// -------------------------------------------------------------------- list

TEST_F(CliTest, ListPrintsKeysInFileOrderOnce) {
  // Written by another program: a key twice, two keys that differ only in
  // letter case, and wide strings.
  const std::string list = Write(
      "list.lse", std::string("\x06\x00", 2) + Str("zed@example.com") + Str("") +
                      WideStr("wide@example.com") + Str("") + Str("ann@example.com") + Str("") +
                      Str("zed@example.com") + Str("x") + WideStr("Ann@example.com") +
                      WideStr("value") + WideStr("wide@example.com") + Str(""));
  CliResult r = RunCli({"list", list});
  EXPECT_EQ(r.out,
            Lines({"zed@example.com", "wide@example.com", "ann@example.com", "Ann@example.com"}));
  EXPECT_EQ(r.exit, 0);
  r = RunCli({"list", "--sorted", list});
  EXPECT_EQ(r.out,
            Lines({"Ann@example.com", "ann@example.com", "wide@example.com", "zed@example.com"}));
  r = RunCli({"list", list, "--count"});
  EXPECT_EQ(r.out, "4\n");
}

TEST_F(CliTest, ListOfAnEmptyFile) {
  const std::string empty = Write("empty.lse", "");
  const std::string none = Write("none.lse", std::string("\0\0", 2));
  for (const std::string& path : {empty, none}) {
    EXPECT_EQ(RunCli({"list", path}).out, "");
    const CliResult r = RunCli({"list", "--count", path});
    EXPECT_EQ(r.out, "0\n");
    EXPECT_EQ(r.exit, 0);
  }
}

TEST_F(CliTest, ListReportsFileErrors) {
  const std::string missing = Path("missing.lse");
  // Count 2 with only one entry: nothing is printed, not even that entry.
  const std::string cut = Write("cut.lse", std::string("\x02\x00", 2) + Str("ann@example.com"));
  const std::string wide = Write("wide.lse", std::string("\x01\x00\xFF\xFE\xFF\xFF\xFE\xFF", 8));
  struct Case {
    std::string path;
    std::string err;
  };
  const Case cases[] = {
      {missing, "zofrin-cli: " + missing + " was not found.\n"},
      {cut, "zofrin-cli: " + cut + ": Unexpected file format.\n"},
      {wide, "zofrin-cli: " + wide + ": Unexpected file format.\n"},
      {m_dir.Path(), "zofrin-cli: Access to " + m_dir.Path() + " was denied.\n"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.path);
    const CliResult r = RunCli({"list", c.path});
    EXPECT_EQ(r.out, "");
    EXPECT_EQ(r.err, c.err);
    EXPECT_EQ(r.exit, 1);
  }
}

// ----------------------------------------------- union, difference, intersection

TEST_F(CliTest, SetOperationsWriteTheResultSet) {
  AddressSet first, second;
  for (auto key : {"ann@example.com", "Bob@example.com", "carl@example.com", "dora@example.com"}) {
    first.Store(key, "value");
  }
  for (auto key : {"bob@example.com", "carl@example.com", "eve@example.com", "dora@example.com"}) {
    second.Store(key, {});
  }
  const std::string list1 = Write("one.lse", zofrin::WriteListBytes(first));
  const std::string list2 = Write("two.lse", zofrin::WriteListBytes(second));
  // What the lists dialog computes: walk the operand sets, storing keys with
  // empty values.
  AddressSet unite, subtract, intersect;
  first.ForEach([&](std::string_view key, std::string_view) {
    unite.Store(key, {});
    if (!second.Contains(key)) subtract.Store(key, {});
  });
  second.ForEach([&](std::string_view key, std::string_view) {
    unite.Store(key, {});
    if (first.Contains(key)) intersect.Store(key, {});
  });
  struct Case {
    std::string command;
    const AddressSet& expected;
  };
  const Case cases[] = {{"union", unite}, {"difference", subtract}, {"intersection", intersect}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.command);
    const std::string out = Path(c.command + ".lse");
    const CliResult r = RunCli({c.command, list1, list2, "-o", out});
    EXPECT_EQ(r.out, "");
    EXPECT_EQ(r.err, "");
    EXPECT_EQ(r.exit, 0);
    EXPECT_EQ(Read(out), zofrin::WriteListBytes(c.expected));
  }
  // Letter case counts: Bob and bob are two addresses.
  EXPECT_EQ(unite.Count(), 6u);
  EXPECT_TRUE(subtract.Contains("Bob@example.com"));
  EXPECT_EQ(intersect.Count(), 2u);
}

TEST_F(CliTest, SetOperationsOnEmptyLists) {
  const std::string empty = Write("empty.lse", "");
  const std::string some = Write("some.lse", ListBytes({"ann@example.com"}));
  struct Case {
    std::string command, first, second, expected;
  };
  const Case cases[] = {
      {"union", empty, empty, ListBytes({})},
      {"union", empty, some, ListBytes({"ann@example.com"})},
      {"difference", some, empty, ListBytes({"ann@example.com"})},
      {"difference", empty, some, ListBytes({})},
      {"intersection", some, empty, ListBytes({})},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.command + " " + c.first + " " + c.second);
    const std::string out = Write("out.lse", "old contents");
    const CliResult r = RunCli({c.command, c.first, c.second, "-o", out});
    EXPECT_EQ(r.exit, 0);
    EXPECT_EQ(Read(out), c.expected);
  }
}

TEST_F(CliTest, SetOperationWritesNothingWhenAListFails) {
  const std::string good = Write("good.lse", ListBytes({"ann@example.com"}));
  const std::string missing = Path("missing.lse");
  const std::string damaged = Write("damaged.lse", std::string("\x05\x00\x01", 3));
  const std::string out = Path("out.lse");
  const CliResult r = RunCli({"union", missing, damaged, "-o", out});
  // Both operands are reported.
  EXPECT_EQ(r.err, "zofrin-cli: " + missing + " was not found.\nzofrin-cli: " + damaged +
                       ": Unexpected file format.\n");
  EXPECT_EQ(r.exit, 1);
  EXPECT_FALSE(fs::exists(out));
  EXPECT_EQ(RunCli({"intersection", good, missing, "-o", out}).exit, 1);
  EXPECT_FALSE(fs::exists(out));
}

// ------------------------------------------------------------------- split

TEST_F(CliTest, SplitWritesTheItemsAboveAndFromTheAddress) {
  const std::string list =
      Write("list.lse", ListBytes({"dora@example.com", "bob@example.com", "amy@example.com",
                                   "Bob@example.com", "carl@example.com"}));
  const std::string above = Path("above.lse"), below = Path("below.lse");
  struct Case {
    std::string address, above, below;
  };
  // Display order: amy, Bob, bob, carl, dora. The two sets are filled top
  // to bottom.
  const Case cases[] = {
      {"bob@example.com", ListBytes({"amy@example.com", "Bob@example.com"}),
       ListBytes({"bob@example.com", "carl@example.com", "dora@example.com"})},
      {"amy@example.com", ListBytes({}),
       ListBytes({"amy@example.com", "Bob@example.com", "bob@example.com", "carl@example.com",
                  "dora@example.com"})},
      {"dora@example.com",
       ListBytes({"amy@example.com", "Bob@example.com", "bob@example.com", "carl@example.com"}),
       ListBytes({"dora@example.com"})},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.address);
    const CliResult r = RunCli({"split", list, c.address, "-o", above, below});
    EXPECT_EQ(r.err, "");
    EXPECT_EQ(r.exit, 0);
    EXPECT_EQ(Read(above), c.above);
    EXPECT_EQ(Read(below), c.below);
  }
}

TEST_F(CliTest, SplitNeedsTheAddressByteForByte) {
  const std::string list = Write("list.lse", ListBytes({"ann@example.com", "eve@example.com"}));
  for (const std::string& path : {list, Write("empty.lse", "")}) {
    const CliResult r = RunCli({"split", path, "ANN@example.com", "-o", Path("a"), Path("b")});
    EXPECT_EQ(r.err, "zofrin-cli: " + path + ": The address ANN@example.com is not in the list.\n");
    EXPECT_EQ(r.exit, 1);
  }
  EXPECT_EQ(Names(), (std::vector<std::string>{"empty.lse", "list.lse"}));
}

// -------------------------------------------------------------- add, remove

TEST_F(CliTest, AddRefusesInvalidAddressesUnlessForced) {
  const std::string list = Path("list.lse");
  CliResult r = RunCli({"add", list, "ann@example.com", "not valid", "eve@example.org", ""});
  EXPECT_EQ(r.out, "");
  EXPECT_EQ(r.err,
            "zofrin-cli: not valid: This address is not a valid Email address!\n"
            "zofrin-cli: : This address is not a valid Email address!\n");
  EXPECT_EQ(r.exit, 1);
  EXPECT_EQ(Read(list), ListBytes({"ann@example.com", "eve@example.org"}));

  // Adding a present address keeps its place.
  r = RunCli({"add", "--force", list, "not valid", "ann@example.com"});
  EXPECT_EQ(r.err, "");
  EXPECT_EQ(r.exit, 0);
  EXPECT_EQ(Read(list), ListBytes({"ann@example.com", "eve@example.org", "not valid"}));

  // Nothing accepted: a missing list is not created.
  r = RunCli({"add", Path("new.lse"), "a@b.c"});
  EXPECT_EQ(r.exit, 1);
  EXPECT_FALSE(fs::exists(Path("new.lse")));
}

TEST_F(CliTest, AddLeavesADamagedListAlone) {
  const std::string bytes("\x02\x00\x03", 3);
  const std::string list = Write("list.lse", bytes);
  const CliResult r = RunCli({"add", list, "ann@example.com"});
  EXPECT_EQ(r.err, "zofrin-cli: " + list + ": Unexpected file format.\n");
  EXPECT_EQ(r.exit, 1);
  EXPECT_EQ(Read(list), bytes);
}

TEST_F(CliTest, RemoveTakesOutExactAddresses) {
  AddressSet set;
  for (auto key : {"ann@example.com", "Ann@example.com", "eve@example.com", "kim@example.com"}) {
    set.Store(key, "v");
  }
  const std::string list = Write("list.lse", zofrin::WriteListBytes(set));
  CliResult r = RunCli({"remove", list, "ann@example.com", "EVE@example.com", "kim@example.com",
                        "nobody@example.com"});
  EXPECT_EQ(r.err, "");
  EXPECT_EQ(r.exit, 0);
  set.Remove("ann@example.com");
  set.Remove("kim@example.com");
  EXPECT_EQ(Read(list), zofrin::WriteListBytes(set));

  // Nothing to remove: the file is not rewritten, which would reverse the
  // two keys that share a bucket.
  const std::string shared =
      Write("shared.lse", ListBytes({"ann@example.com", "hugo@example.com"}));
  r = RunCli({"remove", shared, "nobody@example.com"});
  EXPECT_EQ(r.exit, 0);
  EXPECT_EQ(Read(shared), ListBytes({"ann@example.com", "hugo@example.com"}));

  r = RunCli({"remove", Path("missing.lse"), "ann@example.com"});
  EXPECT_EQ(r.err, "zofrin-cli: " + Path("missing.lse") + " was not found.\n");
  EXPECT_EQ(r.exit, 1);
  EXPECT_FALSE(fs::exists(Path("missing.lse")));
}

// ------------------------------------------------------------------ export

TEST_F(CliTest, ExportWritesClipboardText) {
  const std::string list =
      Write("list.lse", ListBytes({"dora@example.com", "bob@example.com", "amy@example.com",
                                   "Bob@example.com", "carl@example.com"}));
  struct Case {
    std::vector<std::string> options;
    std::string out;
  };
  const Case cases[] = {
      {{},
       Lines({"amy@example.com", "Bob@example.com", "bob@example.com", "carl@example.com",
              "dora@example.com"},
             "\r\n")},
      {{"--commas"},
       Lines({"amy@example.com", "Bob@example.com", "bob@example.com", "carl@example.com",
              "dora@example.com"},
             ",\r\n")},
      {{"--group-size", "2", "--group", "1"},
       Lines({"amy@example.com", "Bob@example.com"}, "\r\n")},
      {{"--group-size=2", "--group=2", "--commas"},
       Lines({"bob@example.com", "carl@example.com"}, ",\r\n")},
      {{"--group-size", "2", "--group", "3"}, Lines({"dora@example.com"}, "\r\n")},
      {{"--group", "1", "--group-size", "32767"},
       Lines({"amy@example.com", "Bob@example.com", "bob@example.com", "carl@example.com",
              "dora@example.com"},
             "\r\n")},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::PrintToString(c.options));
    std::vector<std::string> args = {"export"};
    args.insert(args.end(), c.options.begin(), c.options.end());
    args.push_back(list);
    const CliResult r = RunCli(args);
    EXPECT_EQ(r.out, c.out);
    EXPECT_EQ(r.err, "");
    EXPECT_EQ(r.exit, 0);
  }
}

TEST_F(CliTest, ExportOfAGroupBeyondTheList) {
  const std::string list = Write("list.lse", ListBytes({"a1@example.com", "a2@example.com"}));
  CliResult r = RunCli({"export", "--group-size", "2", "--group", "2", list});
  EXPECT_EQ(r.out, "");
  EXPECT_EQ(r.err, "zofrin-cli: " + list + ": Group 2 is beyond the end of the list.\n");
  EXPECT_EQ(r.exit, 1);

  const std::string empty = Write("empty.lse", "");
  EXPECT_EQ(RunCli({"export", "--group-size", "5", "--group", "1", empty}).exit, 1);
  r = RunCli({"export", empty});
  EXPECT_EQ(r.out, "");
  EXPECT_EQ(r.exit, 0);
  r = RunCli({"export", Path("missing.lse")});
  EXPECT_EQ(r.err, "zofrin-cli: " + Path("missing.lse") + " was not found.\n");
  EXPECT_EQ(r.exit, 1);
}

// ----------------------------------------------------- usage errors and help

TEST_F(CliTest, UsageErrorsExitWithTwo) {
  const std::string list = Write("list.lse", ListBytes({"ann@example.com"}));
  const std::vector<std::vector<std::string>> cases = {
      {},
      {"bogus"},
      {"list"},
      {"list", list, list},
      {"list", "--nope", list},
      {"validate", "-x"},
      {"extract", "--into"},
      {"extract", "--into", Path("x.lse"), "--sorted"},
      {"union", list, list},
      {"union", list, list, "-o"},
      {"split", list, "ann@example.com", "-o", Path("a")},
      {"add", list},
      {"add", "--force=yes", list, "ann@example.com"},
      {"remove", list},
      {"export", "--group", "1", list},
      {"export", "--group-size", "2", list},
      {"export", "--group-size", "0", "--group", "1", list},
      {"export", "--group-size", "32768", "--group", "1", list},
      {"export", "--group-size", "-2", "--group", "1", list},
      {"export", "--group-size", "2", "--group", "0", list},
      {"export", "--group-size", "2", "--group", "x", list},
      {"help", "bogus"},
  };
  for (const auto& args : cases) {
    SCOPED_TRACE(testing::PrintToString(args));
    const CliResult r = RunCli(args);
    EXPECT_EQ(r.exit, 2);
    EXPECT_EQ(r.out, "");
    EXPECT_EQ(r.err.rfind("zofrin-cli: ", 0), 0u) << r.err;
    EXPECT_NE(r.err.find("\nUsage: zofrin-cli "), std::string::npos) << r.err;
  }
  EXPECT_EQ(Read(list), ListBytes({"ann@example.com"}));
  EXPECT_EQ(Names(), (std::vector<std::string>{"list.lse"}));
}

TEST_F(CliTest, HelpExplainsEveryCommand) {
  const char* commands[] = {"validate",     "extract", "list", "union",  "difference",
                            "intersection", "split",   "add",  "remove", "export"};
  for (const auto& args : std::vector<std::vector<std::string>>{{"--help"}, {"help"}, {"-h"}}) {
    const CliResult r = RunCli(args);
    EXPECT_EQ(r.exit, 0);
    EXPECT_NE(r.out.find("Exit status"), std::string::npos);
    for (const char* command : commands) EXPECT_NE(r.out.find(command), std::string::npos);
  }
  for (const char* command : commands) {
    SCOPED_TRACE(command);
    const std::string usage = std::string("Usage: zofrin-cli ") + command + " ";
    CliResult r = RunCli({command, "--help"});
    EXPECT_EQ(r.exit, 0);
    EXPECT_EQ(r.out.rfind(usage, 0), 0u);
    EXPECT_NE(r.out.find("Exit status"), std::string::npos);
    EXPECT_EQ(RunCli({"help", command}).out, r.out);
  }
  EXPECT_NE(RunCli({"extract", "--help"}).out.find("found N, new M, total T"), std::string::npos);
}

// ---------------------------------------------------------- failed writes

TEST_F(CliTest, AFailedWriteLeavesTheOldFile) {
  const std::string list = Write("list.lse", ListBytes({"ann@example.com"}));
  const std::string old = ListBytes({"old@example.com"});
  const std::string readOnly = Write("read-only.lse", old);
  fs::permissions(readOnly, fs::perms::owner_read);
  const std::string folder = Path("folder.lse");
  fs::create_directory(folder);

  CliResult r = RunCli({"union", list, list, "-o", folder});
  EXPECT_EQ(r.err, "zofrin-cli: Access to " + folder + " was denied.\n");
  EXPECT_EQ(r.exit, 1);
  EXPECT_TRUE(fs::is_directory(folder));
  EXPECT_TRUE(fs::is_empty(folder));

  r = RunCli({"difference", list, list, "-o", readOnly});
  EXPECT_EQ(r.err, "zofrin-cli: Access to " + readOnly + " was denied.\n");
  EXPECT_EQ(r.exit, 1);
  EXPECT_EQ(Read(readOnly), old);

  // split writes what it can; the other output is reported.
  r = RunCli({"split", list, "ann@example.com", "-o", readOnly, Path("below.lse")});
  EXPECT_EQ(r.exit, 1);
  EXPECT_EQ(Read(readOnly), old);
  EXPECT_EQ(Read(Path("below.lse")), ListBytes({"ann@example.com"}));

  r = RunCli({"add", readOnly, "new@example.com"});
  EXPECT_EQ(r.exit, 1);
  EXPECT_EQ(Read(readOnly), old);
  r = RunCli({"extract", "--into", readOnly, "-"}, "new@example.com");
  EXPECT_EQ(r.out, "");
  EXPECT_EQ(r.exit, 1);
  EXPECT_EQ(Read(readOnly), old);
  // No temporary file is left behind.
  EXPECT_EQ(Names(),
            (std::vector<std::string>{"below.lse", "folder.lse", "list.lse", "read-only.lse"}));
}

TEST_F(CliTest, AFailedWriteInAnUnwritableFolder) {
  if (::geteuid() == 0) GTEST_SKIP() << "root may write anywhere";
  const std::string folder = Path("locked");
  fs::create_directory(folder);
  const std::string old = ListBytes({"old@example.com"});
  const std::string target = folder + "/out.lse";
  Write("locked/out.lse", old);
  const std::string list = Write("list.lse", ListBytes({"ann@example.com"}));
  fs::permissions(folder, fs::perms::owner_read | fs::perms::owner_exec);
  const CliResult r = RunCli({"union", list, list, "-o", target});
  EXPECT_EQ(r.err, "zofrin-cli: Access to " + target + " was denied.\n");
  EXPECT_EQ(r.exit, 1);
  EXPECT_EQ(Read(target), old);
}

TEST_F(CliTest, AFailedWriteOfStandardOutput) {
  const std::string list = Write("list.lse", ListBytes({"ann@example.com"}));
  const CliResult r = RunCli({"export", list}, {}, "/dev/full");
  EXPECT_EQ(r.err, "zofrin-cli: Disk full while accessing standard output.\n");
  EXPECT_EQ(r.exit, 1);
}

}  // namespace
