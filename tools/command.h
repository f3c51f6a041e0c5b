// The commands of the orchard tool: one file each, listed in orchard.cpp.
#pragma once

#include <span>
#include <string_view>

namespace orchard {

struct Command {
  std::string_view name;
  std::string_view summary;  // one line for `orchard --help`
  std::string_view usage;    // the whole text of `orchard NAME --help`
  int (*run)(std::span<const std::string_view> args);
};

// Exit codes of every command.
inline constexpr int kExitOk = 0;
inline constexpr int kExitFailure = 1;
inline constexpr int kExitUsage = 2;

int RunTrace(std::span<const std::string_view> args);

extern const Command kTraceCommand;

}  // namespace orchard
