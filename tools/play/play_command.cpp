// orchard play: the demo for today's screens. The same scenes, device and data as the
// program itself, with a front end that keeps 4:3 on any screen without a mode switch,
// renders at the screen's real pixel size, paces frames evenly, follows the music's own
// clock, seeks and pauses, and never stops for a modal box.
#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <memory>
#include <thread>

#include "app/app_state.h"
#include "app/settings_dialog.h"
#include "platform/d3d8/gl_device.h"
#include "render/display_device.h"
#include "resources/program_resources.h"
#include "resources/resource_ids.h"
#include "scenes/frame_driver.h"
#include "scenes/scenes.h"
#include "tools/command.h"
#include "tools/demo_session.h"
#include "tools/play/data_root.h"
#include "tools/play/frame_pacer.h"
#include "tools/play/frame_statistics.h"
#include "tools/play/play_options.h"
#include "tools/play/play_window.h"
#include "tools/play/playback_clock.h"
#include "tools/play/player_music.h"

namespace orchard {

const Command kPlayCommand{
    "play",
    "play the demo on today's screens: any size, full screen without a mode switch",
    "usage: orchard play [--root DIR] [--window WxH | --fullscreen] [--scale fit|stretch|integer]\n"
    "                    [--msaa N] [--anisotropy N] [--vsync on|off] [--clock music|system]\n"
    "                    [--start MS] [--to MS] [--show-fps] [--no-sound] [--dialog] [--stats]\n"
    "\n"
    "Plays the demo with its music. The scenes are rendered at the real pixel size of the\n"
    "window or screen and always see a 4:3 picture.\n"
    "\n"
    "  --root DIR        the folder whose Data/ holds the demo's files; without it: the current\n"
    "                    folder, else the executable's, else the installed data folder\n"
    "  --window WxH      a window whose inside is that size (default 1024x768)\n"
    "  --fullscreen      cover the desktop at its own resolution (no mode switch)\n"
    "  --scale MODE      fit: 4:3 with black bars (default); stretch: fill the screen;\n"
    "                    integer: 640x480 times the largest whole factor that fits\n"
    "  --msaa N          samples per pixel, up to what the driver offers (default none)\n"
    "  --anisotropy N    anisotropic texture filtering from 1 to 16 (default none)\n"
    "  --vsync on|off    wait for the display and pace frames evenly (default on)\n"
    "  --clock SOURCE    music: follow the samples the sound card has played (the default\n"
    "                    when there is music); system: the monotonic system clock\n"
    "  --start MS        begin there, music included; --to MS: end there\n"
    "  --show-fps        the frame rate in the corner, as the settings dialog offers\n"
    "  --no-sound        play without music\n"
    "  --dialog          ask with the demo's own settings dialog first\n"
    "  --stats           report frame times and the picture-to-music offset at the end\n"
    "  --stall AT:MS     (for measuring) stop the frame loop for MS once the clock passes AT\n"
    "\n"
    "Keys: Space pauses, Left and Right jump 5 s, F toggles full screen, Esc quits.\n"
    "Without a sound device or the music file: one line on standard error and a silent run.\n",
    RunPlay};

namespace {

constexpr std::int32_t kSeekStepMs = 5000;

// The demo's own settings dialog, its choices taken where the command line said nothing.
// False when it was closed.
bool AskWithTheDialog(PlayOptions& options) {
  resources::RegisterProgramResources();
  DialogBoxParamA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(kSettingsDialogId), nullptr, SettingsDialogProc, 0);
  if (CloseRequested) return false;
  options.windowWidth = DisplaySettings.width;
  options.windowHeight = DisplaySettings.height;
  options.fullscreen = options.fullscreen || DisplaySettings.fullscreen;
  if (!options.msaa && DisplaySettings.fsaa) options.msaa = 2;
  if (!options.anisotropy && DisplaySettings.anisotropic) options.anisotropy = 2;
  options.showFps = options.showFps || showFps;
  DisplaySettings.fullscreen = false;  // the player never switches the display's mode
  DisplaySettings.fsaa = false;
  return true;
}

double RefreshRateOfTheDisplay() {
  D3DDISPLAYMODE mode{};
  if (Direct3D != nullptr && SUCCEEDED(Direct3D->GetAdapterDisplayMode(D3DADAPTER_DEFAULT, &mode)) &&
      mode.RefreshRate > 0)
    return mode.RefreshRate;
  return 60.0;
}

// The frame loop and what it keeps between frames.
class Player {
 public:
  Player(const PlayOptions& options, PlayerMusic& music, FramePacer& pacer, bool followMusic)
      : options_(options),
        music_(music),
        pacer_(pacer),
        followMusic_(followMusic),
        end_(options.to.value_or(kDemoEnd)),
        clock_(options.start, SteadyNow()) {}

  // Plays until the end, Esc or the close box.
  void Run() {
    RestoreSceneStateAt(options_.start);
    music_.Start();
    secondStartedAt_ = SteadyNow();
    while (TakeMessages() && Steer()) {
      if (!RenderOne()) break;
      if (clock_.paused()) std::this_thread::sleep_for(std::chrono::milliseconds(15));
    }
    if (options_.stats) statistics_.Print(stderr);
  }

  Nanoseconds frameBegunAt() const { return frameBegunAt_; }

 private:
  // False once the quit was taken.
  bool TakeMessages() {
    MSG msg;
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
      if (msg.message == WM_QUIT) return false;
      TranslateMessage(&msg);
      DispatchMessageA(&msg);
    }
    return true;
  }

  std::optional<sound::PlaybackPosition> MusicPosition() const {
    return followMusic_ ? music_.Position() : std::nullopt;
  }

  // The keys; false to quit.
  bool Steer() {
    const PlayerInput input = TakePlayerInput();
    if (input.quit) return false;
    const Nanoseconds now = SteadyNow();
    if (input.toggleFullscreen) win32::SetDesktopFullscreen(MainWindow, !win32::IsDesktopFullscreen(MainWindow));
    if (input.togglePause) {
      clock_.SetPaused(!clock_.paused(), now);
      music_.SetPaused(clock_.paused());
    }
    if (input.seekSteps != 0) {
      const double here = clock_.Read(now, MusicPosition());
      const auto target = static_cast<std::int32_t>(
          std::clamp<double>(here + input.seekSteps * kSeekStepMs, 0.0, static_cast<double>(end_ - 1)));
      music_.SeekTo(target);
      clock_.SeekTo(target, now);
      RestoreSceneStateAt(target);
    }
    return true;
  }

  // One frame; false when the span given with --to is over.
  bool RenderOne() {
    const Nanoseconds now = SteadyNow();
    const Nanoseconds presentAt = clock_.paused() ? now : pacer_.PlanPresent(now);
    // The frame shows the moment it will be on the screen.
    const double ms = clock_.Read(now, MusicPosition()) + static_cast<double>(presentAt - now) / 1e6;
    const auto t = static_cast<std::int32_t>(std::min<double>(std::floor(ms), kDemoEnd));
    if (t >= end_ && end_ < kDemoEnd) return false;

    frameBegunAt_ = now;
    DemoClock = t;
    RenderFrame(t);  // at the demo's end this posts the quit
    ++FrameCounter;
    const Nanoseconds presented = SteadyNow();
    pacer_.FramePresented(presented);

    if (options_.stats) Measure(t, ms, presented);

    if (presented - secondStartedAt_ >= 1'000'000'000) {  // what the one-second timer does
      FpsValue = FrameCounter;
      FrameCounter = 0;
      secondStartedAt_ = presented;
    }
    if (options_.stallAt && !stalled_ && ms >= *options_.stallAt) {
      stalled_ = true;
      std::this_thread::sleep_for(std::chrono::milliseconds(options_.stallMs));
      statistics_.MarkEvent();
    }
    return true;
  }

  // For --stats: the frame's time on screen, and how far its clock was from the music
  // heard when it appeared.
  void Measure(std::int32_t t, double ms, Nanoseconds presented) {
    const double frameMs = lastPresented_ == 0 ? 0.0 : static_cast<double>(presented - lastPresented_) / 1e6;
    lastPresented_ = presented;
    std::optional<double> offset;
    if (const auto position = music_.Position(); position && !clock_.paused()) {
      if (const auto heard = HeardMs(*position, presented)) offset = ms - *heard;
    }
    statistics_.Add(t, frameMs, offset ? &*offset : nullptr);
  }

  const PlayOptions& options_;
  PlayerMusic& music_;
  FramePacer& pacer_;
  const bool followMusic_;
  const std::int32_t end_;
  PlaybackClock clock_;
  FrameStatistics statistics_;
  Nanoseconds frameBegunAt_ = 0;
  Nanoseconds lastPresented_ = 0;
  Nanoseconds secondStartedAt_ = 0;
  bool stalled_ = false;
};

}  // namespace

int RunPlay(std::span<const std::string_view> args) {
  int exitCode = kExitOk;
  auto options = ReadPlayOptions(args, kPlayCommand.usage, &exitCode);
  if (!options) return exitCode;

  std::vector<std::string> tried;
  const auto root = FindDataRoot(DefaultDataRootSearch(options->root), &tried);
  if (!root) {
    std::string places;
    for (const auto& place : tried) places += "\n  " + place;
    std::fprintf(stderr, "orchard play: no Data folder in any of:%s\n(`orchard datagen DIR` makes one in DIR)\n",
                 places.c_str());
    return kExitFailure;
  }
  if (options->dialog && !AskWithTheDialog(*options)) return kExitOk;

  MainWindow = CreatePlayerWindow(options->windowWidth, options->windowHeight, options->fullscreen);
  if (MainWindow == nullptr) return kExitFailure;

  // Only a guess until the device is up; the pacer is told the display's rate below.
  auto pacer = std::make_unique<FramePacer>(60.0, options->vsync);
  Player* player = nullptr;
  auto device = std::make_unique<d3d8::OpenGlDevice>();
  const d3d8::OpenGlDevice* gl = device.get();
  d3d8::OpenGlDevice::OutputPolicy policy;
  policy.scaling = options->scaling;
  policy.followDrawable = true;
  policy.vsync = options->vsync;
  policy.samples = options->msaa.value_or(0);
  policy.beforeSwap = [&pacer, &player] {
    if (player == nullptr) return;
    pacer->FrameRendered(player->frameBegunAt(), SteadyNow());
    pacer->WaitForSlot();
  };
  device->SetOutputPolicy(policy);

  SessionOptions session;
  session.root = root->string();
  session.width = options->windowWidth;
  session.height = options->windowHeight;
  session.showFps = options->showFps;
  session.anisotropic = options->anisotropy.value_or(1) > 1;
  if (!StartDemoSession("play", session, std::move(device))) return kExitFailure;
  if (options->msaa.value_or(0) > 1 && gl->BackBufferSamples() < *options->msaa)
    std::fprintf(stderr, "orchard play: %d samples per pixel asked for; the driver gives %d\n", *options->msaa,
                 gl->BackBufferSamples());
  if (options->anisotropy.value_or(1) > 1)
    Device->SetTextureStageState(0, D3DTSS_MAXANISOTROPY, static_cast<DWORD>(*options->anisotropy));
  pacer = std::make_unique<FramePacer>(RefreshRateOfTheDisplay(), options->vsync);

  PlayerMusic music;
  const bool musicPlays = options->sound && music.Open(options->start);
  if (options->clock == ClockSource::Music && !musicPlays)
    std::fprintf(stderr, "orchard play: no music to follow; the system clock keeps time\n");
  const bool followMusic = musicPlays && options->clock.value_or(ClockSource::Music) == ClockSource::Music;

  Player playing(*options, music, *pacer, followMusic);
  player = &playing;
  playing.Run();
  return kExitOk;
}

}  // namespace orchard
