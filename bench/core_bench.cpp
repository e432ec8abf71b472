// Benchmarks of the address core at the sizes people reach: list files, the
// address set and its set operations, the sorted list's bulk operations and
// the scanner.
//
// The big operations run once per repetition with their set-up outside the
// measured time (manual timing, wall clock); the scanner runs as often as
// Google Benchmark likes and reports bytes per second.
//
// Usage: core_bench [--big] [Google Benchmark flags]
//   --big  also runs the list benchmarks at 10,000,000 addresses.

#include <benchmark/benchmark.h>
#include <stdlib.h>

#include <chrono>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <map>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "address/address_set.h"
#include "address/file_io.h"
#include "address/file_text.h"
#include "address/list_file.h"
#include "address/list_ops.h"
#include "address/scanner.h"
#include "address/sorted_list.h"
#include "bench/address_gen.h"

namespace {

using namespace zofrin;
using zofrin::bench::ListPair;
using zofrin::bench::PackedTexts;
using Clock = std::chrono::steady_clock;

constexpr int kRepetitions = 3;

std::string g_tempDir;

std::string TempPath(const std::string& name) { return g_tempDir + "/" + name; }

// The lists of each size, made once.
const ListPair& Lists(std::size_t count) {
  static std::map<std::size_t, std::unique_ptr<ListPair>> cache;
  auto& slot = cache[count];
  if (!slot) slot = std::make_unique<ListPair>(zofrin::bench::MakeListPair(count));
  return *slot;
}

const AddressSet& SetOf(const PackedTexts& texts) {
  static std::map<const PackedTexts*, std::unique_ptr<AddressSet>> cache;
  auto& slot = cache[&texts];
  if (!slot) {
    slot = std::make_unique<AddressSet>();
    for (std::string_view address : texts.Views()) slot->Store(address);
  }
  return *slot;
}

// The list file of the first list of each size, written once.
std::string ListFileOf(std::size_t count) {
  const std::string path = TempPath("first-" + std::to_string(count) + ".lse");
  if (!std::filesystem::exists(path)) {
    const ListFileError error = WriteListFile(path, SetOf(Lists(count).first));
    if (!error.Ok()) return {};
  }
  return path;
}

// Runs `work` once per iteration on what `setup` made, timing only `work`.
template <class Setup, class Work>
void TimeOnce(benchmark::State& state, Setup&& setup, Work&& work) {
  for (auto _ : state) {
    auto context = setup();
    const auto start = Clock::now();
    work(*context);
    const std::chrono::duration<double> elapsed = Clock::now() - start;
    state.SetIterationTime(elapsed.count());
    benchmark::DoNotOptimize(context);
  }
}

struct Pane {
  SortedAddressList list;
  AddressSet set;
};

// A pane holding the first list of `count` addresses, every other item
// selected when `everyOther`.
std::unique_ptr<Pane> MakePane(std::size_t count, bool everyOther) {
  auto pane = std::make_unique<Pane>();
  pane->set = SetOf(Lists(count).first);
  RebuildList(pane->list, pane->set);
  if (everyOther) {
    for (std::size_t i = 0; i < pane->list.Count(); i += 2) pane->list.SetSel(true, i);
  }
  return pane;
}

// ---- list files -----------------------------------------------------------

void WriteList(benchmark::State& state, std::size_t count) {
  const AddressSet& set = SetOf(Lists(count).first);
  const std::string path = TempPath("written.lse");
  TimeOnce(
      state, [] { return std::make_unique<int>(0); },
      [&](int&) {
        if (!WriteListFile(path, set).Ok()) state.SkipWithError("write failed");
      });
  state.counters["bytes"] = static_cast<double>(std::filesystem::file_size(path));
}

// The file's bytes alone, without the file system.
void WriteListBytesOnly(benchmark::State& state, std::size_t count) {
  const AddressSet& set = SetOf(Lists(count).first);
  TimeOnce(
      state, [] { return std::make_unique<std::string>(); },
      [&](std::string& bytes) { bytes = WriteListBytes(set); });
}

void ReadList(benchmark::State& state, std::size_t count) {
  const std::string path = ListFileOf(count);
  TimeOnce(
      state, [] { return std::make_unique<AddressSet>(); },
      [&](AddressSet& set) {
        if (!ReadListFile(path, set).Ok()) state.SkipWithError("read failed");
      });
}

// What opening a list file costs before anything is drawn: read the set,
// then build the sorted list from it.
void OpenList(benchmark::State& state, std::size_t count) {
  const std::string path = ListFileOf(count);
  TimeOnce(
      state, [] { return std::make_unique<Pane>(); },
      [&](Pane& pane) {
        if (!ReadListFile(path, pane.set).Ok()) state.SkipWithError("read failed");
        RebuildList(pane.list, pane.set);
      });
}

// ---- the address set ------------------------------------------------------

void SetStore(benchmark::State& state, std::size_t count) {
  const auto& addresses = Lists(count).first.Views();
  TimeOnce(
      state, [] { return std::make_unique<AddressSet>(); },
      [&](AddressSet& set) {
        for (std::string_view address : addresses) set.Store(address);
      });
}

void SetContains(benchmark::State& state, std::size_t count) {
  const AddressSet& set = SetOf(Lists(count).first);
  const auto& queries = Lists(count).second.Views();
  std::size_t hits = 0;
  TimeOnce(
      state, [] { return std::make_unique<int>(0); },
      [&](int&) {
        hits = 0;
        for (std::string_view address : queries) hits += set.Contains(address);
      });
  state.counters["hits"] = static_cast<double>(hits);
}

void SetRemove(benchmark::State& state, std::size_t count) {
  const auto& addresses = Lists(count).first.Views();
  TimeOnce(
      state, [&] { return std::make_unique<AddressSet>(SetOf(Lists(count).first)); },
      [&](AddressSet& set) {
        for (std::size_t i = 0; i < addresses.size(); i += 2) set.Remove(addresses[i]);
      });
}

template <void (*Operation)(const AddressSet&, const AddressSet&, AddressSet&)>
void SetOperation(benchmark::State& state, std::size_t count) {
  const AddressSet& first = SetOf(Lists(count).first);
  const AddressSet& second = SetOf(Lists(count).second);
  std::size_t result = 0;
  TimeOnce(
      state, [] { return std::make_unique<AddressSet>(); },
      [&](AddressSet& out) {
        Operation(first, second, out);
        result = out.Count();
      });
  state.counters["result"] = static_cast<double>(result);
}

// ---- the sorted list ------------------------------------------------------

void Rebuild(benchmark::State& state, std::size_t count) {
  const AddressSet& set = SetOf(Lists(count).first);
  TimeOnce(
      state, [] { return std::make_unique<SortedAddressList>(); },
      [&](SortedAddressList& list) { RebuildList(list, set); });
}

// Puts `count` addresses into a list as sorted runs of shrinking lengths
// (k, k - 1, ..., 1), the order in which a merge of runs that only looks at
// the last two would wait with every merge until the end. The runs are
// sorted beforehand, as the threads that scan files sort them.
void BatchOfShrinkingRuns(benchmark::State& state, std::size_t count) {
  const PackedTexts& texts = Lists(count).first;
  std::vector<SortedBatch> runs;
  for (std::size_t next = 0, length = 1; next < texts.Size(); next += length, ++length) {
    runs.emplace_back();
    for (std::size_t i = next; i < std::min(texts.Size(), next + length); ++i) {
      runs.back().Add(texts[i]);
    }
    runs.back().Sort();
  }
  std::reverse(runs.begin(), runs.end());
  TimeOnce(
      state, [] { return std::make_unique<SortedAddressList>(); },
      [&](SortedAddressList& list) {
        SortedBatch batch;
        for (const SortedBatch& run : runs) batch.AppendRun(run);
        list.InsertBatch(batch);
      });
}

// Merges `count` addresses, none of them in the list yet.
void MergeFresh(benchmark::State& state, std::size_t count) {
  const auto& fresh = Lists(count).fresh.Views();
  TimeOnce(
      state, [&] { return MakePane(count, true); },
      [&](Pane& pane) { MergeAddresses(pane.list, pane.set, fresh); });
}

// Merges the second list: 30% of it is in the list already (those items are
// found and unselected), 2% differ from an item only in letter case.
void MergeOverlapping(benchmark::State& state, std::size_t count) {
  const auto& second = Lists(count).second.Views();
  TimeOnce(
      state, [&] { return MakePane(count, true); },
      [&](Pane& pane) { MergeAddresses(pane.list, pane.set, second); });
}

void SelectEveryOther(benchmark::State& state, std::size_t count) {
  TimeOnce(
      state, [&] { return MakePane(count, false); },
      [&](Pane& pane) {
        for (std::size_t i = 0; i < pane.list.Count(); i += 2) pane.list.SetSel(true, i);
      });
}

void SelectAll(benchmark::State& state, std::size_t count) {
  TimeOnce(
      state, [&] { return MakePane(count, false); },
      [&](Pane& pane) { pane.list.SetSelRange(true, 0, pane.list.Count() - 1); });
}

void Invert(benchmark::State& state, std::size_t count) {
  TimeOnce(
      state, [&] { return MakePane(count, true); },
      [&](Pane& pane) { pane.list.InvertSelection(); });
}

void Delete(benchmark::State& state, std::size_t count) {
  TimeOnce(
      state, [&] { return MakePane(count, true); },
      [&](Pane& pane) { DeleteSelected(pane.list, pane.set); });
}

void Crop(benchmark::State& state, std::size_t count) {
  TimeOnce(
      state, [&] { return MakePane(count, true); },
      [&](Pane& pane) { CropSelected(pane.list, pane.set); });
}

// ---- the scanner ----------------------------------------------------------

constexpr std::size_t kScanSize = 64u << 20;

const std::string& ScanText(int kind) {
  static std::map<int, std::string> cache;
  auto& text = cache[kind];
  if (text.empty()) {
    switch (kind) {
      case 0: text = zofrin::bench::MakeSyntheticText(kScanSize); break;
      case 1: text = zofrin::bench::MakeAtText(kScanSize); break;
      default: text = zofrin::bench::MakeLongRunText(kScanSize); break;
    }
  }
  return text;
}

struct Tally {
  std::size_t count = 0;
  std::size_t bytes = 0;
  void operator()(std::string_view address) {
    ++count;
    bytes += address.size();
  }
};

void ReportScan(benchmark::State& state, std::size_t size, const Tally& tally) {
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * size));
  state.counters["addresses"] = static_cast<double>(tally.count);
}

// The whole text in memory.
void ScanInMemory(benchmark::State& state, int kind) {
  const std::string& text = ScanText(kind);
  Tally tally;
  for (auto _ : state) {
    tally = {};
    ForEachAddress(text, tally);
    benchmark::DoNotOptimize(tally);
  }
  ReportScan(state, text.size(), tally);
}

// The text fed in 512 KiB pieces with the 512-byte block rule, as a file is
// scanned, but without the system calls.
void ScanStreamed(benchmark::State& state, int kind) {
  const std::string& text = ScanText(kind);
  StreamScanner scanner;
  Tally tally;
  for (auto _ : state) {
    tally = {};
    scanner.Reset();
    for (std::size_t at = 0; at < text.size(); at += kTextReadSize) {
      const std::size_t n = std::min(kTextReadSize, text.size() - at);
      char* area = scanner.Reserve(n);
      std::memcpy(area, text.data() + at, n);
      scanner.Commit(CutBlocksAtZero(area, n), tally);
    }
    scanner.Finish(tally);
    benchmark::DoNotOptimize(tally);
  }
  ReportScan(state, text.size(), tally);
}

// The text read from a file (in the page cache) by ScanFileText.
void ScanFile(benchmark::State& state, int kind) {
  const std::string& text = ScanText(kind);
  const std::string path = TempPath("scan-" + std::to_string(kind) + ".txt");
  std::ofstream(path, std::ios::binary)
      .write(text.data(), static_cast<std::streamsize>(text.size()));
  StreamScanner scanner;
  Tally tally;
  for (auto _ : state) {
    tally = {};
    InputFile file;
    if (file.Open(path) != FileErrorCause::kNone) {
      state.SkipWithError("open failed");
      break;
    }
    ScanFileText(file, scanner, tally, [](std::size_t) { return true; });
    benchmark::DoNotOptimize(tally);
  }
  ReportScan(state, text.size(), tally);
}

// The floor: finding every '@' with memchr and nothing else.
void MemchrCount(benchmark::State& state, int kind) {
  const std::string& text = ScanText(kind);
  std::size_t count = 0;
  for (auto _ : state) {
    count = 0;
    const char* p = text.data();
    const char* end = p + text.size();
    while (p < end) {
      const void* hit = std::memchr(p, '@', static_cast<std::size_t>(end - p));
      if (hit == nullptr) break;
      ++count;
      p = static_cast<const char*>(hit) + 1;
    }
    benchmark::DoNotOptimize(count);
  }
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * text.size()));
  state.counters["ats"] = static_cast<double>(count);
}

std::string SizeName(std::size_t count) {
  return count % 1000000 == 0 ? std::to_string(count / 1000000) + "M" : std::to_string(count);
}

void RegisterListBenchmarks(std::size_t count) {
  struct Entry {
    const char* name;
    void (*run)(benchmark::State&, std::size_t);
  };
  static const Entry kEntries[] = {
      {"ListFile/Write", WriteList},
      {"ListFile/WriteBytes(noIO)", WriteListBytesOnly},
      {"ListFile/Read", ReadList},
      {"ListFile/Open(Read+RebuildList)", OpenList},
      {"AddressSet/Store", SetStore},
      {"AddressSet/Contains(30%hit)", SetContains},
      {"AddressSet/RemoveEveryOther", SetRemove},
      {"Sets/Unite", SetOperation<UniteSets>},
      {"Sets/Subtract", SetOperation<SubtractSets>},
      {"Sets/Intersect", SetOperation<IntersectSets>},
      {"SortedList/RebuildList", Rebuild},
      {"SortedList/BatchOfShrinkingRuns", BatchOfShrinkingRuns},
      {"SortedList/MergeFresh", MergeFresh},
      {"SortedList/MergeOverlapping", MergeOverlapping},
      {"SortedList/SelectEveryOther(SetSel)", SelectEveryOther},
      {"SortedList/SelectAll(SetSelRange)", SelectAll},
      {"SortedList/InvertSelection", Invert},
      {"SortedList/DeleteSelected(everyOther)", Delete},
      {"SortedList/CropSelected(everyOther)", Crop},
  };
  for (const Entry& entry : kEntries) {
    const std::string name = std::string(entry.name) + "/" + SizeName(count);
    benchmark::RegisterBenchmark(name.c_str(), entry.run, count)
        ->Iterations(1)
        ->Repetitions(kRepetitions)
        ->UseManualTime()
        ->Unit(benchmark::kMillisecond);
  }
}

void RegisterScanBenchmarks() {
  static const char* const kKinds[] = {"Synthetic64MB", "AtAt64MB", "Runs64KB_64MB"};
  struct Entry {
    const char* name;
    void (*run)(benchmark::State&, int);
  };
  static const Entry kEntries[] = {
      {"Scan/InMemory", ScanInMemory},
      {"Scan/Streamed", ScanStreamed},
      {"Scan/FromFile", ScanFile},
      {"Scan/MemchrCount", MemchrCount},
  };
  for (int kind = 0; kind < 3; ++kind) {
    for (const Entry& entry : kEntries) {
      const std::string name = std::string(entry.name) + "/" + kKinds[kind];
      benchmark::RegisterBenchmark(name.c_str(), entry.run, kind)
          ->UseRealTime()
          ->MinTime(0.5)
          ->Unit(benchmark::kMillisecond);
    }
  }
}

}  // namespace

int main(int argc, char** argv) {
  bool big = false;
  int kept = 1;
  for (int i = 1; i < argc; ++i) {
    if (std::strcmp(argv[i], "--big") == 0) {
      big = true;
    } else {
      argv[kept++] = argv[i];
    }
  }
  argc = kept;

  std::string pattern = (std::filesystem::temp_directory_path() / "zofrin-bench-XXXXXX").string();
  if (mkdtemp(pattern.data()) == nullptr) {
    std::perror("mkdtemp");
    return 1;
  }
  g_tempDir = pattern;

  RegisterListBenchmarks(1000000);
  if (big) RegisterListBenchmarks(10000000);
  RegisterScanBenchmarks();

  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  std::filesystem::remove_all(g_tempDir);
  return 0;
}
