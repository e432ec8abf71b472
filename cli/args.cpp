#include "cli/args.h"

namespace zofrin::cli {

const std::vector<std::string_view>* Args::Find(std::string_view name) const {
  const std::vector<std::string_view>* found = nullptr;
  for (const auto& [optionName, values] : options) {
    if (optionName == name) found = &values;
  }
  return found;
}

std::span<const std::string_view> Args::Values(std::string_view name) const {
  const auto* values = Find(name);
  if (values == nullptr) return {};
  return *values;
}

std::string ParseArgs(std::span<char* const> args, std::span<const OptionRule> rules, Args& out) {
  bool optionsEnded = false;
  for (std::size_t i = 0; i < args.size(); ++i) {
    const std::string_view arg = args[i];
    if (optionsEnded || arg.size() < 2 || arg[0] != '-') {
      out.operands.push_back(arg);
      continue;
    }
    if (arg == "--") {
      optionsEnded = true;
      continue;
    }
    if (arg == "--help" || arg == "-h") {
      out.help = true;
      continue;
    }
    std::string_view name = arg;
    std::string_view inlineValue;
    bool hasInlineValue = false;
    if (arg.starts_with("--")) {
      if (const auto equals = arg.find('='); equals != std::string_view::npos) {
        name = arg.substr(0, equals);
        inlineValue = arg.substr(equals + 1);
        hasInlineValue = true;
      }
    }
    const OptionRule* rule = nullptr;
    for (const OptionRule& candidate : rules) {
      if (candidate.name == name) rule = &candidate;
    }
    if (rule == nullptr) return "unknown option '" + std::string(name) + "'";
    std::vector<std::string_view> values;
    if (hasInlineValue) {
      if (rule->values != 1) return "option '" + std::string(name) + "' takes no '=' value";
      values.push_back(inlineValue);
    } else {
      for (int v = 0; v < rule->values; ++v) {
        if (++i >= args.size()) {
          return "option '" + std::string(name) + "' needs " +
                 (rule->values == 1 ? std::string("a value")
                                    : std::to_string(rule->values) + " values");
        }
        values.push_back(args[i]);
      }
    }
    out.options.emplace_back(rule->name, std::move(values));
  }
  return {};
}

bool ParseCount(std::string_view text, long& out) {
  if (text.empty() || text.size() > 9) return false;
  long value = 0;
  for (const char c : text) {
    if (c < '0' || c > '9') return false;
    value = value * 10 + (c - '0');
  }
  out = value;
  return true;
}

}  // namespace zofrin::cli
