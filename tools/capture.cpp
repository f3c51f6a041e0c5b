// orchard capture: the demo rendered head-less at a fixed frame rate and written as a video
// with its music, or as numbered PNG files with the music beside them.
#include <signal.h>
#include <unistd.h>

#include <cctype>
#include <csignal>
#include <cstring>
#include <cstdio>
#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "platform/d3d8/gl_device.h"
#include "platform/win32/path.h"
#include "scenes/frame_driver.h"
#include "scenes/scenes.h"
#include "tools/args.h"
#include "tools/audio_span.h"
#include "tools/box_filter.h"
#include "tools/command.h"
#include "tools/demo_session.h"
#include "tools/frame_clock.h"
#include "tools/png_writer.h"
#include "tools/progress_meter.h"
#include "tools/video_encoder.h"

namespace orchard {

const Command kCaptureCommand{
    "capture",
    "render the demo at a fixed frame rate into a video with its music",
    "usage: orchard capture -o OUT [--root DIR] [--fps RATE] [--size WxH] [--supersample N]\n"
    "                       [--from MS] [--to MS]\n"
    "\n"
    "Renders the demo off-screen (no display needed) at a fixed step: frame k shows the demo\n"
    "clock at FROM + floor(k * 1000 / RATE) ms, for every such time before TO. The music is\n"
    "decoded and cut to the same span, so that picture and sound start together.\n"
    "\n"
    "OUT ending in .mp4: an H.264 (High, yuv420p) video with the music as AAC at 48 kHz,\n"
    "encoded by the ffmpeg program ($ORCHARD_FFMPEG, else ffmpeg from the PATH).\n"
    "Any other OUT: a folder with frame_000000.png, frame_000001.png, ... and music.wav.\n"
    "\n"
    "Ctrl+C stops after the current frame and leaves a complete, playable result of the\n"
    "frames done, with the music cut to them (exit code 130). The same arguments always give\n"
    "the same frames. Without the music file the audio is silence of the right length.\n"
    "\n"
    "  -o, --output       the video file or folder to write\n"
    "  --root DIR         the folder whose Data/ holds the demo's files (default: here)\n"
    "  --fps RATE         frames per second, whole or a fraction such as 60000/1001 (default 60)\n"
    "  --size WxH         the picture size (default 1440x1080; even numbers for .mp4)\n"
    "  --supersample N    render at N times the size and average each N x N block (default 1)\n"
    "  --from MS          the demo time of the first frame (default 0)\n"
    "  --to MS            the end of the span, not included (default 294000: the whole demo)\n",
    RunCapture};

namespace {

constexpr int kExitInterrupted = 130;
constexpr int kMostSupersample = 8;
constexpr int kLargestRenderSide = 16384;

namespace fs = std::filesystem;

volatile std::sig_atomic_t stopRequested = 0;

void RequestStop(int) { stopRequested = 1; }

// While a capture runs, the first Ctrl+C (or SIGTERM) asks it to stop after the current
// frame; a second one ends the program at once as usual. A closed pipe is reported by
// write() rather than by a signal.
class StopSignals {
 public:
  StopSignals() {
    stopRequested = 0;
    struct sigaction stop {};
    stop.sa_handler = RequestStop;
    stop.sa_flags = SA_RESETHAND | SA_RESTART;
    sigemptyset(&stop.sa_mask);
    sigaction(SIGINT, &stop, &oldInt_);
    sigaction(SIGTERM, &stop, &oldTerm_);
    struct sigaction ignore {};
    ignore.sa_handler = SIG_IGN;
    sigemptyset(&ignore.sa_mask);
    sigaction(SIGPIPE, &ignore, &oldPipe_);
  }
  ~StopSignals() {
    sigaction(SIGINT, &oldInt_, nullptr);
    sigaction(SIGTERM, &oldTerm_, nullptr);
    sigaction(SIGPIPE, &oldPipe_, nullptr);
  }
  StopSignals(const StopSignals&) = delete;
  StopSignals& operator=(const StopSignals&) = delete;

 private:
  struct sigaction oldInt_ {}, oldTerm_ {}, oldPipe_ {};
};

// A file that is removed when this goes away, unless it was kept.
class TemporaryFile {
 public:
  explicit TemporaryFile(fs::path path = {}) : path_(std::move(path)) {}
  ~TemporaryFile() {
    std::error_code ignored;
    if (!path_.empty()) fs::remove(path_, ignored);
  }
  TemporaryFile(const TemporaryFile&) = delete;
  TemporaryFile& operator=(const TemporaryFile&) = delete;
  const fs::path& path() const { return path_; }

 private:
  fs::path path_;
};

// A fresh, empty file in the temporary folder.
fs::path MakeTemporaryPath(const char* suffix) {
  std::string pattern = (fs::temp_directory_path() / "orchard-capture-XXXXXX").string() + suffix;
  const int fd = mkstemps(pattern.data(), static_cast<int>(std::strlen(suffix)));
  if (fd < 0) return {};
  close(fd);
  return pattern;
}

void Warn(const std::string& text) { std::fprintf(stderr, "orchard capture: warning: %s\n", text.c_str()); }

struct CaptureOptions {
  fs::path output;
  bool video = false;  // MP4; otherwise a folder of PNG files
  std::optional<std::string> root;
  FrameRate rate;
  int width = 1440;
  int height = 1080;
  int supersample = 1;
  std::int32_t from = 0;
  std::int32_t to = kDemoEnd;
};

bool EndsWithMp4(const std::string& name) {
  if (name.size() < 4) return false;
  std::string tail = name.substr(name.size() - 4);
  for (char& c : tail) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return tail == ".mp4";
}

// Reads the options; on a mistake prints it and returns the usage exit code in *exitCode.
std::optional<CaptureOptions> ReadOptions(std::span<const std::string_view> args, int* exitCode) {
  std::vector<std::string_view> spelled(args.begin(), args.end());
  for (auto& arg : spelled)
    if (arg == "-o") arg = "--output";
  const ParsedArgs parsed =
      ParseArgs(spelled, {"output", "root", "fps", "size", "supersample", "from", "to"}, {});
  *exitCode = kExitUsage;
  auto usage = [](const std::string& message) {
    UsageError("capture", message);
    return std::nullopt;
  };
  if (!parsed.error.empty()) return usage(parsed.error);
  if (parsed.help) {
    std::fputs(kCaptureCommand.usage.data(), stdout);
    *exitCode = kExitOk;
    return std::nullopt;
  }
  if (!parsed.positional.empty()) return usage("unexpected argument " + parsed.positional.front());
  CaptureOptions options;
  const auto output = parsed.Value("output");
  if (!output || output->empty()) return usage("no output given (-o OUT.mp4 or -o FOLDER)");
  // Made absolute now: the session goes into --root before anything is written.
  options.output = fs::absolute(*output);
  options.video = EndsWithMp4(*output);
  options.root = parsed.Value("root");
  if (const auto fps = parsed.Value("fps")) {
    const auto rate = ParseFrameRate(*fps);
    if (!rate) return usage("not a frame rate: " + *fps);
    options.rate = *rate;
  }
  if (const auto size = parsed.Value("size")) {
    const auto wh = ParseSize(*size);
    if (!wh) return usage("not a size: " + *size);
    options.width = wh->first;
    options.height = wh->second;
  }
  if (const auto factor = parsed.Value("supersample")) {
    const auto n = ParseInteger(*factor);
    if (!n || *n < 1 || *n > kMostSupersample)
      return usage("--supersample takes a whole number from 1 to " + std::to_string(kMostSupersample));
    options.supersample = static_cast<int>(*n);
  }
  if (static_cast<std::int64_t>(options.width) * options.supersample > kLargestRenderSide ||
      static_cast<std::int64_t>(options.height) * options.supersample > kLargestRenderSide)
    return usage("size times supersample exceeds " + std::to_string(kLargestRenderSide) + " pixels");
  for (const char* name : {"from", "to"}) {
    const auto text = parsed.Value(name);
    if (!text) continue;
    const auto t = ParseInteger(*text);
    if (!t || *t < INT32_MIN || *t > INT32_MAX) return usage("not a time: " + *text);
    (std::string_view(name) == "from" ? options.from : options.to) = static_cast<std::int32_t>(*t);
  }
  if (options.to <= options.from) return usage("--to must come after --from");
  if (options.video && (options.width % 2 != 0 || options.height % 2 != 0))
    return usage("an MP4 (yuv420p) needs an even width and height");
  return options;
}

// Where the frames go, and what is made of them at the end.
class FrameSink {
 public:
  virtual ~FrameSink() = default;
  virtual bool Write(std::int64_t k, const d3dx::Image& picture, std::string* error) = 0;
  // `audio` is already cut to the frames written; `complete` is false after a stop.
  virtual bool Finish(const PcmAudio& audio, bool complete, std::string* error) = 0;
};

// OUT/frame_NNNNNN.png and OUT/music.wav.
class PngFolderSink final : public FrameSink {
 public:
  static std::unique_ptr<PngFolderSink> Start(const fs::path& folder, std::string* error) {
    std::error_code failure;
    fs::create_directories(folder, failure);
    if (failure) {
      *error = "cannot make " + folder.string() + ": " + failure.message();
      return nullptr;
    }
    // Frames of an earlier capture into the same folder would read as part of this one.
    for (const auto& entry : fs::directory_iterator(folder, failure)) {
      const std::string name = entry.path().filename().string();
      if (name == "music.wav" || (name.starts_with("frame_") && name.ends_with(".png")))
        fs::remove(entry.path(), failure);
    }
    return std::unique_ptr<PngFolderSink>(new PngFolderSink(folder));
  }

  bool Write(std::int64_t k, const d3dx::Image& picture, std::string* error) override {
    char name[32];
    std::snprintf(name, sizeof name, "frame_%06lld.png", static_cast<long long>(k));
    return WritePng((folder_ / name).string(), picture, false, error);
  }

  bool Finish(const PcmAudio& audio, bool, std::string* error) override {
    return WriteWav((folder_ / "music.wav").string(), audio, error);
  }

 private:
  explicit PngFolderSink(fs::path folder) : folder_(std::move(folder)) {}
  fs::path folder_;
};

// An MP4 made by ffmpeg. It is written under a temporary name beside OUT and renamed only
// when it is whole, so OUT never holds half a file.
class Mp4Sink final : public FrameSink {
 public:
  static std::unique_ptr<Mp4Sink> Start(const CaptureOptions& options, const PcmAudio& audio,
                                        std::string* error) {
    std::unique_ptr<Mp4Sink> sink(new Mp4Sink(options.output));
    if (sink->spanAudio_.path().empty() || !WriteWav(sink->spanAudio_.path().string(), audio, error)) {
      if (error->empty()) *error = "cannot make a temporary file";
      return nullptr;
    }
    VideoEncoder::Settings settings;
    settings.output = sink->partial_.path().string();
    settings.width = options.width;
    settings.height = options.height;
    settings.rate = options.rate;
    settings.audioWav = sink->spanAudio_.path().string();
    sink->encoder_ = VideoEncoder::Start(settings, error);
    if (sink->encoder_ == nullptr) return nullptr;
    return sink;
  }

  bool Write(std::int64_t, const d3dx::Image& picture, std::string* error) override {
    ToRgb24(picture, rgb_);
    if (encoder_->WriteFrame(rgb_)) return true;
    std::string reason;
    encoder_->Finish(&reason);
    *error = "ffmpeg stopped taking frames (" + reason + ")";
    return false;
  }

  bool Finish(const PcmAudio& audio, bool complete, std::string* error) override {
    if (!encoder_->Finish(error)) return false;
    if (!complete) {
      // ffmpeg was given the music of the whole span; give the frames done the music that
      // belongs to them, and copy the pictures as they are.
      TemporaryFile cutAudio(MakeTemporaryPath(".wav"));
      TemporaryFile remuxed(output_.string() + ".cut-partial");
      if (cutAudio.path().empty() || !WriteWav(cutAudio.path().string(), audio, error)) return false;
      if (!RunFfmpeg({"-hide_banner", "-loglevel", "error", "-nostdin", "-y", "-i",
                      partial_.path().string(), "-i", cutAudio.path().string(), "-map", "0:v:0",
                      "-map", "1:a:0", "-c:v", "copy", "-c:a", "aac", "-b:a", "192k", "-ar",
                      "48000", "-movflags", "+faststart", "-f", "mp4", remuxed.path().string()},
                     error))
        return false;
      return Rename(remuxed.path(), error);
    }
    return Rename(partial_.path(), error);
  }

 private:
  explicit Mp4Sink(fs::path output)
      : output_(std::move(output)),
        partial_(output_.string() + ".partial"),
        spanAudio_(MakeTemporaryPath(".wav")) {}

  bool Rename(const fs::path& from, std::string* error) {
    std::error_code failure;
    fs::rename(from, output_, failure);
    if (failure) *error = "cannot write " + output_.string() + ": " + failure.message();
    return !failure;
  }

  fs::path output_;
  TemporaryFile partial_;    // ffmpeg's output until it is whole
  TemporaryFile spanAudio_;  // the music of the whole span, as WAV
  std::unique_ptr<VideoEncoder> encoder_;
  std::vector<std::uint8_t> rgb_;
};

// The music of [from, to) at the file's own rate, or silence of that length without it.
PcmAudio SpanMusic(const CaptureOptions& options) {
  const std::string path = win32::ResolveFileName(kDemoMusicFile);
  DecodedMusic decoded = DecodeMusic(path, options.to);
  if (!decoded.warning.empty())
    Warn(decoded.warning + (decoded.audio ? "" : "; the audio track is silent"));
  const PcmAudio music = decoded.audio ? std::move(*decoded.audio) : PcmAudio{};
  return CutSpan(music, options.from, options.to);
}

int Fail(const std::string& message) {
  std::fprintf(stderr, "orchard capture: %s\n", message.c_str());
  return kExitFailure;
}

}  // namespace

int RunCapture(std::span<const std::string_view> args) {
  int exitCode = kExitOk;
  const auto options = ReadOptions(args, &exitCode);
  if (!options) return exitCode;
  const std::int64_t frames = FrameCount(std::int64_t{options->to} - options->from, options->rate);

  SessionOptions session;
  session.root = options->root;
  session.width = options->width * options->supersample;
  session.height = options->height * options->supersample;
  auto device = std::make_unique<d3d8::OpenGlDevice>();
  d3d8::OpenGlDevice* gl = device.get();
  if (!StartDemoSession("capture", session, std::move(device))) return kExitFailure;

  PcmAudio audio = SpanMusic(*options);
  std::string error;
  std::unique_ptr<FrameSink> sink;
  if (options->video)
    sink = Mp4Sink::Start(*options, audio, &error);
  else
    sink = PngFolderSink::Start(options->output, &error);
  if (sink == nullptr) return Fail(error);

  StopSignals signals;
  // As in any run that reached the first frame's time; from then on the frames themselves
  // keep the state.
  RestoreSceneStateAt(options->from);
  ProgressMeter meter(stderr, frames, isatty(STDERR_FILENO) != 0);
  d3dx::Image picture;
  std::int64_t done = 0;
  while (done < frames && stopRequested == 0) {
    RenderFrame(static_cast<std::int32_t>(options->from + FrameOffsetMs(done, options->rate)));
    if (!gl->ReadBackBuffer(picture)) return Fail("cannot read the rendered frame back");
    const d3dx::Image small =
        options->supersample > 1 ? BoxFilterDown(picture, options->supersample) : d3dx::Image{};
    if (!sink->Write(done, options->supersample > 1 ? small : picture, &error)) return Fail(error);
    ++done;
    meter.Update(done);
  }
  meter.Finish(done);

  const bool complete = done == frames;
  if (done == 0) {
    std::fprintf(stderr, "orchard capture: stopped before the first frame; nothing written\n");
    return kExitInterrupted;
  }
  if (!complete) KeepFrames(audio, SamplesForFrames(done, options->rate, audio.rate));
  if (!sink->Finish(audio, complete, &error)) return Fail(error);
  if (!complete) {
    std::fprintf(stderr, "orchard capture: stopped after %lld of %lld frames; %s holds them\n",
                 static_cast<long long>(done), static_cast<long long>(frames),
                 options->output.c_str());
    return kExitInterrupted;
  }
  return kExitOk;
}

}  // namespace orchard
