// orchard bench: how long the OpenGL device takes per frame of the demo, off-screen,
// against a floor of frames that only clear and present.
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <vector>

#include "app/app_state.h"
#include "platform/d3d8/gl_device.h"
#include "render/display_device.h"
#include "scenes/frame_driver.h"
#include "scenes/scenes.h"
#include "tools/args.h"
#include "tools/command.h"
#include "tools/demo_session.h"

namespace orchard {

const Command kBenchCommand{
    "bench",
    "time the demo's frames on the OpenGL device off-screen, as one JSON line",
    "usage: orchard bench [--root DIR] [--size WxH] [--frames N]\n"
    "\n"
    "Creates the OpenGL device off-screen, loads the assets, renders a warm-up, then N frames\n"
    "spread evenly over the whole timeline, waiting for the GL to finish each one so that\n"
    "the time is the real cost. The floor is the same number of frames that only clear and\n"
    "present, on the same context. Prints one line:\n"
    "  {\"size\":\"800x600\",\"frames\":N,\"median_ms\":…,\"p95_ms\":…,\"fps\":…,\n"
    "   \"floor_median_ms\":…,\"floor_p95_ms\":…,\"ratio\":median_ms/floor_median_ms}\n"
    "\n"
    "  --root DIR    the folder whose Data/ holds the meshes and images (default: here)\n"
    "  --size WxH    the back-buffer size (default: 800x600)\n"
    "  --frames N    frames to time, at least 1 (default: 300)\n",
    RunBench};

namespace {

using Clock = std::chrono::steady_clock;

struct Timing {
  double median = 0;
  double p95 = 0;
};

// Nearest-rank percentiles of the frame times, in milliseconds.
Timing Summarise(std::vector<double> times) {
  std::sort(times.begin(), times.end());
  auto rank = [&](double percent) {
    const auto index = static_cast<std::size_t>(percent / 100.0 * static_cast<double>(times.size()) + 0.999999);
    return times[std::clamp<std::size_t>(index, 1, times.size()) - 1];
  };
  return {rank(50), rank(95)};
}

double Milliseconds(Clock::duration d) { return std::chrono::duration<double, std::milli>(d).count(); }

}  // namespace

int RunBench(std::span<const std::string_view> args) {
  const ParsedArgs parsed = ParseArgs(args, {"root", "size", "frames"}, {});
  if (!parsed.error.empty()) return UsageError("bench", parsed.error);
  if (parsed.help) {
    std::fputs(kBenchCommand.usage.data(), stdout);
    return kExitOk;
  }
  if (!parsed.positional.empty()) return UsageError("bench", "unexpected argument " + parsed.positional[0]);
  SessionOptions options;
  options.root = parsed.Value("root");
  if (const auto size = parsed.Value("size")) {
    const auto wh = ParseSize(*size);
    if (!wh) return UsageError("bench", "not a size: " + *size);
    options.width = wh->first;
    options.height = wh->second;
  }
  int frames = 300;
  if (const auto text = parsed.Value("frames")) {
    const auto n = ParseInteger(*text);
    if (!n || *n < 1 || *n > 1000000) return UsageError("bench", "not a frame count: " + *text);
    frames = static_cast<int>(*n);
  }

  auto device = std::make_unique<d3d8::OpenGlDevice>();
  d3d8::OpenGlDevice* gl = device.get();
  if (!StartDemoSession("bench", options, std::move(device))) return kExitFailure;

  auto timeAt = [&](int i) { return static_cast<std::int32_t>(static_cast<std::int64_t>(i) * kDemoEnd / frames); };
  auto renderAt = [&](std::int32_t t) {
    RestoreSceneStateAt(t);
    RenderFrame(t);
    gl->Finish();
  };
  // Warm-up: one pass over the timeline at a coarse step, so that shader variants and
  // uploads are made before anything is timed.
  for (int i = 0; i < std::min(frames, 30); ++i) renderAt(static_cast<std::int32_t>(i * (kDemoEnd / 30)));

  std::vector<double> frameTimes(static_cast<std::size_t>(frames));
  for (int i = 0; i < frames; ++i) {
    const auto start = Clock::now();
    renderAt(timeAt(i));
    frameTimes[static_cast<std::size_t>(i)] = Milliseconds(Clock::now() - start);
  }
  std::vector<double> floorTimes(static_cast<std::size_t>(frames));
  for (int i = 0; i < frames; ++i) {
    const auto start = Clock::now();
    Device->Clear(0, nullptr, D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER, 0xFF000080, 1.0f, 0);
    Device->BeginScene();
    Device->EndScene();
    Device->Present(nullptr, nullptr, nullptr, nullptr);
    gl->Finish();
    floorTimes[static_cast<std::size_t>(i)] = Milliseconds(Clock::now() - start);
  }

  const Timing frame = Summarise(frameTimes);
  const Timing floor = Summarise(floorTimes);
  std::printf(
      "{\"size\":\"%dx%d\",\"frames\":%d,\"median_ms\":%.3f,\"p95_ms\":%.3f,\"fps\":%.1f,"
      "\"floor_median_ms\":%.3f,\"floor_p95_ms\":%.3f,\"ratio\":%.2f}\n",
      options.width, options.height, frames, frame.median, frame.p95, frame.median > 0 ? 1000.0 / frame.median : 0.0,
      floor.median, floor.p95, floor.median > 0 ? frame.median / floor.median : 0.0);
  return std::fflush(stdout) == 0 ? kExitOk : kExitFailure;
}

}  // namespace orchard
