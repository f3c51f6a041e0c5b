// orchard frame: the demo rendered head-less at given times, one PNG file per time.
#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "app/app_state.h"
#include "platform/d3d8/gl_device.h"
#include "scenes/frame_driver.h"
#include "scenes/scenes.h"
#include "tools/args.h"
#include "tools/command.h"
#include "tools/demo_session.h"
#include "tools/png_writer.h"

namespace orchard {

const Command kFrameCommand{
    "frame",
    "render the demo head-less at the given times and write PNG files",
    "usage: orchard frame [--root DIR] [--size WxH] [--show-fps] -o OUT.png [--] T...\n"
    "\n"
    "Creates the OpenGL device off-screen (no display needed), loads the assets and renders\n"
    "the frame of each time T (milliseconds of the demo clock) as a run shows it at that\n"
    "moment, then writes the back buffer as a PNG file: OUT.png for one time, OUT-T.png for\n"
    "each of several. The same arguments always give the same files. Warnings go to\n"
    "standard error.\n"
    "\n"
    "  --root DIR    the folder whose Data/ holds the meshes and images (default: here)\n"
    "  --size WxH    the back-buffer size (default: 800x600)\n"
    "  --show-fps    draw the frame-rate text (it reads 0: a single frame has no rate)\n"
    "  -o, --output  the file to write\n"
    "  T             a whole number; negative times are frames before the timeline\n",
    RunFrame};

namespace {

// Where the picture of time t goes: OUT.png itself for one time, OUT-t.png for several.
std::string OutputFor(const std::string& output, std::int32_t t, bool several) {
  if (!several) return output;
  std::string stem = output;
  if (stem.size() > 4 && stem.compare(stem.size() - 4, 4, ".png") == 0) stem.resize(stem.size() - 4);
  return stem + "-" + std::to_string(t) + ".png";
}

}  // namespace

int RunFrame(std::span<const std::string_view> args) {
  std::vector<std::string_view> spelled(args.begin(), args.end());
  for (auto& arg : spelled)
    if (arg == "-o") arg = "--output";
  const ParsedArgs parsed = ParseArgs(spelled, {"root", "size", "output"}, {"show-fps"});
  if (!parsed.error.empty()) return UsageError("frame", parsed.error);
  if (parsed.help) {
    std::fputs(kFrameCommand.usage.data(), stdout);
    return kExitOk;
  }
  auto output = parsed.Value("output");
  if (!output || output->empty()) return UsageError("frame", "no output file given (-o OUT.png)");
  // The session enters --root; the output stays where the user named it.
  output = std::filesystem::absolute(*output).string();
  SessionOptions options;
  options.root = parsed.Value("root");
  options.showFps = parsed.Has("show-fps");
  if (const auto size = parsed.Value("size")) {
    const auto wh = ParseSize(*size);
    if (!wh) return UsageError("frame", "not a size: " + *size);
    options.width = wh->first;
    options.height = wh->second;
  }
  std::vector<std::int32_t> times;
  for (const auto& text : parsed.positional) {
    const auto t = ParseInteger(text);
    if (!t || *t < INT32_MIN || *t > INT32_MAX) return UsageError("frame", "not a time: " + text);
    times.push_back(static_cast<std::int32_t>(*t));
  }
  if (times.empty()) return UsageError("frame", "no time given");

  auto device = std::make_unique<d3d8::OpenGlDevice>();
  d3d8::OpenGlDevice* gl = device.get();
  if (!StartDemoSession("frame", options, std::move(device))) return kExitFailure;

  d3dx::Image picture;
  for (std::int32_t t : times) {
    // Each frame as a run reaching its time shows it, whatever was rendered before.
    RestoreSceneStateAt(t);
    RenderFrame(t);
    const std::string file = OutputFor(*output, t, times.size() > 1);
    std::string error;
    if (!gl->ReadBackBuffer(picture) || !WritePng(file, picture, false, &error)) {
      std::fprintf(stderr, "orchard frame: cannot write %s: %s\n", file.c_str(), error.c_str());
      return kExitFailure;
    }
  }
  return kExitOk;
}

}  // namespace orchard
