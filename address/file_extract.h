// Extraction from many files: each file's text (the file-text rule) scanned
// on its own, on a few threads, with the results handed over in the files'
// order.
#pragma once

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "address/file_error.h"
#include "address/sorted_list.h"
#include "address/string_array.h"

namespace zofrin {

// Collects what one file gave, on the thread that scans it: its addresses in
// order, duplicates kept, and why it could not be opened, or why reading it
// stopped early (what it gave before stands). Anything but a regular file is
// not opened. Collectors are reused from file to file, so their buffers grow
// once.
class FileCollector {
 public:
  virtual ~FileCollector() = default;

  virtual void Add(std::string_view address) = 0;
  // Called on the scanning thread once the file is done, before it is handed
  // over: the place for work on the file's addresses that may run in parallel.
  virtual void Finish() {}

  // Makes the collector ready for another file.
  void Reset() {
    openCause = readCause = FileErrorCause::kNone;
    Clear();
  }

  FileErrorCause openCause = FileErrorCause::kNone;
  FileErrorCause readCause = FileErrorCause::kNone;

 protected:
  // Forgets the addresses, keeping the buffers.
  virtual void Clear() = 0;
};

// The addresses themselves.
class FileAddresses final : public FileCollector {
 public:
  void Add(std::string_view address) override { found.Add(address); }

  StringArray found;

 protected:
  void Clear() override { found.Clear(); }
};

// Shared with whoever watches a long extraction.
struct ExtractControl {
  std::atomic<bool> cancel{false};              // stop after the current piece
  std::atomic<std::uint64_t> bytesDone{0};      // bytes read so far
  std::atomic<std::size_t> fileIndex{0};        // the last file started
};

// The addresses put in display order on the scanning thread, ready to be
// merged into a list.
class FileSortedAddresses final : public FileCollector {
 public:
  void Add(std::string_view address) override { found.Add(address); }
  void Finish() override { found.Sort(); }

  SortedBatch found;

 protected:
  void Clear() override { found.Clear(); }
};

// Scans the files at `paths` on up to `threads` threads, each file's
// addresses going to a collector from `make`, and calls
// deliver(index, collector) on the calling thread for each file, in the order
// of `paths`. Only a few files' results are held ahead of delivery. After a
// cancel the files not yet started give nothing.
void ExtractFromFilesWith(const std::vector<std::string>& paths, unsigned threads,
                          const std::function<std::unique_ptr<FileCollector>()>& make,
                          const std::function<void(std::size_t, FileCollector&)>& deliver,
                          ExtractControl* control = nullptr);

// The same with collectors of type `Collector`.
template <class Collector, class Deliver>
void ExtractFromFiles(const std::vector<std::string>& paths, unsigned threads, Deliver&& deliver,
                      ExtractControl* control = nullptr) {
  ExtractFromFilesWith(
      paths, threads, [] { return std::make_unique<Collector>(); },
      [&](std::size_t index, FileCollector& collector) {
        deliver(index, static_cast<Collector&>(collector));
      },
      control);
}

}  // namespace zofrin
