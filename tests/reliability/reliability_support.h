// Shared by the reliability tests: the child processes and files of
// tests/support, and a small file system that fills up.
#pragma once

#include <fcntl.h>
#include <sys/mount.h>
#include <unistd.h>

#include <filesystem>
#include <string>
#include <string_view>
#include <system_error>
#include <utility>

#include "tests/support/child_process.h"
#include "tests/support/temp_files.h"

namespace zofrin::test {

inline bool IsRoot() { return ::geteuid() == 0; }

// A tmpfs of `size` mounted on a new folder `path` for the object's life, so
// that a save can meet a real full disk. Mounting needs root; Mounted()
// tells whether it worked.
class SmallDisk {
 public:
  explicit SmallDisk(std::string path, const char* size = "64k") : m_path(std::move(path)) {
    std::error_code error;
    std::filesystem::create_directories(m_path, error);
    const std::string options = std::string("size=") + size + ",mode=0755";
    m_mounted =
        ::mount("tmpfs", m_path.c_str(), "tmpfs", MS_NOSUID | MS_NODEV, options.c_str()) == 0;
  }
  SmallDisk(const SmallDisk&) = delete;
  SmallDisk& operator=(const SmallDisk&) = delete;
  ~SmallDisk() {
    if (m_mounted) ::umount2(m_path.c_str(), MNT_DETACH);
  }

  bool Mounted() const { return m_mounted; }
  std::string File(std::string_view name) const { return m_path + "/" + std::string(name); }
  const std::string& Path() const { return m_path; }

  // Fills what is left of the disk with one file.
  void Fill() const {
    const int fd = ::open(File("filler").c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    if (fd < 0) return;
    const std::string block(4096, 'x');
    while (::write(fd, block.data(), block.size()) > 0) {
    }
    while (::write(fd, block.data(), 1) > 0) {
    }
    ::close(fd);
  }

 private:
  std::string m_path;
  bool m_mounted = false;
};

}  // namespace zofrin::test
