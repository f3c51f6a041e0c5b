// A small command-line parser shared by the orchard commands: long options with a value
// (--size 800x600 or --size=800x600), flags, `--` to end the options, and positional
// arguments, where a negative number counts as positional (times may be negative).
#pragma once

#include <cstdint>
#include <map>
#include <optional>
#include <set>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace orchard {

struct ParsedArgs {
  std::map<std::string, std::string, std::less<>> values;  // options that take a value
  std::set<std::string, std::less<>> flags;                // options without one
  std::vector<std::string> positional;
  bool help = false;
  std::string error;  // empty when the arguments are well-formed

  bool Has(std::string_view flag) const { return flags.contains(flag); }
  std::optional<std::string> Value(std::string_view option) const;
};

// valueOptions and flagOptions name the options without their leading dashes.
ParsedArgs ParseArgs(std::span<const std::string_view> args,
                     std::initializer_list<std::string_view> valueOptions,
                     std::initializer_list<std::string_view> flagOptions);

// Whole decimal integers only ("12", "-1"); nothing else.
std::optional<std::int64_t> ParseInteger(std::string_view text);

// "800x600" into width and height, both at least 1.
std::optional<std::pair<int, int>> ParseSize(std::string_view text);

// Prints "orchard COMMAND: message" to standard error and returns the usage exit code.
int UsageError(std::string_view command, std::string_view message);

}  // namespace orchard
