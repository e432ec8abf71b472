#include "cli/output.h"

#include <unistd.h>

#include <cerrno>

#include "cli/cli_texts.h"

namespace zofrin::cli {
namespace {

// Writes all of `text` to `fd`; errors on standard error cannot be reported.
void WriteAllTo(int fd, std::string_view text) {
  while (!text.empty()) {
    const ssize_t n = ::write(fd, text.data(), text.size());
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return;
    text.remove_prefix(static_cast<std::size_t>(n));
  }
}

}  // namespace

Output::Output(int fd) : m_fd(fd), m_buffer(new char[kCapacity]) {}

void Output::PutLarge(std::string_view text) {
  if (m_used > 0) {
    WriteOut(m_buffer.get(), m_used);
    m_used = 0;
  }
  if (text.size() >= kCapacity) {
    WriteOut(text.data(), text.size());
  } else {
    std::memcpy(m_buffer.get(), text.data(), text.size());
    m_used = text.size();
  }
}

void Output::WriteOut(const char* data, std::size_t size) {
  while (size > 0 && m_error == 0) {
    const ssize_t n = ::write(m_fd, data, size);
    if (n < 0) {
      if (errno == EINTR) continue;
      m_error = errno;
    } else if (n == 0) {
      m_error = ENOSPC;
    } else {
      data += n;
      size -= static_cast<std::size_t>(n);
    }
  }
}

bool Output::Flush() {
  if (m_used > 0) {
    WriteOut(m_buffer.get(), m_used);
    m_used = 0;
  }
  return m_error == 0;
}

Cli::Cli() : m_out(STDOUT_FILENO) {}

void Cli::Error(std::string_view message) {
  m_failed = true;
  // What was found before the failure shows before its message.
  m_out.Flush();
  std::string line;
  line.reserve(message.size() + 16);
  line += cli_texts::kProgram;
  line += ": ";
  line += message;
  line += '\n';
  WriteAllTo(STDERR_FILENO, line);
}

void Cli::FileError(FileErrorCause cause, std::string_view path) {
  Error(FileErrorText(cause, path));
}

void Cli::ListError(const ListFileError& error, bool writing) {
  using Kind = ListFileError::Kind;
  const std::string message = error.Message(writing);
  if (error.kind == Kind::kOpen || error.kind == Kind::kIo) {
    Error(message);
  } else {
    Error(error.path + ": " + message);
  }
}

int Cli::Finish() {
  if (!m_out.Flush()) {
    // Reported directly: Error() would try to flush again.
    m_failed = true;
    std::string line = cli_texts::kProgram;
    line += ": ";
    line += FileErrorText(CauseFromErrno(m_out.Error()), cli_texts::kStandardOutput);
    line += '\n';
    WriteAllTo(STDERR_FILENO, line);
  }
  return m_failed ? 1 : 0;
}

int UsageError(std::string_view message, std::string_view usage, std::string_view command) {
  std::string text = cli_texts::kProgram;
  text += ": ";
  text += message;
  text += "\nUsage: ";
  text += usage;
  text += "\nTry 'zofrin-cli ";
  if (!command.empty()) {
    text += command;
    text += ' ';
  }
  text += "--help' for more information.\n";
  WriteAllTo(STDERR_FILENO, text);
  return 2;
}

}  // namespace zofrin::cli
