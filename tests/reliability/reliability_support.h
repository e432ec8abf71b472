// Shared by the reliability tests: running a program in a child process
// with a time limit (exit status, output, peak memory), a temporary folder,
// and a small file system that fills up.
#pragma once

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/mount.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <time.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <string_view>
#include <system_error>
#include <utility>
#include <vector>

extern char** environ;

namespace zofrin::test {

struct ProcessResult {
  int exit = -1;     // the exit status, or 128 + the signal that ended it
  bool timedOut = false;
  std::string out;
  std::string err;
  long peakRssKib = 0;  // the child's largest resident set
};

// Starts `argv` with standard input, output and error on the given
// descriptors (-1: /dev/null). Answers the process id, or -1.
inline pid_t Spawn(const std::vector<std::string>& argv, int in = -1, int out = -1, int err = -1) {
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  const int fds[3] = {in, out, err};
  for (int target = 0; target < 3; ++target) {
    if (fds[target] >= 0) {
      posix_spawn_file_actions_adddup2(&actions, fds[target], target);
    } else {
      posix_spawn_file_actions_addopen(&actions, target, "/dev/null",
                                       target == 0 ? O_RDONLY : O_WRONLY, 0);
    }
  }
  std::vector<std::string> copies = argv;
  std::vector<char*> args;
  for (std::string& arg : copies) args.push_back(arg.data());
  args.push_back(nullptr);
  pid_t pid = -1;
  const int spawned = posix_spawn(&pid, args[0], &actions, nullptr, args.data(), environ);
  posix_spawn_file_actions_destroy(&actions);
  return spawned == 0 ? pid : -1;
}

// Waits for `pid` and fills in its status and peak memory.
inline void Reap(pid_t pid, ProcessResult& result) {
  int status = 0;
  rusage usage{};
  while (::wait4(pid, &status, 0, &usage) < 0 && errno == EINTR) {
  }
  result.exit = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
  result.peakRssKib = usage.ru_maxrss;
}

// Runs `argv` to its end, giving it `input` on standard input; a run that
// takes longer than `seconds` is killed and marked as timed out.
inline ProcessResult RunProcess(const std::vector<std::string>& argv, std::string_view input = {},
                                int seconds = 60) {
  ProcessResult result;
  int in[2], out[2], err[2];
  if (::pipe2(in, O_CLOEXEC) != 0 || ::pipe2(out, O_CLOEXEC) != 0 ||
      ::pipe2(err, O_CLOEXEC) != 0) {
    result.err = "pipe failed";
    return result;
  }
  const pid_t pid = Spawn(argv, in[0], out[1], err[1]);
  ::close(in[0]);
  ::close(out[1]);
  ::close(err[1]);
  if (pid < 0) {
    ::close(in[1]);
    ::close(out[0]);
    ::close(err[0]);
    result.err = "cannot start " + argv[0];
    return result;
  }
  ::fcntl(in[1], F_SETFL, O_NONBLOCK);
  int inFd = in[1];
  if (input.empty()) {
    ::close(inFd);
    inFd = -1;
  }
  std::size_t written = 0;
  bool outOpen = true, errOpen = true;
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(seconds);
  char buffer[65536];
  while (outOpen || errOpen || inFd >= 0) {
    const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
        deadline - std::chrono::steady_clock::now());
    if (left.count() <= 0) {
      ::kill(pid, SIGKILL);
      result.timedOut = true;
      break;
    }
    pollfd fds[3] = {{outOpen ? out[0] : -1, POLLIN, 0},
                     {errOpen ? err[0] : -1, POLLIN, 0},
                     {inFd, POLLOUT, 0}};
    if (::poll(fds, 3, static_cast<int>(std::min<long long>(left.count(), 1000))) < 0) {
      if (errno == EINTR) continue;
      break;
    }
    for (int i = 0; i < 2; ++i) {
      if (fds[i].revents == 0) continue;
      const ssize_t n = ::read(fds[i].fd, buffer, sizeof buffer);
      if (n > 0) {
        (i == 0 ? result.out : result.err).append(buffer, static_cast<std::size_t>(n));
      } else {
        (i == 0 ? outOpen : errOpen) = false;
      }
    }
    if (inFd >= 0 && fds[2].revents != 0) {
      const ssize_t n = ::write(inFd, input.data() + written, input.size() - written);
      if (n > 0) written += static_cast<std::size_t>(n);
      if (n < 0 || written == input.size()) {
        ::close(inFd);
        inFd = -1;
      }
    }
  }
  if (inFd >= 0) ::close(inFd);
  ::close(out[0]);
  ::close(err[0]);
  Reap(pid, result);
  return result;
}

// A fresh folder, removed with everything in it when the object goes.
class ScratchDir {
 public:
  ScratchDir() {
    std::string pattern = (std::filesystem::temp_directory_path() / "zofrin-rel-XXXXXX").string();
    if (::mkdtemp(pattern.data()) == nullptr) std::abort();
    m_path = pattern;
  }
  ScratchDir(const ScratchDir&) = delete;
  ScratchDir& operator=(const ScratchDir&) = delete;
  ~ScratchDir() {
    std::error_code error;
    // Give back the permissions a test took away, so that everything goes.
    for (auto it = std::filesystem::recursive_directory_iterator(m_path, error);
         it != std::filesystem::recursive_directory_iterator(); it.increment(error)) {
      if (it->is_directory(error) && !it->is_symlink(error)) {
        std::filesystem::permissions(it->path(), std::filesystem::perms::owner_all,
                                     std::filesystem::perm_options::add, error);
      }
    }
    std::filesystem::permissions(m_path, std::filesystem::perms::owner_all,
                                 std::filesystem::perm_options::add, error);
    std::filesystem::remove_all(m_path, error);
  }

  std::string File(std::string_view name) const { return m_path + "/" + std::string(name); }
  const std::string& Path() const { return m_path; }

  // The names in the folder, sorted.
  std::vector<std::string> Names() const {
    std::vector<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(m_path)) {
      names.push_back(entry.path().filename().string());
    }
    std::sort(names.begin(), names.end());
    return names;
  }

 private:
  std::string m_path;
};

inline void WriteFileBytes(const std::string& path, std::string_view bytes) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

inline std::string ReadFileBytes(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  if (!in) return "<cannot read " + path + ">";
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

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
