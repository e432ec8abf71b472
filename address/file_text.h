// The text of a file as the extraction reads it: the file in 512-byte
// blocks, each block cut at its first zero byte, the pieces joined. The file
// is read in large pieces; the block rule is applied in memory.
#pragma once

#include <cstddef>
#include <cstring>
#include <string>

#include "address/file_error.h"
#include "address/file_io.h"
#include "address/scanner.h"

namespace zofrin {

inline constexpr std::size_t kTextBlockSize = 512;
inline constexpr std::size_t kTextReadSize = 512 * kTextBlockSize;  // 256 KiB

// Applies the block rule to `size` bytes at `data`, which start at a block
// boundary of the file, in place. Answers the length of the text kept.
std::size_t CutBlocksAtZero(char* data, std::size_t size);

// Streams the text of an open file through `scanner`, calling `sink` for each
// address and `progress(bytesRead)` after each piece; `progress` answers
// false to stop early. Answers the cause of a read failure, or kNone; the
// addresses handed out before a failure or a stop stand, and none is cut
// short by it.
template <class Sink, class Progress>
FileErrorCause ScanFileText(InputFile& file, StreamScanner& scanner, Sink&& sink,
                            Progress&& progress) {
  scanner.Reset();
  FileErrorCause cause = FileErrorCause::kNone;
  std::size_t total = 0;
  for (;;) {
    char* area = scanner.Reserve(kTextReadSize);
    const std::size_t got = file.Read(area, kTextReadSize, cause);
    total += got;
    scanner.Commit(CutBlocksAtZero(area, got), sink);
    if (cause != FileErrorCause::kNone) break;
    if (got < kTextReadSize) {
      scanner.Finish(sink);  // the end of the file ends the last run
      return cause;
    }
    if (!progress(total)) break;
  }
  // Stopped early: the run held back may go on in bytes never read, so it is
  // dropped rather than handed out cut short.
  scanner.Reset();
  return cause;
}

// Standard input, or any text given whole, is cut at its first zero byte
// instead, as Clipboard text is. Streams it through `scanner`.
template <class Sink>
FileErrorCause ScanTextUpToZero(InputFile& file, StreamScanner& scanner, Sink&& sink) {
  scanner.Reset();
  FileErrorCause cause = FileErrorCause::kNone;
  bool cut = false;
  for (;;) {
    char* area = scanner.Reserve(kTextReadSize);
    const std::size_t got = file.Read(area, kTextReadSize, cause);
    if (!cut) {
      const void* zero = std::memchr(area, 0, got);
      const std::size_t keep =
          zero ? static_cast<std::size_t>(static_cast<const char*>(zero) - area) : got;
      scanner.Commit(keep, sink);
      cut = zero != nullptr;
    }
    // After the zero byte the rest is read and dropped, so a writer on the
    // other end of a pipe is not cut off.
    if (cause != FileErrorCause::kNone || got < kTextReadSize) break;
  }
  scanner.Finish(sink);
  return cause;
}

}  // namespace zofrin
