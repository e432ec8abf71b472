// validate and extract: the commands that read plain text.
#include <algorithm>
#include <cstdint>
#include <cstring>
#include <string>
#include <thread>
#include <vector>

#include "address/address_set.h"
#include "address/file_extract.h"
#include "address/file_io.h"
#include "address/file_text.h"
#include "address/list_file.h"
#include "address/scanner.h"
#include "address/sorted_list.h"
#include "address/validity.h"
#include "cli/cli_texts.h"
#include "cli/commands.h"

namespace zofrin::cli {
namespace {

// Calls line(text) for each line of standard input: a line feed ends a line,
// one carriage return before it is dropped, a last line without a line feed
// counts too.
template <class LineFn>
void ForEachInputLine(Cli& cli, LineFn&& line) {
  InputFile input;
  input.OpenStandardInput();
  std::vector<char> buffer(std::size_t{1} << 20);
  std::string partial;  // the start of a line that goes on in the next piece
  auto emit = [&](std::string_view text) {
    if (!text.empty() && text.back() == '\r') text.remove_suffix(1);
    line(text);
  };
  for (;;) {
    FileErrorCause cause = FileErrorCause::kNone;
    const std::size_t got = input.Read(buffer.data(), buffer.size(), cause);
    const char* data = buffer.data();
    std::size_t pos = 0;
    while (pos < got) {
      const void* hit = std::memchr(data + pos, '\n', got - pos);
      if (hit == nullptr) break;
      const std::size_t end = static_cast<std::size_t>(static_cast<const char*>(hit) - data);
      const std::string_view piece(data + pos, end - pos);
      if (partial.empty()) {
        emit(piece);
      } else {
        partial += piece;
        emit(partial);
        partial.clear();
      }
      pos = end + 1;
    }
    partial.append(data + pos, got - pos);
    if (cause != FileErrorCause::kNone) {
      cli.FileError(cause, cli_texts::kStandardInput);
      break;
    }
    if (got < buffer.size()) break;
  }
  if (!partial.empty()) emit(partial);
}

// Scans each source on its own and hands every address found to `sink`, as
// a view valid only during the call. No source means standard input, and so
// does "-". Several files are scanned on as many threads as the machine has
// cores, their addresses handed over in the order of the files; each file's
// addresses wait in memory until their turn. A file that cannot
// be opened or read is reported; the addresses found before a read failure
// stand.
template <class Collector, class Sink, class DeliverFile>
void ScanSources(std::span<const std::string_view> files, Cli& cli, Sink&& sink,
                 DeliverFile&& deliverFile) {
  auto scanStandardInput = [&] {
    StreamScanner scanner;
    InputFile input;
    input.OpenStandardInput();
    const FileErrorCause cause = ScanTextUpToZero(input, scanner, sink);
    if (cause != FileErrorCause::kNone) cli.FileError(cause, cli_texts::kStandardInput);
  };
  if (files.empty()) scanStandardInput();
  const unsigned threads = std::max(1u, std::thread::hardware_concurrency());
  std::vector<std::string> batch;
  auto scanBatch = [&] {
    if (batch.size() == 1) {
      // A single file streams straight through: memory stays bounded however
      // much it holds.
      StreamScanner scanner;
      InputFile file;
      FileErrorCause cause = file.Open(batch[0], /*regularOnly=*/true);
      if (cause == FileErrorCause::kNone) {
        cause = ScanFileText(file, scanner, sink, [](std::size_t) { return true; });
      }
      if (cause != FileErrorCause::kNone) cli.FileError(cause, batch[0]);
      batch.clear();
      return;
    }
    ExtractFromFiles<Collector>(batch, threads, [&](std::size_t index, Collector& result) {
      deliverFile(result);
      if (result.openCause != FileErrorCause::kNone) cli.FileError(result.openCause, batch[index]);
      if (result.readCause != FileErrorCause::kNone) cli.FileError(result.readCause, batch[index]);
    });
    batch.clear();
  };
  for (const std::string_view path : files) {
    if (path == "-") {
      scanBatch();
      scanStandardInput();
    } else {
      batch.emplace_back(path);
    }
  }
  scanBatch();
}

template <class Sink>
void ScanSources(std::span<const std::string_view> files, Cli& cli, Sink&& sink) {
  ScanSources<FileAddresses>(files, cli, sink, [&](FileAddresses& result) {
    for (std::size_t i = 0; i < result.found.Size(); ++i) sink(result.found[i]);
  });
}

// A file's addresses as the lines to print, made on the thread that scans
// the file.
class FileLines final : public FileCollector {
 public:
  // Room for what most files give, so that the text rarely has to move to
  // a larger block while the file is scanned.
  FileLines() { text.reserve(std::size_t{1} << 18); }

  // Running out of memory leaves no line cut short.
  void Add(std::string_view address) override {
    const std::size_t size = text.size();
    try {
      text.append(address);
      text.push_back('\n');
    } catch (...) {
      text.resize(size);
      throw;
    }
  }

  std::string text;

 protected:
  void Clear() override { text.clear(); }
};

// Addresses kept packed in one buffer, to be printed in display order.
class CollectedAddresses {
 public:
  void Add(std::string_view address) {
    m_items.push_back({m_text.size(), static_cast<std::uint32_t>(address.size())});
    m_text.insert(m_text.end(), address.begin(), address.end());
  }

  // Display order is total: two addresses compare equal only when their
  // bytes are equal, so a plain sort gives what a stable one would, and
  // duplicates end up side by side.
  void PrintSorted(Output& out, bool unique) {
    std::sort(m_items.begin(), m_items.end(), [this](const Item& a, const Item& b) {
      return CompareDisplay(View(a), View(b)) < 0;
    });
    std::string_view previous;
    bool first = true;
    for (const Item& item : m_items) {
      const std::string_view text = View(item);
      if (unique && !first && text == previous) continue;
      out.Line(text);
      previous = text;
      first = false;
    }
  }

 private:
  struct Item {
    std::uint64_t offset;
    std::uint32_t length;
  };
  std::string_view View(const Item& item) const {
    return {m_text.data() + item.offset, item.length};
  }

  std::vector<char> m_text;
  std::vector<Item> m_items;
};

int ExtractInto(std::string_view listPath, std::span<const std::string_view> files, Cli& cli) {
  const std::string path(listPath);
  AddressSet set;
  const ListFileError read = ReadListFile(path, set);
  const bool missing =
      read.kind == ListFileError::Kind::kOpen && read.cause == FileErrorCause::kFileNotFound;
  if (!read.Ok() && !missing) {
    cli.ListError(read);
    return cli.Finish();
  }
  std::size_t found = 0;
  std::size_t fresh = 0;
  // The merge leaves in the set what storing each address in turn does: a
  // new key in front of its chain, a known one in its place with an empty
  // value.
  ScanSources(files, cli, [&](std::string_view address) {
    ++found;
    if (set.Store(address, {})) ++fresh;
  });
  const ListFileError written = WriteListFile(path, set);
  if (!written.Ok()) {
    cli.ListError(written, /*writing=*/true);
  } else {
    cli.Out().Put("found " + std::to_string(found) + ", new " + std::to_string(fresh) + ", total " +
                  std::to_string(set.Count()) + "\n");
  }
  return cli.Finish();
}

}  // namespace

int RunValidate(const Command&, const Args& args, Cli& cli) {
  const bool printInvalid = args.Has("--invalid");
  bool allPassed = true;
  auto test = [&](std::string_view text) {
    const bool valid = IsValidAddress(text);
    allPassed = allPassed && valid;
    if (valid != printInvalid) cli.Out().Line(text);
  };
  if (args.operands.empty()) {
    ForEachInputLine(cli, test);
  } else {
    for (const std::string_view text : args.operands) test(text);
  }
  const int status = cli.Finish();
  return status == 0 && !allPassed ? 1 : status;
}

int RunExtract(const Command& command, const Args& args, Cli& cli) {
  const bool unique = args.Has("--unique");
  const bool sorted = args.Has("--sorted");
  const std::span<const std::string_view> files = args.operands;
  if (const auto into = args.Values("--into"); !into.empty()) {
    if (unique || sorted) {
      return CommandUsageError(command, "--into cannot be combined with --unique or --sorted");
    }
    return ExtractInto(into[0], files, cli);
  }
  Output& out = cli.Out();
  if (sorted) {
    CollectedAddresses collected;
    ScanSources(files, cli, [&](std::string_view address) { collected.Add(address); });
    collected.PrintSorted(out, unique);
  } else if (unique) {
    AddressSet seen;
    ScanSources(files, cli, [&](std::string_view address) {
      if (seen.Store(address, {})) out.Line(address);
    });
  } else {
    ScanSources<FileLines>(
        files, cli, [&](std::string_view address) { out.Line(address); },
        [&](FileLines& lines) { out.Put(lines.text); });
  }
  return cli.Finish();
}

}  // namespace zofrin::cli
