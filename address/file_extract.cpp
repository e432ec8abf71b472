#include "address/file_extract.h"

#include <algorithm>
#include <condition_variable>
#include <exception>
#include <memory>
#include <mutex>
#include <new>
#include <thread>

#include "address/file_io.h"
#include "address/file_text.h"

namespace zofrin {
namespace {

void ScanInto(const std::string& path, StreamScanner& scanner, FileCollector& result,
              ExtractControl* control) {
  if (control && control->cancel) return;
  InputFile file;
  result.openCause = file.Open(path, /*regularOnly=*/true);
  if (result.openCause != FileErrorCause::kNone) return;
  std::uint64_t reported = 0;
  try {
    result.readCause = ScanFileText(
        file, scanner, [&](std::string_view address) { result.Add(address); },
        [&](std::uint64_t bytes) {
          if (!control) return true;
          control->bytesDone += bytes - reported;
          reported = bytes;
          return !control->cancel.load();
        });
  } catch (const std::bad_alloc&) {
    // What fitted stands; the rest of this file is given up.
    result.readCause = FileErrorCause::kGeneric;
  }
  if (control) control->bytesDone += std::max<std::uint64_t>(file.Size(), reported) - reported;
}

void ScanOne(const std::string& path, StreamScanner& scanner, FileCollector& result,
             ExtractControl* control) {
  ScanInto(path, scanner, result, control);
  // A collector that runs out of memory here keeps what it holds.
  try {
    result.Finish();
  } catch (const std::bad_alloc&) {
    result.readCause = FileErrorCause::kGeneric;
  }
}

}  // namespace

void ExtractFromFilesWith(const std::vector<std::string>& paths, unsigned threads,
                          const std::function<std::unique_ptr<FileCollector>()>& make,
                          const std::function<void(std::size_t, FileCollector&)>& deliver,
                          ExtractControl* control) {
  const std::size_t count = paths.size();
  if (count == 0) return;
  threads = static_cast<unsigned>(std::clamp<std::size_t>(threads, 1, count));
  if (threads <= 1) {
    StreamScanner scanner;
    const std::unique_ptr<FileCollector> result = make();
    for (std::size_t i = 0; i < count; ++i) {
      if (control) control->fileIndex = i;
      result->Reset();
      ScanOne(paths[i], scanner, *result, control);
      deliver(i, *result);
    }
    return;
  }

  std::mutex mutex;
  std::condition_variable changed;
  std::vector<std::unique_ptr<FileCollector>> results(count);
  std::size_t next = 0;       // the next file to start
  std::size_t delivered = 0;  // files handed over
  // The first exception a worker or `deliver` throws: everything stops, and
  // it is thrown again once the workers have ended.
  std::exception_ptr failure;
  auto fail = [&] {
    {
      std::lock_guard lock(mutex);
      if (!failure) failure = std::current_exception();
    }
    changed.notify_all();
  };
  // A worker runs at most this many files ahead of delivery, which bounds
  // the memory the waiting results take. The room is there so that the
  // workers go on while delivery waits, for instance on a slow reader of
  // what is printed.
  const std::size_t window = 8 * static_cast<std::size_t>(threads);
  // Results handed over go back to the workers, emptied but with their
  // buffers, so the memory they grow into is reused instead of returned to
  // the system and faulted in again for every file.
  std::vector<std::unique_ptr<FileCollector>> spare;
  // Waiting, being filled or being delivered: no more collectors than this.
  spare.reserve(std::min<std::size_t>(count, window + threads + 1));

  auto work = [&] {
    StreamScanner scanner;
    for (;;) {
      std::size_t index;
      std::unique_ptr<FileCollector> result;
      {
        std::unique_lock lock(mutex);
        changed.wait(lock,
                     [&] { return next >= count || failure || next < delivered + window; });
        if (next >= count || failure) return;
        index = next++;
        if (!spare.empty()) {
          result = std::move(spare.back());
          spare.pop_back();
        }
      }
      if (control) control->fileIndex = std::max<std::size_t>(control->fileIndex, index);
      try {
        if (!result) result = make();
        ScanOne(paths[index], scanner, *result, control);
      } catch (...) {
        fail();
        return;
      }
      {
        std::lock_guard lock(mutex);
        results[index] = std::move(result);
      }
      changed.notify_all();
    }
  };
  std::vector<std::thread> pool;
  try {
    for (unsigned t = 0; t < threads; ++t) pool.emplace_back(work);
  } catch (...) {
    fail();  // the threads that did start end at once
  }
  for (std::size_t i = 0; i < count; ++i) {
    std::unique_ptr<FileCollector> result;
    {
      std::unique_lock lock(mutex);
      changed.wait(lock, [&] { return results[i] != nullptr || failure; });
      if (failure) break;
      result = std::move(results[i]);
    }
    try {
      deliver(i, *result);
    } catch (...) {
      fail();
      break;
    }
    result->Reset();
    {
      std::lock_guard lock(mutex);
      delivered = i + 1;
      spare.push_back(std::move(result));
    }
    changed.notify_all();
  }
  for (std::thread& thread : pool) thread.join();
  if (failure) std::rethrow_exception(failure);
}

}  // namespace zofrin
