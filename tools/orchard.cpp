// orchard: the tools beside the demo, one command each.
#include <cstdio>
#include <span>
#include <string>
#include <vector>

#include "tools/command.h"

namespace {

const orchard::Command* const kCommands[] = {
    &orchard::kTraceCommand,
    &orchard::kFrameCommand,
    &orchard::kBenchCommand,
    &orchard::kXinfoCommand,
    &orchard::kDatagenCommand,
    &orchard::kSheetCommand,
    &orchard::kCaptureCommand,
    &orchard::kPlayCommand,
};

void PrintHelp() {
  std::puts("usage: orchard COMMAND [OPTIONS] [ARGS]\n\nCommands:");
  for (const auto* command : kCommands)
    std::printf("  %-9.*s %.*s\n", static_cast<int>(command->name.size()), command->name.data(),
                static_cast<int>(command->summary.size()), command->summary.data());
  std::puts("\n`orchard COMMAND --help` explains a command and its options.");
}

}  // namespace

int main(int argc, char** argv) {
  std::vector<std::string_view> args(argv + 1, argv + argc);
  if (args.empty() || args[0] == "--help" || args[0] == "-h" || args[0] == "help") {
    PrintHelp();
    return args.empty() ? orchard::kExitUsage : orchard::kExitOk;
  }
  for (const auto* command : kCommands) {
    if (command->name == args[0])
      return command->run(std::span<const std::string_view>(args).subspan(1));
  }
  std::fprintf(stderr, "orchard: unknown command '%.*s' (see orchard --help)\n",
               static_cast<int>(args[0].size()), args[0].data());
  return orchard::kExitUsage;
}
