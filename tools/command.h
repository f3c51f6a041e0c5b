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
int RunFrame(std::span<const std::string_view> args);
int RunBench(std::span<const std::string_view> args);
int RunXinfo(std::span<const std::string_view> args);
int RunDatagen(std::span<const std::string_view> args);
int RunSheet(std::span<const std::string_view> args);
int RunCapture(std::span<const std::string_view> args);
int RunPlay(std::span<const std::string_view> args);

extern const Command kTraceCommand;
extern const Command kFrameCommand;
extern const Command kBenchCommand;
extern const Command kXinfoCommand;
extern const Command kDatagenCommand;
extern const Command kSheetCommand;
extern const Command kCaptureCommand;
extern const Command kPlayCommand;

}  // namespace orchard
