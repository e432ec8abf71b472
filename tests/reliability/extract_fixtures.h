// Files that an extraction must cope with, made in a scratch folder: things
// that are no regular file, files spoiled after they were chosen, and a
// sparse file larger than the machine's memory.
#pragma once

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdint>
#include <filesystem>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "reliability_support.h"

namespace zofrin::test {

// A file with one address before the files that fail and one after them.
struct Bracket {
  explicit Bracket(const TempDir& dir)
      : first(dir.File("first.txt")), last(dir.File("last.txt")) {
    WriteBytes(first, "first@example.com");
    WriteBytes(last, "last@example.com");
  }
  std::string first;
  std::string last;
};

// Paths that are no regular file, each with the message that names it: a
// FIFO nobody writes to, one whose writer stays open (reading it would wait
// for ever), two devices and a folder.
struct UnusualFiles : Bracket {
  explicit UnusualFiles(const TempDir& dir) : Bracket(dir) {
    const std::string lonely = dir.File("fifo");
    const std::string open = dir.File("fifo-with-writer");
    ::mkfifo(lonely.c_str(), 0644);
    ::mkfifo(open.c_str(), 0644);
    m_writer = ::open(open.c_str(), O_RDWR | O_CLOEXEC);  // does not wait for a reader
    const std::string folder = dir.File("folder.txt");
    std::filesystem::create_directory(folder);
    const char* invalid = "An invalid file handle was associated with %1.";
    unusual = {{lonely, invalid},
               {open, invalid},
               {"/dev/null", invalid},
               {"/dev/zero", invalid},
               {folder, "Access to %1 was denied."}};
  }
  UnusualFiles(const UnusualFiles&) = delete;
  UnusualFiles& operator=(const UnusualFiles&) = delete;
  ~UnusualFiles() {
    if (m_writer >= 0) ::close(m_writer);
  }

  std::vector<std::pair<std::string, std::string>> unusual;

 private:
  int m_writer = -1;
};

// Readable files, each with an address of its own, that Spoil() turns into
// something that cannot be read: removed, replaced by a folder, a dangling
// link, a link to itself or a FIFO, and (unless root, who reads anything)
// stripped of every permission. Each comes with its message.
struct UnreadableFiles : Bracket {
  explicit UnreadableFiles(const TempDir& dir) : Bracket(dir) {
    const char* names[] = {"removed.txt", "now-a-folder.txt", "dangling.txt", "loop.txt",
                           "now-a-fifo.txt", "no-permission.txt"};
    for (const char* name : names) {
      if (std::string(name) == "no-permission.txt" && IsRoot()) continue;
      const std::string path = dir.File(name);
      WriteBytes(path, "spoiled-" + std::string(name).substr(0, 4) + "@example.com");
      chosen.push_back(path);
    }
  }

  void Spoil() {
    namespace fs = std::filesystem;
    for (const std::string& path : chosen) {
      const std::string name = fs::path(path).filename().string();
      if (name != "no-permission.txt") fs::remove(path);
      if (name == "removed.txt" || name == "dangling.txt") {
        if (name == "dangling.txt") fs::create_symlink(path + ".missing", path);
        unreadable.emplace_back(path, "%1 was not found.");
      } else if (name == "now-a-folder.txt") {
        fs::create_directory(path);
        unreadable.emplace_back(path, "Access to %1 was denied.");
      } else if (name == "loop.txt") {
        fs::create_symlink(path, path);
        unreadable.emplace_back(path, "%1 contains an invalid path.");
      } else if (name == "now-a-fifo.txt") {
        ::mkfifo(path.c_str(), 0644);
        unreadable.emplace_back(path, "An invalid file handle was associated with %1.");
      } else {
        fs::permissions(path, fs::perms::none);
        unreadable.emplace_back(path, "Access to %1 was denied.");
      }
    }
  }

  std::vector<std::string> chosen;
  std::vector<std::pair<std::string, std::string>> unreadable;  // after Spoil()
};

// A sparse file of 32 GiB on a tmpfs, where reading a hole costs no disk
// and no memory: one address in its first block, one that crosses the
// 4 GiB mark and one in its last block; everything else is zero bytes, so
// each block of it is cut to nothing. As root it lives on a tmpfs mounted
// for it, otherwise in /dev/shm; `path` is empty when neither works.
struct HugeSparseFile {
  static constexpr std::uint64_t kSize = std::uint64_t{32} << 30;
  static inline const std::vector<std::string> kAddresses = {
      "first@example.com", "cross@example.com", "last@example.com"};

  explicit HugeSparseFile(const TempDir& dir) {
    std::string folder;
    if (IsRoot()) {
      m_disk = std::make_unique<SmallDisk>(dir.File("sparse"), "1m");
      if (m_disk->Mounted()) folder = m_disk->Path();
    }
    if (folder.empty() && ::access("/dev/shm", W_OK) == 0) folder = "/dev/shm";
    if (folder.empty()) {
      whyNot = "needs a tmpfs: root, or a writable /dev/shm";
      return;
    }
    std::string candidate = folder + "/zofrin-huge-XXXXXX";
    const int fd = ::mkstemp(candidate.data());
    if (fd < 0) {
      whyNot = "cannot create a file in " + folder;
      return;
    }
    m_made = candidate;
    const std::string block(507, ' ');
    bool ok = ::ftruncate(fd, static_cast<off_t>(kSize)) == 0;
    auto put = [&](const std::string& text, std::uint64_t offset) {
      ok = ok && ::pwrite(fd, text.data(), text.size(), static_cast<off_t>(offset)) ==
                     static_cast<ssize_t>(text.size());
    };
    put("first@example.com ", 0);
    put(block + "cross", (std::uint64_t{1} << 32) - 512);
    put("@example.com ", std::uint64_t{1} << 32);
    put("last@example.com", kSize - 512);
    struct stat st {};
    ok = ok && ::fstat(fd, &st) == 0 && st.st_blocks * 512 < (1 << 20);
    ::close(fd);
    if (ok) {
      path = candidate;
    } else {
      whyNot = "cannot make a sparse file in " + folder;
    }
  }
  HugeSparseFile(const HugeSparseFile&) = delete;
  HugeSparseFile& operator=(const HugeSparseFile&) = delete;
  ~HugeSparseFile() {
    if (!m_made.empty()) ::unlink(m_made.c_str());
  }

  std::string path;
  std::string whyNot;

 private:
  std::unique_ptr<SmallDisk> m_disk;
  std::string m_made;
};

}  // namespace zofrin::test
