// The parts of `orchard play` that decide things: the clock that follows the music, where
// the data is found, and what the command line accepts.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "tests/support/scoped_working_folder.h"
#include "tools/command.h"
#include "tools/play/data_root.h"
#include "tools/play/frame_pacer.h"
#include "tools/play/play_options.h"
#include "tools/play/playback_clock.h"

namespace {

using orchard::HeardMs;
using orchard::Nanoseconds;
using orchard::PlaybackClock;
namespace fs = std::filesystem;

constexpr Nanoseconds kMs = 1'000'000;

sound::PlaybackPosition Taken(std::int64_t frame, Nanoseconds at) {
  sound::PlaybackPosition position;
  position.frame = frame;
  position.rate = 48000;
  position.takenAtNanoseconds = at;
  position.deviceBufferFrames = 1024;
  return position;
}

TEST(PlaybackClock, HeardMusicAdvancesByExactlyTheFramesTheDeviceTook) {
  const Nanoseconds at = 5'000 * kMs;
  // Each callback of 1024 frames moves the heard position by 1024 / 48 ms.
  for (std::int64_t callbacks : {1, 7, 480, 13'781}) {
    const double before = *HeardMs(Taken(48'000, at), at + kMs);
    const double after = *HeardMs(Taken(48'000 + callbacks * 1024, at), at + kMs);
    EXPECT_NEAR(after - before, callbacks * 1024 * 1000.0 / 48000.0, 1e-6);
  }
  // Between callbacks it moves with the time, for one buffer (21.33 ms) at most.
  EXPECT_DOUBLE_EQ(*HeardMs(Taken(96'000, at), at), 2000.0 - 1024 / 48.0);
  EXPECT_DOUBLE_EQ(*HeardMs(Taken(96'000, at), at + 10 * kMs), 2000.0 - 1024 / 48.0 + 10.0);
  EXPECT_DOUBLE_EQ(*HeardMs(Taken(96'000, at), at + 500 * kMs), 2000.0) << "a late callback stops the clock";

  sound::PlaybackPosition paused = Taken(96'000, at);
  paused.paused = true;
  EXPECT_DOUBLE_EQ(*HeardMs(paused, at + 3 * kMs), 2000.0);
  sound::PlaybackPosition finished = Taken(96'000, at);
  finished.finished = true;
  EXPECT_FALSE(HeardMs(finished, at));
  EXPECT_FALSE(HeardMs(sound::PlaybackPosition{}, at)) << "no stream";
}

TEST(PlaybackClock, FollowsTheMusicThroughAStallAndRunsOnWhenItEnds) {
  const Nanoseconds start = 1'000 * kMs;
  PlaybackClock clock(0.0, start);
  EXPECT_DOUBLE_EQ(clock.Read(start, Taken(0, 0)), 0.0) << "nothing taken yet";
  // The frame loop stalls for 2 s while the device plays on: the next frame shows where the
  // music is, not where the frames were.
  const Nanoseconds afterStall = start + 2'100 * kMs;
  EXPECT_NEAR(clock.Read(afterStall, Taken(100'800 + 1024, afterStall - 5 * kMs)), 2105.0, 1e-9);
  // The file ends: the system clock runs on from the last value.
  sound::PlaybackPosition ended = Taken(200'000, afterStall);
  ended.finished = true;
  EXPECT_NEAR(clock.Read(afterStall + 40 * kMs, ended), 2145.0, 1e-9);
  // It never goes back, even when the music position does not keep up.
  EXPECT_GE(clock.Read(afterStall + 41 * kMs, Taken(0, afterStall)), 2145.0);
}

TEST(PlaybackClock, SeeksPausesAndRunsOnTheSystemClockWithoutMusic) {
  const Nanoseconds start = 1'000 * kMs;
  PlaybackClock clock(60'000.0, start);
  EXPECT_DOUBLE_EQ(clock.Read(start + 250 * kMs, std::nullopt), 60'250.0);

  // After a seek the device still plays what it took before; the clock waits at the target.
  clock.SeekTo(120'000.0, start + 300 * kMs);
  EXPECT_DOUBLE_EQ(clock.Read(start + 301 * kMs, Taken(120 * 48'000, start + 300 * kMs)), 120'000.0);
  EXPECT_NEAR(clock.Read(start + 340 * kMs, Taken(120 * 48'000 + 2048, start + 330 * kMs)),
              120'000.0 + 2048 / 48.0 - 1024 / 48.0 + 10.0, 1e-9);

  const double paused = clock.Read(start + 400 * kMs, std::nullopt);
  clock.SetPaused(true, start + 400 * kMs);
  EXPECT_DOUBLE_EQ(clock.Read(start + 900 * kMs, std::nullopt), paused);
  clock.SetPaused(false, start + 900 * kMs);
  EXPECT_DOUBLE_EQ(clock.Read(start + 950 * kMs, std::nullopt), paused + 50.0);
}

TEST(DataRoot, TheGivenFolderElseHereElseBesideTheProgramElseTheInstalledOne) {
  ScopedWorkingFolder work;
  const fs::path base = fs::current_path();
  for (const char* folder : {"given", "here", "beside", "installed"}) fs::create_directories(base / folder);
  orchard::DataRootSearch search{std::nullopt, base / "here", base / "beside", base / "installed"};
  std::vector<std::string> tried;
  EXPECT_FALSE(orchard::FindDataRoot(search, &tried));
  EXPECT_EQ(tried.size(), 3u) << "every place is named in the error";

  for (const char* folder : {"installed", "beside", "here"}) {
    fs::create_directories(base / folder / "Data");
    EXPECT_EQ(orchard::FindDataRoot(search, &tried), base / folder);
  }
  search.root = base / "given";
  EXPECT_FALSE(orchard::FindDataRoot(search, &tried)) << "a named folder without Data/ is an error, not a hint";
  fs::create_directories(base / "given" / "Data");
  EXPECT_EQ(orchard::FindDataRoot(search, &tried), base / "given");
}

TEST(PlayOptions, DefaultsAndMistakes) {
  int exitCode = -1;
  const auto defaults = orchard::ReadPlayOptions({}, "", &exitCode);
  ASSERT_TRUE(defaults);
  EXPECT_EQ(defaults->scaling, d3d8::OutputScaling::Fit);
  EXPECT_TRUE(defaults->vsync);
  EXPECT_TRUE(defaults->sound);
  EXPECT_FALSE(defaults->clock) << "the music's clock when it plays, decided later";

  const std::vector<std::vector<std::string_view>> kMistakes = {
      {"--scale", "zoom"},        {"--msaa", "17"},           {"--anisotropy", "0"},
      {"--vsync", "maybe"},       {"--clock", "wall"},        {"--start", "294000"},
      {"--start", "-1"},          {"--window", "800"},        {"--window", "800x600", "--fullscreen"},
      {"--start", "5000", "--to", "5000"}, {"--stall", "1000"}, {"extra"},
  };
  for (const auto& args : kMistakes) {
    EXPECT_FALSE(orchard::ReadPlayOptions(args, "", &exitCode)) << args.front();
    EXPECT_EQ(exitCode, orchard::kExitUsage);
  }
  const std::vector<std::string_view> good = {"--scale", "integer", "--start", "61000", "--clock", "system",
                                              "--msaa", "8", "--anisotropy", "16", "--stall", "3000:2000"};
  const auto options = orchard::ReadPlayOptions(good, "", &exitCode);
  ASSERT_TRUE(options);
  EXPECT_EQ(options->scaling, d3d8::OutputScaling::Integer);
  EXPECT_EQ(options->start, 61000);
  EXPECT_EQ(options->clock, orchard::ClockSource::System);
  EXPECT_EQ(options->msaa, 8);
  EXPECT_EQ(options->anisotropy, 16);
  EXPECT_EQ(options->stallAt, 3000);
  EXPECT_EQ(options->stallMs, 2000);
}

}  // namespace

namespace {

// A run of frames through the pacer with made-up render times at 60 Hz; the times at which
// the frames were shown. The swap itself costs 1 ms.
std::vector<Nanoseconds> PacedRun(orchard::FramePacer& pacer, const std::vector<double>& renderMs) {
  std::vector<Nanoseconds> shown;
  Nanoseconds now = 1'000'000 * kMs;
  for (double ms : renderMs) {
    const Nanoseconds planned = pacer.PlanPresent(now);
    const Nanoseconds rendered = now + static_cast<Nanoseconds>(ms * 1e6);
    pacer.FrameRendered(now, rendered);
    const Nanoseconds presented = std::max(planned, rendered) + kMs;
    pacer.FramePresented(presented);
    shown.push_back(presented);
    now = presented;
  }
  return shown;
}

TEST(FramePacer, ShowsFramesAtEvenWholeNumbersOfRefreshes) {
  constexpr double kRefreshMs = 1000.0 / 60.0;
  orchard::FramePacer pacer(60.0, true);
  // Slow first frames (compiles, uploads), then frames of 45 to 60 ms: four refreshes each.
  std::vector<double> renders(5, 400.0);
  for (int i = 0; i < 120; ++i) renders.push_back(45.0 + (i * 7) % 16);
  const auto shown = PacedRun(pacer, renders);
  for (std::size_t i = 60; i < shown.size(); ++i)
    EXPECT_NEAR(static_cast<double>(shown[i] - shown[i - 1]) / 1e6, 4 * kRefreshMs, 0.01) << "frame " << i;

  // Heavier frames: it steps up at once to six refreshes, and down again when they pass.
  const auto heavy = PacedRun(pacer, std::vector<double>(60, 90.0));
  EXPECT_NEAR(static_cast<double>(heavy.back() - heavy[heavy.size() - 2]) / 1e6, 6 * kRefreshMs, 0.01);
  const auto light = PacedRun(pacer, std::vector<double>(80, 10.0));
  EXPECT_NEAR(static_cast<double>(light.back() - light[light.size() - 2]) / 1e6, kRefreshMs, 0.01);
}

TEST(FramePacer, WithoutVsyncFramesGoAtOnceAndThePlanPredictsThem) {
  orchard::FramePacer pacer(60.0, false);
  const auto shown = PacedRun(pacer, std::vector<double>(40, 23.0));
  EXPECT_NEAR(static_cast<double>(shown.back() - shown[shown.size() - 2]) / 1e6, 24.0, 0.01);
  EXPECT_EQ(pacer.PlanPresent(0), 23 * kMs) << "a frame is expected to take what the recent ones took";
}

}  // namespace
