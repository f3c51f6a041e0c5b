#include "tools/play/play_options.h"

#include <cstdio>

#include "scenes/frame_driver.h"
#include "tools/args.h"
#include "tools/command.h"

namespace orchard {

namespace {

std::optional<int> WholeIn(const std::optional<std::string>& text, int least, int most) {
  const auto n = text ? ParseInteger(*text) : std::nullopt;
  if (!n || *n < least || *n > most) return std::nullopt;
  return static_cast<int>(*n);
}

}  // namespace

std::optional<PlayOptions> ReadPlayOptions(std::span<const std::string_view> args, std::string_view usage,
                                           int* exitCode) {
  const ParsedArgs parsed = ParseArgs(args,
                                      {"root", "window", "scale", "msaa", "anisotropy", "vsync", "clock", "start",
                                       "to", "stall"},
                                      {"fullscreen", "show-fps", "no-sound", "dialog", "stats"});
  *exitCode = kExitUsage;
  auto mistake = [](const std::string& message) -> std::optional<PlayOptions> {
    UsageError("play", message);
    return std::nullopt;
  };
  if (!parsed.error.empty()) return mistake(parsed.error);
  if (parsed.help) {
    std::fwrite(usage.data(), 1, usage.size(), stdout);
    *exitCode = kExitOk;
    return std::nullopt;
  }
  if (!parsed.positional.empty()) return mistake("unexpected argument " + parsed.positional.front());

  PlayOptions options;
  options.root = parsed.Value("root");
  options.fullscreen = parsed.Has("fullscreen");
  options.showFps = parsed.Has("show-fps");
  options.sound = !parsed.Has("no-sound");
  options.dialog = parsed.Has("dialog");
  options.stats = parsed.Has("stats");
  if (const auto window = parsed.Value("window")) {
    if (options.fullscreen) return mistake("--window and --fullscreen exclude each other");
    const auto size = ParseSize(*window);
    if (!size) return mistake("not a size: " + *window);
    options.windowWidth = size->first;
    options.windowHeight = size->second;
  }
  if (const auto scale = parsed.Value("scale")) {
    if (*scale == "fit") options.scaling = d3d8::OutputScaling::Fit;
    else if (*scale == "stretch") options.scaling = d3d8::OutputScaling::Stretch;
    else if (*scale == "integer") options.scaling = d3d8::OutputScaling::Integer;
    else return mistake("--scale is fit, stretch or integer, not " + *scale);
  }
  if (const auto msaa = parsed.Value("msaa")) {
    options.msaa = WholeIn(msaa, 0, kMostMsaa);
    if (!options.msaa) return mistake("--msaa takes a whole number from 0 to " + std::to_string(kMostMsaa));
  }
  if (const auto anisotropy = parsed.Value("anisotropy")) {
    options.anisotropy = WholeIn(anisotropy, 1, kMostAnisotropy);
    if (!options.anisotropy)
      return mistake("--anisotropy takes a whole number from 1 to " + std::to_string(kMostAnisotropy));
  }
  if (const auto vsync = parsed.Value("vsync")) {
    if (*vsync != "on" && *vsync != "off") return mistake("--vsync is on or off, not " + *vsync);
    options.vsync = *vsync == "on";
  }
  if (const auto clock = parsed.Value("clock")) {
    if (*clock == "music") options.clock = ClockSource::Music;
    else if (*clock == "system") options.clock = ClockSource::System;
    else return mistake("--clock is music or system, not " + *clock);
  }
  if (const auto start = parsed.Value("start")) {
    const auto ms = WholeIn(start, 0, kDemoEnd - 1);
    if (!ms) return mistake("--start takes a time from 0 to " + std::to_string(kDemoEnd - 1) + " ms");
    options.start = *ms;
  }
  if (const auto to = parsed.Value("to")) {
    options.to = WholeIn(to, 1, kDemoEnd);
    if (!options.to || *options.to <= options.start) return mistake("--to takes a time after --start, up to " + std::to_string(kDemoEnd));
  }
  if (const auto stall = parsed.Value("stall")) {
    const auto colon = stall->find(':');
    const auto at = WholeIn(stall->substr(0, colon), 0, kDemoEnd);
    const auto ms = colon == std::string::npos ? std::nullopt : WholeIn(stall->substr(colon + 1), 1, 60000);
    if (!at || !ms) return mistake("--stall takes AT:MS, a demo time and a pause of up to 60000 ms");
    options.stallAt = *at;
    options.stallMs = *ms;
  }
  return options;
}

}  // namespace orchard
