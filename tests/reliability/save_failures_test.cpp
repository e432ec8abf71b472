// Saving a list when the disk, the file system or the user gets in the
// way: a full disk (a real one, and one injected after any number of
// bytes), a folder without write permission, a read-only target, a target
// that is a folder, a path that is too long, and zofrin-cli killed while it
// saves. Each failure is reported with its message, leaves the old file
// byte for byte and leaves no temporary file behind; a killed save leaves
// the old list or the new one, never a mix.
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>

#include <chrono>
#include <cstdio>
#include <functional>
#include <string>
#include <thread>
#include <vector>

#include "address/address_set.h"
#include "address/file_io.h"
#include "address/list_file.h"
#include "reliability_support.h"

namespace {

using namespace zofrin;
using namespace zofrin::test;
using namespace std::chrono_literals;
namespace fs = std::filesystem;

AddressSet Addresses(std::size_t count, const std::string& domain = "example.com") {
  AddressSet set;
  for (std::size_t i = 0; i < count; ++i) set.Store("user" + std::to_string(i) + "@" + domain);
  return set;
}

std::vector<std::string> NamesIn(const std::string& folder) {
  std::vector<std::string> names;
  for (const auto& entry : fs::directory_iterator(folder)) {
    names.push_back(entry.path().filename().string());
  }
  std::sort(names.begin(), names.end());
  return names;
}

ProcessResult Cli(const std::vector<std::string>& args) {
  std::vector<std::string> argv = {ZOFRIN_CLI};
  argv.insert(argv.end(), args.begin(), args.end());
  return RunProcess(argv);
}

std::string CliError(const std::string& message) { return "zofrin-cli: " + message + "\n"; }

class SaveFailuresTest : public ::testing::Test {
 protected:
  void TearDown() override { SetWriteLimitForTesting(-1); }

  // Saves `set` over `target` through the core and through zofrin-cli
  // (union of a list file with an empty one), expecting `message` with %1
  // for the target, the old bytes (if any) and the folder's entries as
  // they were.
  void ExpectSaveFails(const std::string& target, const AddressSet& set, const std::string& message,
                       bool throughCli = true) {
    // A path too long for the system makes even these questions fail.
    std::error_code ignored;
    const std::string folder = fs::path(target).parent_path().string();
    const bool wasFile = fs::is_regular_file(target, ignored);
    const bool hasFolder = fs::is_directory(folder, ignored);
    const std::string old = wasFile ? ReadBytes(target) : "";
    const std::vector<std::string> names = hasFolder ? NamesIn(folder) : std::vector<std::string>{};
    const std::string expected = FormatText(message, target);

    const ListFileError error = WriteListFile(target, set);
    EXPECT_FALSE(error.Ok());
    EXPECT_EQ(error.Message(true), expected);
    ++m_injected;
    if (throughCli) {
      const std::string source = m_dir.File("source.lse");
      const std::string empty = m_dir.File("empty.lse");
      ASSERT_TRUE(WriteListFile(source, set).Ok());
      WriteBytes(empty, "");
      const ProcessResult result = Cli({"union", source, empty, "-o", target});
      EXPECT_EQ(result.exit, 1);
      EXPECT_EQ(result.err, CliError(expected));
      fs::remove(source);
      fs::remove(empty);
      ++m_injected;
    }
    if (wasFile) {
      EXPECT_EQ(ReadBytes(target), old);
    }
    if (hasFolder) {
      EXPECT_EQ(NamesIn(folder), names);
    }
  }

  TempDir m_dir;
  std::vector<std::string> m_strays;  // files killed saves left behind
  static inline std::size_t m_injected = 0;

 public:
  static void TearDownTestSuite() {
    std::printf("[          ] %zu failed saves injected\n", m_injected);
  }
};

TEST_F(SaveFailuresTest, FullDiskOnASmallFileSystem) {
  SmallDisk disk(m_dir.File("disk"));
  if (!disk.Mounted()) GTEST_SKIP() << "mounting a tmpfs needs root";
  const std::string target = disk.File("list.lse");
  ASSERT_TRUE(WriteListFile(target, Addresses(20)).Ok());
  const std::string kFull = "Disk full while accessing %1.";
  // A list larger than the disk, over an old file and as a new file.
  const AddressSet large = Addresses(5000);
  ExpectSaveFails(target, large, kFull);
  ExpectSaveFails(disk.File("new.lse"), large, kFull);
  EXPECT_FALSE(fs::exists(disk.File("new.lse")));
  // extract --into writes through the same path.
  const std::string text = m_dir.File("text.txt");
  std::string words;
  for (int i = 0; i < 5000; ++i) words += "x" + std::to_string(i) + "@example.org ";
  WriteBytes(text, words);
  const std::string old = ReadBytes(target);
  const ProcessResult extracted = Cli({"extract", "--into", target, text});
  EXPECT_EQ(extracted.exit, 1);
  EXPECT_EQ(extracted.err, CliError(FormatText(kFull, target)));
  EXPECT_EQ(ReadBytes(target), old);
  EXPECT_EQ(NamesIn(disk.Path()), std::vector<std::string>{"list.lse"});
  // A disk with no room left at all fails even a tiny list.
  disk.Fill();
  ExpectSaveFails(target, Addresses(1), kFull);
}

// The same failure injected after every number of bytes a save writes.
TEST_F(SaveFailuresTest, FullDiskAfterAnyNumberOfBytes) {
  const std::string target = m_dir.File("list.lse");
  ASSERT_TRUE(WriteListFile(target, Addresses(3, "old.org")).Ok());
  const AddressSet set = Addresses(12);
  const std::size_t size = WriteListBytes(set).size();
  for (std::size_t limit = 0; limit < size; ++limit) {
    SCOPED_TRACE(limit);
    SetWriteLimitForTesting(static_cast<std::int64_t>(limit));
    ExpectSaveFails(target, set, "Disk full while accessing %1.", /*throughCli=*/false);
    SetWriteLimitForTesting(static_cast<std::int64_t>(limit));
    ExpectSaveFails(m_dir.File("new.lse"), set, "Disk full while accessing %1.", false);
    EXPECT_FALSE(fs::exists(m_dir.File("new.lse")));
  }
  SetWriteLimitForTesting(static_cast<std::int64_t>(size));
  EXPECT_TRUE(WriteListFile(target, set).Ok());
  EXPECT_EQ(ReadBytes(target), WriteListBytes(set));
}

TEST_F(SaveFailuresTest, ReadOnlyTargetAndTargetThatIsAFolder) {
  const std::string target = m_dir.File("list.lse");
  ASSERT_TRUE(WriteListFile(target, Addresses(3)).Ok());
  fs::permissions(target, fs::perms::owner_read | fs::perms::group_read);
  ExpectSaveFails(target, Addresses(5), "Access to %1 was denied.");

  const std::string folder = m_dir.File("folder.lse");
  fs::create_directory(folder);
  ExpectSaveFails(folder, Addresses(5), "Access to %1 was denied.");
  EXPECT_TRUE(fs::is_directory(folder));
}

TEST_F(SaveFailuresTest, PathTooLong) {
  const std::string longName = std::string(300, 'n') + ".lse";
  ExpectSaveFails(m_dir.File(longName), Addresses(5), "%1 contains an invalid path.");
  std::string deep = m_dir.Path();
  while (deep.size() < 5000) deep += "/" + std::string(200, 'd');
  ExpectSaveFails(deep + "/list.lse", Addresses(5), "%1 contains an invalid path.");
  EXPECT_EQ(m_dir.Names(), std::vector<std::string>{});
}

// A folder the user may not write into. Root may write anywhere, so as root
// zofrin-cli runs as the user "nobody" for this.
TEST_F(SaveFailuresTest, FolderWithoutWritePermission) {
  const std::string folder = m_dir.File("locked");
  fs::create_directory(folder);
  const std::string target = folder + "/list.lse";
  ASSERT_TRUE(WriteListFile(target, Addresses(3)).Ok());
  const std::string old = ReadBytes(target);
  const std::string expected = FormatText("Access to %1 was denied.", target);
  if (!IsRoot()) {
    fs::permissions(folder, fs::perms::owner_read | fs::perms::owner_exec);
    ExpectSaveFails(target, Addresses(5), "Access to %1 was denied.");
    ExpectSaveFails(folder + "/new.lse", Addresses(5), "Access to %1 was denied.");
    return;
  }
  const std::vector<std::string> asNobody = {"/usr/bin/setpriv", "--reuid=65534", "--regid=65534",
                                             "--clear-groups", ZOFRIN_CLI};
  if (!fs::exists(asNobody[0]) || RunProcess({asNobody[0], "--reuid=65534", "--regid=65534",
                                              "--clear-groups", ZOFRIN_CLI, "--help"})
                                          .exit != 0) {
    GTEST_SKIP() << "zofrin-cli cannot run as another user here";
  }
  // The folder and the list belong to nobody; the folder is read-only.
  const std::string source = m_dir.File("source.lse");
  ASSERT_TRUE(WriteListFile(source, Addresses(5)).Ok());
  fs::permissions(m_dir.Path(), fs::perms::owner_all | fs::perms::group_read |
                                    fs::perms::group_exec | fs::perms::others_read |
                                    fs::perms::others_exec);
  ASSERT_EQ(::chown(folder.c_str(), 65534, 65534), 0);
  ASSERT_EQ(::chown(target.c_str(), 65534, 65534), 0);
  fs::permissions(folder, fs::perms::owner_read | fs::perms::owner_exec | fs::perms::group_read |
                              fs::perms::group_exec | fs::perms::others_read |
                              fs::perms::others_exec);
  for (const std::string& out : {target, folder + "/new.lse"}) {
    std::vector<std::string> argv = asNobody;
    argv.insert(argv.end(), {"union", source, source, "-o", out});
    const ProcessResult result = RunProcess(argv);
    EXPECT_EQ(result.exit, 1);
    EXPECT_EQ(result.err, CliError(FormatText("Access to %1 was denied.", out)));
    ++m_injected;
  }
  EXPECT_EQ(ReadBytes(target), old);
  EXPECT_EQ(NamesIn(folder), std::vector<std::string>{"list.lse"});
}

// zofrin-cli killed at many moments of a long save: before it writes, while
// the new file grows, once it is whole, and at even steps of the run's
// length. The target always holds the old list or the new one. A killed
// save may leave its temporary file behind; such files never take the
// target's place, and the next save goes through as usual.
TEST_F(SaveFailuresTest, SaveKilledPartWay) {
  const std::string big = m_dir.File("big.lse");
  const std::string empty = m_dir.File("empty.lse");
  ASSERT_TRUE(WriteListFile(big, Addresses(400000)).Ok());
  WriteBytes(empty, "");
  const std::string folder = m_dir.File("out");
  fs::create_directory(folder);
  const std::string target = folder + "/list.lse";
  const std::string oldBytes = WriteListBytes(Addresses(3, "old.org"));
  const std::vector<std::string> args = {ZOFRIN_CLI, "union", big, empty, "-o", target};

  // The new list, and how long a whole run takes.
  WriteBytes(target, oldBytes);
  const auto start = std::chrono::steady_clock::now();
  ASSERT_EQ(RunProcess(args).exit, 0);
  const auto whole = std::chrono::steady_clock::now() - start;
  const std::string newBytes = ReadBytes(target);
  ASSERT_NE(newBytes, oldBytes);
  ASSERT_EQ(newBytes.size(), WriteListBytes(Addresses(400000)).size());

  // The size of the first file in the folder that is not the target, or -1.
  auto tempSize = [&]() -> long long {
    std::error_code error;
    for (const auto& entry : fs::directory_iterator(folder, error)) {
      if (entry.path().filename() == "list.lse") continue;
      if (std::find(m_strays.begin(), m_strays.end(), entry.path().filename()) != m_strays.end()) {
        continue;
      }
      const auto size = entry.file_size(error);
      return error ? 0 : static_cast<long long>(size);
    }
    return -1;
  };
  using Moment = std::function<bool(std::chrono::steady_clock::duration)>;
  std::vector<std::pair<std::string, Moment>> moments;
  const long long full = static_cast<long long>(newBytes.size());
  for (long long part : {0, 1, 2, 3}) {
    moments.emplace_back("new file at " + std::to_string(part) + "/4", [&, part](auto) {
      return tempSize() >= full * part / 4;
    });
  }
  moments.emplace_back("new file whole", [&](auto) { return tempSize() == full; });
  // Renamed into place, before the program has ended.
  ino_t startInode = 0;
  moments.emplace_back("new file renamed", [&](auto) {
    struct stat st {};
    return ::stat(target.c_str(), &st) == 0 && st.st_ino != startInode;
  });
  // Even steps, and more of them near the end, where the file is written.
  for (int step : {0, 10, 20, 30, 40, 50, 60, 70, 80, 85, 88, 90, 92, 94, 95, 96, 97, 98, 99}) {
    moments.emplace_back("at " + std::to_string(step) + "% of a run",
                         [&, step](auto elapsed) { return elapsed >= whole * step / 100; });
  }

  int kills = 0, leftOld = 0, leftNew = 0;
  for (const auto& [name, reached] : moments) {
    SCOPED_TRACE(name);
    WriteBytes(target, oldBytes);
    struct stat st {};
    ::stat(target.c_str(), &st);
    startInode = st.st_ino;
    const pid_t pid = Spawn(args);
    ASSERT_GT(pid, 0);
    const auto began = std::chrono::steady_clock::now();
    int status = 0;
    bool ended = false;
    while (!reached(std::chrono::steady_clock::now() - began)) {
      // Stop waiting once the run has ended by itself.
      if (::waitpid(pid, &status, WNOHANG) == pid) {
        ended = true;
        break;
      }
      if (std::chrono::steady_clock::now() - began > 60s) break;
    }
    if (!ended) {
      ::kill(pid, SIGKILL);
      ::waitpid(pid, &status, 0);
    }
    kills += WIFSIGNALED(status) && WTERMSIG(status) == SIGKILL;
    const std::string now = ReadBytes(target);
    EXPECT_TRUE(now == oldBytes || now == newBytes) << "target holds " << now.size() << " bytes";
    leftOld += now == oldBytes;
    leftNew += now == newBytes;
    for (const std::string& entry : NamesIn(folder)) {
      if (entry != "list.lse" &&
          std::find(m_strays.begin(), m_strays.end(), entry) == m_strays.end()) {
        m_strays.push_back(entry);
      }
    }
  }
  EXPECT_GT(kills, 0);
  EXPECT_GT(leftOld, 0);
  std::printf("[          ] %d saves killed: target old %d times, new %d times; %zu stray files\n",
              kills, leftOld, leftNew, m_strays.size());

  // The strays stay what they are; the next save replaces the target whole.
  std::vector<std::pair<std::string, std::string>> strays;
  for (const std::string& stray : m_strays) {
    strays.emplace_back(stray, ReadBytes(folder + "/" + stray));
  }
  WriteBytes(target, oldBytes);
  ASSERT_EQ(RunProcess(args).exit, 0);
  EXPECT_EQ(ReadBytes(target), newBytes);
  for (const auto& [stray, bytes] : strays) EXPECT_EQ(ReadBytes(folder + "/" + stray), bytes);
  const ProcessResult listed = Cli({"list", "--count", target});
  EXPECT_EQ(listed.out, "400000\n");
}

}  // namespace
