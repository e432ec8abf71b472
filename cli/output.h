// Buffered standard output and the error reporting every command shares.
#pragma once

#include <cstddef>
#include <cstring>
#include <memory>
#include <string>
#include <string_view>

#include "address/file_error.h"
#include "address/list_file.h"

namespace zofrin::cli {

// Collects output in one large buffer and writes it to a file descriptor in
// large pieces. After a failed write the rest is dropped; Error() tells why.
class Output {
 public:
  static constexpr std::size_t kCapacity = std::size_t{1} << 18;

  explicit Output(int fd);
  Output(const Output&) = delete;
  Output& operator=(const Output&) = delete;

  void Put(std::string_view text) {
    if (text.size() <= kCapacity - m_used) {
      std::memcpy(m_buffer.get() + m_used, text.data(), text.size());
      m_used += text.size();
    } else {
      PutLarge(text);
    }
  }

  // `text` followed by `terminator` (a line feed unless said otherwise).
  void Line(std::string_view text, std::string_view terminator = "\n") {
    if (text.size() + terminator.size() <= kCapacity - m_used) {
      char* at = m_buffer.get() + m_used;
      std::memcpy(at, text.data(), text.size());
      std::memcpy(at + text.size(), terminator.data(), terminator.size());
      m_used += text.size() + terminator.size();
    } else {
      Put(text);
      Put(terminator);
    }
  }

  // Writes out what is buffered. Answers false once any write has failed.
  bool Flush();
  // The errno of the first failed write, or 0.
  int Error() const { return m_error; }

 private:
  void PutLarge(std::string_view text);
  void WriteOut(const char* data, std::size_t size);

  int m_fd;
  std::unique_ptr<char[]> m_buffer;
  std::size_t m_used = 0;
  int m_error = 0;
};

// What a command run shares: its output, and whether anything failed.
class Cli {
 public:
  Cli();

  Output& Out() { return m_out; }
  bool Failed() const { return m_failed; }

  // Writes "zofrin-cli: " and `message` to standard error, after what is
  // buffered for standard output, and marks the run failed.
  void Error(std::string_view message);
  // A file that could not be opened, read or written.
  void FileError(FileErrorCause cause, std::string_view path);
  // A list file that could not be read or written. Messages that do not name
  // the file get its path in front.
  void ListError(const ListFileError& error, bool writing = false);

  // Flushes standard output and answers the exit status: 0, or 1 when
  // anything failed, a failed write of the output included.
  int Finish();

 private:
  Output m_out;
  bool m_failed = false;
};

// Writes "zofrin-cli: " and `message` to standard error, then the usage line
// and a hint where to find help. Answers the exit status of a usage error.
int UsageError(std::string_view message, std::string_view usage, std::string_view command);

}  // namespace zofrin::cli
