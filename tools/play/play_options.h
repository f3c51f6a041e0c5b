// The command line of `orchard play`.
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>

#include "platform/d3d8/output_scaling.h"

namespace orchard {

enum class ClockSource { Music, System };

struct PlayOptions {
  std::optional<std::string> root;
  int windowWidth = 1024;
  int windowHeight = 768;
  bool fullscreen = false;
  d3d8::OutputScaling scaling = d3d8::OutputScaling::Fit;
  std::optional<int> msaa;        // samples per pixel; unset: none, or the dialog's choice
  std::optional<int> anisotropy;  // 1..16; unset: none, or the dialog's choice
  bool vsync = true;
  std::optional<ClockSource> clock;  // unset: the music when it plays, else the system
  std::int32_t start = 0;
  std::optional<std::int32_t> to;    // ends there instead of at the demo's end
  bool showFps = false;
  bool sound = true;
  bool dialog = false;
  bool stats = false;
  // A measurement aid: the frame loop sleeps stallMs once the clock has passed stallAt.
  std::optional<std::int32_t> stallAt;
  std::int32_t stallMs = 0;
};

inline constexpr int kMostAnisotropy = 16;
inline constexpr int kMostMsaa = 16;

// The options, or nullopt after printing the mistake (or the usage, for --help: then
// *exitCode is kExitOk, otherwise kExitUsage).
std::optional<PlayOptions> ReadPlayOptions(std::span<const std::string_view> args, std::string_view usage,
                                           int* exitCode);

}  // namespace orchard
