// orchard trace: every device call the demo makes for a list of times, as JSON Lines.
#include <cstdio>
#include <vector>

#include "platform/win32/win32.h"
#include "render/recording_device.h"
#include "scenes/frame_driver.h"
#include "tools/args.h"
#include "tools/command.h"
#include "tools/demo_session.h"

namespace orchard {

const Command kTraceCommand{
    "trace",
    "print every device call of the demo at the given times, as JSON Lines",
    "usage: orchard trace [--root DIR] [--show-fps] [--] T...\n"
    "\n"
    "Creates the device and loads the assets on the recording device, then renders a frame\n"
    "for each time T (milliseconds of the demo clock, in the order given, in one process, so\n"
    "state that lives across frames evolves as in a run) and prints one JSON object per\n"
    "device call on standard output. Warnings go to standard error.\n"
    "\n"
    "  --root DIR   the folder whose Data/ holds the meshes and images (default: here)\n"
    "  --show-fps   draw the frame-rate text, as the settings dialog's \"Show FPS\" does\n"
    "  T            a whole number; negative times are frames before the timeline\n",
    RunTrace};

int RunTrace(std::span<const std::string_view> args) {
  const ParsedArgs parsed = ParseArgs(args, {"root"}, {"show-fps"});
  if (!parsed.error.empty()) return UsageError("trace", parsed.error);
  if (parsed.help) {
    std::fputs(kTraceCommand.usage.data(), stdout);
    return kExitOk;
  }
  std::vector<std::int32_t> times;
  for (const auto& text : parsed.positional) {
    const auto t = ParseInteger(text);
    if (!t || *t < INT32_MIN || *t > INT32_MAX) return UsageError("trace", "not a time: " + text);
    times.push_back(static_cast<std::int32_t>(*t));
  }
  if (times.empty()) return UsageError("trace", "no time given");

  auto device = std::make_unique<RecordingDevice>([](const std::string& line) {
    std::fwrite(line.data(), 1, line.size(), stdout);
    std::fputc('\n', stdout);
  });
  RecordingDevice* recorder = device.get();
  win32::SetQuitObserver([recorder](int code) { recorder->RecordPostQuitMessage(code); });

  SessionOptions options;
  options.root = parsed.Value("root");
  options.showFps = parsed.Has("show-fps");
  if (!StartDemoSession("trace", options, std::move(device))) return kExitFailure;

  for (std::int32_t t : times) {
    recorder->RecordFrame(t);
    RenderFrame(t);
  }
  return std::fflush(stdout) == 0 ? kExitOk : kExitFailure;
}

}  // namespace orchard
