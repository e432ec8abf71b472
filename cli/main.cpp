// zofrin-cli: the command-line companion of the desktop program. It works on
// the same list files with the same rules, so lists can be scripted.
#include <new>
#include <span>
#include <string>
#include <string_view>

#include "cli/args.h"
#include "cli/cli_texts.h"
#include "cli/commands.h"
#include "cli/output.h"

namespace zofrin::cli {
namespace {

constexpr OptionRule kValidateOptions[] = {{"--invalid", 0}};
constexpr OptionRule kExtractOptions[] = {{"--unique", 0}, {"--sorted", 0}, {"--into", 1}};
constexpr OptionRule kListOptions[] = {{"--sorted", 0}, {"--count", 0}};
constexpr OptionRule kSetOperationOptions[] = {{"-o", 1}};
constexpr OptionRule kSplitOptions[] = {{"-o", 2}};
constexpr OptionRule kAddOptions[] = {{"--force", 0}};
constexpr OptionRule kExportOptions[] = {{"--commas", 0}, {"--group-size", 1}, {"--group", 1}};

const Command kCommands[] = {
    {"validate", kValidateOptions, 0, kAnyNumber, cli_texts::kValidateUsage,
     cli_texts::kValidateHelp, RunValidate},
    {"extract", kExtractOptions, 0, kAnyNumber, cli_texts::kExtractUsage, cli_texts::kExtractHelp,
     RunExtract},
    {"list", kListOptions, 1, 1, cli_texts::kListUsage, cli_texts::kListHelp, RunList},
    {"union", kSetOperationOptions, 2, 2, cli_texts::kUnionUsage, cli_texts::kSetOperationHelp,
     RunUnion},
    {"difference", kSetOperationOptions, 2, 2, cli_texts::kDifferenceUsage,
     cli_texts::kSetOperationHelp, RunDifference},
    {"intersection", kSetOperationOptions, 2, 2, cli_texts::kIntersectionUsage,
     cli_texts::kSetOperationHelp, RunIntersection},
    {"split", kSplitOptions, 2, 2, cli_texts::kSplitUsage, cli_texts::kSplitHelp, RunSplit},
    {"add", kAddOptions, 2, kAnyNumber, cli_texts::kAddUsage, cli_texts::kAddHelp, RunAdd},
    {"remove", {}, 2, kAnyNumber, cli_texts::kRemoveUsage, cli_texts::kRemoveHelp, RunRemove},
    {"export", kExportOptions, 1, 1, cli_texts::kExportUsage, cli_texts::kExportHelp, RunExport},
};

const Command* FindCommand(std::string_view name) {
  for (const Command& command : kCommands) {
    if (command.name == name) return &command;
  }
  return nullptr;
}

int PrintText(std::string_view text) {
  Cli cli;
  cli.Out().Put(text);
  return cli.Finish();
}

int PrintCommandHelp(const Command& command) {
  std::string text = "Usage: ";
  text += command.usage;
  text += "\n\n";
  text += command.help;
  if (command.help.find("Exit status") == std::string_view::npos) text += cli_texts::kExitStatus;
  return PrintText(text);
}

int RunHelp(std::span<char* const> args) {
  if (args.empty()) return PrintText(cli_texts::kHelp);
  if (args.size() > 1) {
    return UsageError("extra operand '" + std::string(args[1]) + "'", cli_texts::kHelpUsage, "");
  }
  const Command* command = FindCommand(args[0]);
  if (command == nullptr) {
    return UsageError("unknown command '" + std::string(args[0]) + "'", cli_texts::kHelpUsage, "");
  }
  return PrintCommandHelp(*command);
}

int Run(int argc, char** argv) {
  const std::span<char* const> all(argv, static_cast<std::size_t>(argc));
  if (all.size() < 2) return UsageError("missing command", "zofrin-cli COMMAND ...", "");
  const std::string_view name = all[1];
  const std::span<char* const> rest = all.subspan(2);
  if (name == "--help" || name == "-h" || name == "help") return RunHelp(rest);
  const Command* command = FindCommand(name);
  if (command == nullptr) {
    return UsageError("unknown command '" + std::string(name) + "'", "zofrin-cli COMMAND ...", "");
  }
  Args args;
  if (const std::string problem = ParseArgs(rest, command->options, args); !problem.empty()) {
    return CommandUsageError(*command, problem);
  }
  if (args.help) return PrintCommandHelp(*command);
  if (args.operands.size() < command->minOperands) {
    return CommandUsageError(*command, "missing operand");
  }
  if (args.operands.size() > command->maxOperands) {
    return CommandUsageError(
        *command, "extra operand '" + std::string(args.operands[command->maxOperands]) + "'");
  }
  Cli cli;
  try {
    return command->run(*command, args, cli);
  } catch (const std::bad_alloc&) {
    cli.Error(cli_texts::kOutOfMemory);
    return cli.Finish();
  }
}

}  // namespace

int CommandUsageError(const Command& command, std::string_view message) {
  return UsageError(message, command.usage, command.name);
}

}  // namespace zofrin::cli

int main(int argc, char** argv) { return zofrin::cli::Run(argc, argv); }
