#include "address/file_io.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <climits>
#include <cstdlib>
#include <string>

namespace zofrin {
namespace {

std::atomic<std::int64_t> g_writeLimit{-1};

// Writes all of `bytes`, honouring the test limit.
FileErrorCause WriteAll(int fd, std::string_view bytes) {
  const char* p = bytes.data();
  std::size_t left = bytes.size();
  while (left > 0) {
    std::size_t chunk = left;
    const std::int64_t limit = g_writeLimit.load();
    if (limit >= 0) {
      if (limit == 0) return FileErrorCause::kDiskFull;
      chunk = std::min<std::size_t>(chunk, static_cast<std::size_t>(limit));
    }
    const ssize_t n = ::write(fd, p, std::min<std::size_t>(chunk, 1 << 30));
    if (n < 0) {
      if (errno == EINTR) continue;
      return CauseFromErrno(errno);
    }
    if (n == 0) return FileErrorCause::kDiskFull;
    if (limit >= 0) g_writeLimit.store(limit - n);
    p += n;
    left -= static_cast<std::size_t>(n);
  }
  return FileErrorCause::kNone;
}

std::string FolderOf(const std::string& path) {
  const auto slash = path.rfind('/');
  if (slash == std::string::npos) return ".";
  if (slash == 0) return "/";
  return path.substr(0, slash);
}

}  // namespace

InputFile::InputFile(InputFile&& other) noexcept
    : m_fd(other.m_fd), m_owned(other.m_owned), m_size(other.m_size) {
  other.m_fd = -1;
  other.m_owned = false;
}

InputFile& InputFile::operator=(InputFile&& other) noexcept {
  if (this != &other) {
    if (m_owned && m_fd >= 0) ::close(m_fd);
    m_fd = other.m_fd;
    m_owned = other.m_owned;
    m_size = other.m_size;
    other.m_fd = -1;
    other.m_owned = false;
  }
  return *this;
}

InputFile::~InputFile() {
  if (m_owned && m_fd >= 0) ::close(m_fd);
}

FileErrorCause InputFile::Open(const std::string& path, bool regularOnly) {
  if (path.empty()) return FileErrorCause::kBadPath;
  if (path.find('\0') != std::string::npos) return FileErrorCause::kBadPath;
  // O_NONBLOCK keeps a FIFO without a writer from blocking the open itself.
  const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | (regularOnly ? O_NONBLOCK : 0));
  if (fd < 0) return CauseFromErrno(errno);
  struct stat st {};
  if (::fstat(fd, &st) != 0) {
    const int error = errno;
    ::close(fd);
    return CauseFromErrno(error);
  }
  if (S_ISDIR(st.st_mode) || (regularOnly && !S_ISREG(st.st_mode))) {
    ::close(fd);
    return S_ISDIR(st.st_mode) ? FileErrorCause::kAccessDenied : FileErrorCause::kInvalidFile;
  }
  if (regularOnly) ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) & ~O_NONBLOCK);
  *this = InputFile();
  m_fd = fd;
  m_owned = true;
  m_size = S_ISREG(st.st_mode) ? static_cast<std::uint64_t>(st.st_size) : 0;
  return FileErrorCause::kNone;
}

void InputFile::OpenStandardInput() {
  *this = InputFile();
  m_fd = 0;
  m_owned = false;
}

std::size_t InputFile::Read(char* buffer, std::size_t size, FileErrorCause& cause) {
  std::size_t total = 0;
  while (total < size) {
    const ssize_t n = ::read(m_fd, buffer + total, std::min<std::size_t>(size - total, 1 << 30));
    if (n < 0) {
      if (errno == EINTR) continue;
      cause = CauseFromErrno(errno);
      return total;
    }
    if (n == 0) break;
    total += static_cast<std::size_t>(n);
  }
  return total;
}

FileErrorCause ReadWholeFile(const std::string& path, std::string& out, bool* opened) {
  if (opened) *opened = false;
  out.clear();
  InputFile file;
  if (const auto cause = file.Open(path); cause != FileErrorCause::kNone) return cause;
  if (opened) *opened = true;
  // The size is a hint only: the file may be a pipe, or change meanwhile.
  out.resize(file.Size() > 0 ? file.Size() + 1 : 65536);
  std::size_t used = 0;
  for (;;) {
    FileErrorCause cause = FileErrorCause::kNone;
    used += file.Read(out.data() + used, out.size() - used, cause);
    if (cause != FileErrorCause::kNone) {
      out.clear();
      return cause;
    }
    if (used < out.size()) break;
    out.resize(out.size() * 2);
  }
  out.resize(used);
  return FileErrorCause::kNone;
}

FileErrorCause WriteFileAtomically(const std::string& requested, std::string_view bytes) {
  if (requested.empty() || requested.find('\0') != std::string::npos) {
    return FileErrorCause::kBadPath;
  }
  // Write through a symbolic link to the file it names, keeping the link.
  std::string path = requested;
  struct stat st {};
  if (::lstat(path.c_str(), &st) == 0 && S_ISLNK(st.st_mode)) {
    if (char* real = ::realpath(path.c_str(), nullptr)) {
      path = real;
      std::free(real);
    }
  }
  const bool exists = ::stat(path.c_str(), &st) == 0;
  if (exists) {
    if (S_ISDIR(st.st_mode)) return FileErrorCause::kAccessDenied;
    if ((st.st_mode & 0222) == 0) return FileErrorCause::kAccessDenied;
    // The rename needs only the folder's permission: ask for the file's own.
    if (::faccessat(AT_FDCWD, path.c_str(), W_OK, AT_EACCESS) != 0) return CauseFromErrno(errno);
  } else if (errno != ENOENT) {
    return CauseFromErrno(errno);
  }

  std::string temp;
  int fd = -1;
  for (unsigned attempt = 0; attempt < 100 && fd < 0; ++attempt) {
    temp = path + ".tmp-" + std::to_string(::getpid()) + "-" + std::to_string(attempt);
    fd = ::open(temp.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    if (fd < 0 && errno != EEXIST) return CauseFromErrno(errno);
  }
  if (fd < 0) return FileErrorCause::kDirectoryFull;

  FileErrorCause cause = WriteAll(fd, bytes);
  if (cause == FileErrorCause::kNone && exists) {
    ::fchmod(fd, st.st_mode & 07777);  // best effort, like the owner below
    if (::fchown(fd, st.st_uid, st.st_gid) != 0) {
    }
  }
  if (cause == FileErrorCause::kNone && ::fsync(fd) != 0) cause = CauseFromErrno(errno);
  if (::close(fd) != 0 && cause == FileErrorCause::kNone) cause = CauseFromErrno(errno);
  if (cause == FileErrorCause::kNone && ::rename(temp.c_str(), path.c_str()) != 0) {
    cause = CauseFromErrno(errno);
  }
  if (cause != FileErrorCause::kNone) {
    ::unlink(temp.c_str());
    return cause;
  }
  // Make the rename itself durable.
  const int dir = ::open(FolderOf(path).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (dir >= 0) {
    ::fsync(dir);
    ::close(dir);
  }
  return FileErrorCause::kNone;
}

void SetWriteLimitForTesting(std::int64_t bytes) { g_writeLimit.store(bytes); }

}  // namespace zofrin
