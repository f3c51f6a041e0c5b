// orchard sheet: frames of the demo at several times on one contact sheet, each with its time.
#include <cstdio>
#include <string>
#include <vector>

#include "platform/d3d8/gl_device.h"
#include "scenes/frame_driver.h"
#include "scenes/scenes.h"
#include "tools/args.h"
#include "tools/command.h"
#include "tools/contact_sheet.h"
#include "tools/demo_session.h"
#include "tools/png_writer.h"

namespace orchard {

const Command kSheetCommand{
    "sheet",
    "render the demo at several times onto one contact sheet (PNG)",
    "usage: orchard sheet [--root DIR] [--size WxH] [--cols N] -o SHEET.png [--] T...\n"
    "\n"
    "Creates the OpenGL device off-screen, loads the assets and renders the frame of each\n"
    "time T (milliseconds of the demo clock) as `orchard frame` does, then lays the frames\n"
    "out in a grid, in the order given, with each time written under its frame.\n"
    "\n"
    "  --root DIR    the folder whose Data/ holds the meshes and images (default: here)\n"
    "  --size WxH    the size of each frame (default: 320x240)\n"
    "  --cols N      frames per row (default: 4)\n"
    "  -o, --output  the PNG file to write\n"
    "  T             a whole number of milliseconds\n",
    RunSheet};

namespace {

std::string Caption(std::int32_t t) {
  char text[64];
  std::snprintf(text, sizeof text, "%d ms  (%.1f s)", t, t / 1000.0);
  return text;
}

}  // namespace

int RunSheet(std::span<const std::string_view> args) {
  std::vector<std::string_view> spelled(args.begin(), args.end());
  for (auto& arg : spelled)
    if (arg == "-o") arg = "--output";
  const ParsedArgs parsed = ParseArgs(spelled, {"root", "size", "cols", "output"}, {});
  if (!parsed.error.empty()) return UsageError("sheet", parsed.error);
  if (parsed.help) {
    std::fputs(kSheetCommand.usage.data(), stdout);
    return kExitOk;
  }
  const auto output = parsed.Value("output");
  if (!output || output->empty()) return UsageError("sheet", "no output file given (-o SHEET.png)");
  SessionOptions options;
  options.root = parsed.Value("root");
  options.width = 320;
  options.height = 240;
  if (const auto size = parsed.Value("size")) {
    const auto wh = ParseSize(*size);
    if (!wh) return UsageError("sheet", "not a size: " + *size);
    options.width = wh->first;
    options.height = wh->second;
  }
  int columns = 4;
  if (const auto cols = parsed.Value("cols")) {
    const auto n = ParseInteger(*cols);
    if (!n || *n < 1 || *n > 64) return UsageError("sheet", "not a column count: " + *cols);
    columns = static_cast<int>(*n);
  }
  std::vector<std::int32_t> times;
  for (const auto& text : parsed.positional) {
    const auto t = ParseInteger(text);
    if (!t || *t < INT32_MIN || *t > INT32_MAX) return UsageError("sheet", "not a time: " + text);
    times.push_back(static_cast<std::int32_t>(*t));
  }
  if (times.empty()) return UsageError("sheet", "no time given");

  auto device = std::make_unique<d3d8::OpenGlDevice>();
  d3d8::OpenGlDevice* gl = device.get();
  if (!StartDemoSession("sheet", options, std::move(device))) return kExitFailure;

  std::vector<d3dx::Image> frames;
  std::vector<std::string> captions;
  for (std::int32_t t : times) {
    RestoreSceneStateAt(t);
    RenderFrame(t);
    d3dx::Image frame;
    if (!gl->ReadBackBuffer(frame)) {
      std::fprintf(stderr, "orchard sheet: cannot read the frame at %d\n", t);
      return kExitFailure;
    }
    frames.push_back(std::move(frame));
    captions.push_back(Caption(t));
  }
  std::string error;
  if (!WritePng(*output, ContactSheet(frames, captions, columns), false, &error)) {
    std::fprintf(stderr, "orchard sheet: cannot write %s: %s\n", output->c_str(), error.c_str());
    return kExitFailure;
  }
  return kExitOk;
}

}  // namespace orchard
