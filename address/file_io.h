// Reading and writing whole files, with failures reported as causes. This is
// the core's only use of the operating system's file calls.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

#include "address/file_error.h"

namespace zofrin {

// A file open for reading, closed when the object goes.
class InputFile {
 public:
  InputFile() = default;
  InputFile(const InputFile&) = delete;
  InputFile& operator=(const InputFile&) = delete;
  InputFile(InputFile&& other) noexcept;
  InputFile& operator=(InputFile&& other) noexcept;
  ~InputFile();

  // Opens `path`; with `regularOnly`, anything but a regular file (a folder,
  // a FIFO, a device) is refused without being opened for long, so a reader
  // never waits on it.
  FileErrorCause Open(const std::string& path, bool regularOnly = false);
  // Standard input, not closed by this object.
  void OpenStandardInput();

  // Reads up to `size` bytes, fewer only at the end of the file. Sets `cause`
  // on a failure; the bytes read before it are counted in the result.
  std::size_t Read(char* buffer, std::size_t size, FileErrorCause& cause);

  bool IsOpen() const { return m_fd >= 0; }
  // The size of a regular file when it was opened, or 0.
  std::uint64_t Size() const { return m_size; }

 private:
  int m_fd = -1;
  bool m_owned = false;
  std::uint64_t m_size = 0;
};

// Reads the whole file into `out` (replacing it). `opened` tells whether the
// failure, if any, came after the file was open.
FileErrorCause ReadWholeFile(const std::string& path, std::string& out, bool* opened = nullptr);

// Replaces `path` with `bytes` so that the old file stays whole on every
// failure: the bytes go to a new file in the same folder, which is flushed to
// disk and given the old file's permissions, then renamed over the target.
// A read-only target or a target that is a folder is refused. No temporary
// file is left behind.
FileErrorCause WriteFileAtomically(const std::string& path, std::string_view bytes);

// For tests: makes every write fail with a full disk once `bytes` have been
// written in total, until it is set back to -1.
void SetWriteLimitForTesting(std::int64_t bytes);

}  // namespace zofrin
