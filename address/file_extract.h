// Extraction from many files: each file's text (the file-text rule) scanned
// on its own, on a few threads, with the results handed over in the files'
// order.
#pragma once

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "address/file_error.h"
#include "address/string_array.h"

namespace zofrin {

// What one file gave: its addresses in order, duplicates kept, and why it
// could not be opened, or why reading it stopped early (what it gave before
// stands). Anything but a regular file is not opened.
struct FileAddresses {
  StringArray found;
  FileErrorCause openCause = FileErrorCause::kNone;
  FileErrorCause readCause = FileErrorCause::kNone;
};

// Shared with whoever watches a long extraction.
struct ExtractControl {
  std::atomic<bool> cancel{false};              // stop after the current piece
  std::atomic<std::uint64_t> bytesDone{0};      // bytes read so far
  std::atomic<std::size_t> fileIndex{0};        // the last file started
};

// Scans the files at `paths` on up to `threads` threads and calls
// deliver(index, result) on the calling thread for each file, in the order
// of `paths`. Only a few files' results are held ahead of delivery. After a
// cancel the files not yet started give nothing.
void ExtractFromFiles(const std::vector<std::string>& paths, unsigned threads,
                      const std::function<void(std::size_t, FileAddresses&)>& deliver,
                      ExtractControl* control = nullptr);

}  // namespace zofrin
