// Running a program in a child process, as the tests of whole programs do:
// its exit status, its output and messages, its peak memory, with a time
// limit.
#pragma once

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <string>
#include <string_view>
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
// takes longer than `seconds` is killed and marked as timed out. With
// `stdoutPath`, standard output goes to that file (opened for writing, as it
// is) instead of being captured.
inline ProcessResult RunProcess(const std::vector<std::string>& argv, std::string_view input = {},
                                int seconds = 60, const char* stdoutPath = nullptr) {
  ProcessResult result;
  int in[2], out[2], err[2];
  if (::pipe2(in, O_CLOEXEC) != 0 || ::pipe2(out, O_CLOEXEC) != 0 ||
      ::pipe2(err, O_CLOEXEC) != 0) {
    result.err = "pipe failed";
    return result;
  }
  if (stdoutPath != nullptr) {
    ::close(out[1]);
    out[1] = ::open(stdoutPath, O_WRONLY | O_CLOEXEC);
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
  bool outOpen = stdoutPath == nullptr, errOpen = true;
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

}  // namespace zofrin::test
