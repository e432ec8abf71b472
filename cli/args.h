// Splits a command's arguments into options and operands.
#pragma once

#include <span>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace zofrin::cli {

struct OptionRule {
  std::string_view name;  // "--unique", "-o"
  int values;             // how many arguments follow it
};

struct Args {
  std::vector<std::string_view> operands;
  bool help = false;

  bool Has(std::string_view name) const { return Find(name) != nullptr; }
  // The values of the option's last occurrence; empty when it was not given.
  std::span<const std::string_view> Values(std::string_view name) const;

  std::vector<std::pair<std::string_view, std::vector<std::string_view>>> options;

 private:
  const std::vector<std::string_view>* Find(std::string_view name) const;
};

// Options may stand anywhere among the operands; "--" ends them, and "-" is
// an operand. A long option with one value also takes the form --name=value.
// "--help" and "-h" ask for help. Answers an empty text, or what is wrong.
std::string ParseArgs(std::span<char* const> args, std::span<const OptionRule> rules, Args& out);

// A decimal number of at most nine digits, no sign; false for anything else.
bool ParseCount(std::string_view text, long& out);

}  // namespace zofrin::cli
