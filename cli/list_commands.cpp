// The commands that read and write list files: list, union, difference,
// intersection, split, add, remove and export.
#include <algorithm>
#include <cstdint>
#include <deque>
#include <functional>
#include <initializer_list>
#include <string>
#include <vector>

#include "address/address_set.h"
#include "address/export.h"
#include "address/file_io.h"
#include "address/list_file.h"
#include "address/list_ops.h"
#include "address/sorted_list.h"
#include "address/validity.h"
#include "cli/cli_texts.h"
#include "cli/commands.h"
#include "resources/texts.h"

namespace zofrin::cli {
namespace {

// `pattern` with %1, %2, ... replaced by the arguments, in one pass.
std::string Fill(std::string_view pattern, std::initializer_list<std::string_view> arguments) {
  std::string out;
  for (std::size_t i = 0; i < pattern.size(); ++i) {
    if (pattern[i] == '%' && i + 1 < pattern.size() && pattern[i + 1] >= '1' &&
        pattern[i + 1] <= '9' &&
        static_cast<std::size_t>(pattern[i + 1] - '1') < arguments.size()) {
      out += arguments.begin()[pattern[i + 1] - '1'];
      ++i;
    } else {
      out += pattern[i];
    }
  }
  return out;
}

// The number of keys a list file announces, as a hint for reserving room:
// no more than a file of this size can plausibly hold, whatever it claims.
std::size_t CountHint(std::string_view bytes) {
  const auto byte = [&](std::size_t i) {
    return static_cast<std::size_t>(static_cast<unsigned char>(bytes[i]));
  };
  if (bytes.size() < 2) return 0;
  std::size_t count = byte(0) | byte(1) << 8;
  if (count == 0xFFFF) {
    if (bytes.size() < 6) return 0;
    count = byte(2) | byte(3) << 8 | byte(4) << 16 | byte(5) << 24;
  }
  return std::min(count, bytes.size() / 8);
}

enum class IfMissing { kFail, kStartEmpty };

// Reads the list file at `path` into the empty `set`. A missing file is an
// empty list when `ifMissing` allows it. Reports a failure and answers false.
bool ReadList(std::string_view path, AddressSet& set, Cli& cli,
              IfMissing ifMissing = IfMissing::kFail) {
  const ListFileError error = ReadListFile(std::string(path), set);
  if (error.Ok()) return true;
  if (ifMissing == IfMissing::kStartEmpty && error.kind == ListFileError::Kind::kOpen &&
      error.cause == FileErrorCause::kFileNotFound) {
    return true;
  }
  cli.ListError(error);
  return false;
}

// Reads the list file at `path` into a pane, as the lists dialog's Load does.
bool LoadList(std::string_view path, ListPane& pane, Cli& cli) {
  const ListFileError error = LoadPane(pane, std::string(path));
  if (error.Ok()) return true;
  cli.ListError(error);
  return false;
}

void WriteList(std::string_view path, const AddressSet& set, Cli& cli) {
  const ListFileError error = WriteListFile(std::string(path), set);
  if (!error.Ok()) cli.ListError(error, /*writing=*/true);
}

// An operation gives the bytes of the list file it makes of List 1 and
// List 2.
using SetOperation = std::string (*)(const AddressSet&, const AddressSet&);

int RunSetOperation(const Command& command, const Args& args, Cli& cli, SetOperation operation) {
  const auto out = args.Values("-o");
  if (out.empty()) return CommandUsageError(command, "missing -o OUT");
  std::string bytes;
  {
    // List 1 and List 2 go before the result is written, to keep the peak
    // memory down on large lists.
    AddressSet first;
    AddressSet second;
    const bool firstRead = ReadList(args.operands[0], first, cli);
    const bool secondRead = ReadList(args.operands[1], second, cli);
    if (!firstRead || !secondRead) return cli.Finish();
    bytes = operation(first, second);
  }
  ListFileError error;
  error.path = std::string(out[0]);
  error.cause = WriteFileAtomically(error.path, bytes);
  if (error.cause != FileErrorCause::kNone) {
    error.kind = ListFileError::Kind::kIo;
    cli.ListError(error, /*writing=*/true);
  }
  return cli.Finish();
}

}  // namespace

int RunList(const Command&, const Args& args, Cli& cli) {
  ListFileError error;
  error.path = std::string(args.operands[0]);
  std::string bytes;
  bool opened = false;
  error.cause = ReadWholeFile(error.path, bytes, &opened);
  if (error.cause != FileErrorCause::kNone) {
    error.kind = opened ? ListFileError::Kind::kIo : ListFileError::Kind::kOpen;
    cli.ListError(error);
    return cli.Finish();
  }
  // The keys as they first stand in the file; the set decides which keys
  // are the same, exactly as reading the file into a set does. A key is a
  // view into the file's bytes, unless it was a wide string and had to be
  // converted.
  AddressSet seen;
  std::vector<std::string_view> keys;
  std::deque<std::string> converted;
  // A file of no bytes at all is an empty list.
  if (!bytes.empty()) {
    seen.Reserve(CountHint(bytes), bytes.size());
    const char* const begin = bytes.data();
    const char* const end = begin + bytes.size();
    const auto inFile = [&](const char* p) {
      return !std::less<const char*>()(p, begin) && std::less<const char*>()(p, end);
    };
    error.kind = ParseListBytes(bytes, [&](std::string_view key, std::string_view) {
      if (!seen.Store(key, {})) return;
      if (!inFile(key.data())) key = converted.emplace_back(key);
      keys.push_back(key);
    });
  }
  if (!error.Ok()) {
    cli.ListError(error);
    return cli.Finish();
  }
  Output& out = cli.Out();
  if (args.Has("--count")) {
    out.Line(std::to_string(keys.size()));
  } else {
    if (args.Has("--sorted")) {
      std::sort(keys.begin(), keys.end(),
                [](std::string_view a, std::string_view b) { return CompareDisplay(a, b) < 0; });
    }
    for (const std::string_view key : keys) out.Line(key);
  }
  return cli.Finish();
}

int RunUnion(const Command& command, const Args& args, Cli& cli) {
  return RunSetOperation(command, args, cli, UnionListBytes);
}

int RunDifference(const Command& command, const Args& args, Cli& cli) {
  return RunSetOperation(command, args, cli, DifferenceListBytes);
}

int RunIntersection(const Command& command, const Args& args, Cli& cli) {
  return RunSetOperation(command, args, cli, IntersectionListBytes);
}

int RunSplit(const Command& command, const Args& args, Cli& cli) {
  const auto out = args.Values("-o");
  if (out.empty()) return CommandUsageError(command, "missing -o ABOVE BELOW");
  const std::string_view path = args.operands[0];
  const std::string_view address = args.operands[1];
  ListPane source;
  if (!LoadList(path, source, cli)) return cli.Finish();
  const std::size_t index = source.list.FindByteExact(address);
  if (index == SortedAddressList::npos) {
    cli.Error(Fill(cli_texts::kNotInList, {path, address}));
    return cli.Finish();
  }
  source.list.SetSel(true, index);
  ListPane above;
  ListPane below;
  Split(source, above, below);
  WriteList(out[0], above.set, cli);
  WriteList(out[1], below.set, cli);
  return cli.Finish();
}

int RunAdd(const Command&, const Args& args, Cli& cli) {
  const std::string_view path = args.operands[0];
  const bool force = args.Has("--force");
  AddressSet set;
  if (!ReadList(path, set, cli, IfMissing::kStartEmpty)) return cli.Finish();
  bool added = false;
  for (std::size_t i = 1; i < args.operands.size(); ++i) {
    const std::string_view address = args.operands[i];
    // The Add command does nothing with an empty text, whatever it is told.
    if (address.empty() || (!force && !IsValidAddress(address))) {
      cli.Error(std::string(address) + ": " + texts::kInvalidAddressNotice);
      continue;
    }
    // Stored again, a present address keeps its place with an empty value.
    set.Store(address, {});
    added = true;
  }
  if (added) WriteList(path, set, cli);
  return cli.Finish();
}

int RunRemove(const Command&, const Args& args, Cli& cli) {
  const std::string_view path = args.operands[0];
  AddressSet set;
  if (!ReadList(path, set, cli)) return cli.Finish();
  bool removed = false;
  for (std::size_t i = 1; i < args.operands.size(); ++i) {
    removed = set.Remove(args.operands[i]) || removed;
  }
  // Rewriting an unchanged list would still reorder keys that share a
  // bucket, so it is left alone.
  if (removed) WriteList(path, set, cli);
  return cli.Finish();
}

int RunExport(const Command& command, const Args& args, Cli& cli) {
  const bool commas = args.Has("--commas");
  const auto sizeValues = args.Values("--group-size");
  const auto groupValues = args.Values("--group");
  if (sizeValues.empty() != groupValues.empty()) {
    return CommandUsageError(command, "--group-size and --group go together");
  }
  long groupSize = 0;
  long group = 0;
  const bool grouped = !sizeValues.empty();
  if (grouped) {
    if (!ParseCount(sizeValues[0], groupSize) || groupSize < 1 || groupSize > 32767) {
      return CommandUsageError(command, "--group-size needs a whole number from 1 to 32767");
    }
    if (!ParseCount(groupValues[0], group) || group < 1) {
      return CommandUsageError(command, "--group needs a whole number from 1 up");
    }
  }
  const std::string_view path = args.operands[0];
  ListPane pane;
  if (!LoadList(path, pane, cli)) return cli.Finish();
  const SortedAddressList& list = pane.list;
  std::size_t first = 0;
  std::size_t end = list.Count();
  if (grouped) {
    first = static_cast<std::size_t>(group - 1) * static_cast<std::size_t>(groupSize);
    if (first >= list.Count()) {
      cli.Error(Fill(cli_texts::kGroupBeyondList, {path, groupValues[0]}));
      return cli.Finish();
    }
    end = std::min(end, first + static_cast<std::size_t>(groupSize));
  }
  // Exactly the text the copy commands put on the Clipboard.
  if (end > first) cli.Out().Put(RangeText(list, first, end - 1, commas));
  return cli.Finish();
}

}  // namespace zofrin::cli
