// The commands of zofrin-cli. Each answers the process's exit status.
#pragma once

#include <cstddef>
#include <span>
#include <string_view>

#include "cli/args.h"
#include "cli/output.h"

namespace zofrin::cli {

struct Command;
using CommandRun = int (*)(const Command& command, const Args& args, Cli& cli);

struct Command {
  std::string_view name;
  std::span<const OptionRule> options;
  std::size_t minOperands;
  std::size_t maxOperands;
  std::string_view usage;
  std::string_view help;
  CommandRun run;
};

inline constexpr std::size_t kAnyNumber = static_cast<std::size_t>(-1);

// A usage error of `command`.
int CommandUsageError(const Command& command, std::string_view message);

int RunValidate(const Command& command, const Args& args, Cli& cli);
int RunExtract(const Command& command, const Args& args, Cli& cli);
int RunList(const Command& command, const Args& args, Cli& cli);
int RunUnion(const Command& command, const Args& args, Cli& cli);
int RunDifference(const Command& command, const Args& args, Cli& cli);
int RunIntersection(const Command& command, const Args& args, Cli& cli);
int RunSplit(const Command& command, const Args& args, Cli& cli);
int RunAdd(const Command& command, const Args& args, Cli& cli);
int RunRemove(const Command& command, const Args& args, Cli& cli);
int RunExport(const Command& command, const Args& args, Cli& cli);

}  // namespace zofrin::cli
