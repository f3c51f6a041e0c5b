// Video through the ffmpeg program: raw RGB frames go down a pipe to its standard input and
// it writes an MP4 (H.264 High, yuv420p, BT.709) with the audio of a WAV file as AAC at
// 48 kHz. ffmpeg runs as its own process, so it encodes while the next frame renders.
#pragma once

#include <sys/types.h>

#include <cstdint>
#include <memory>
#include <span>
#include <string>
#include <vector>

#include "tools/frame_clock.h"

namespace orchard {

// The program that is run: $ORCHARD_FFMPEG when set, else "ffmpeg" from the PATH.
std::string FfmpegProgram();

// Runs ffmpeg with `args` (after the program name) to its end. False with a reason when it
// cannot be started or does not exit with 0.
bool RunFfmpeg(const std::vector<std::string>& args, std::string* error);

class VideoEncoder {
 public:
  struct Settings {
    std::string output;     // written as MP4 whatever its name
    int width = 0;          // even, as yuv420p needs
    int height = 0;
    FrameRate rate;
    std::string audioWav;   // muxed from its first sample at time 0
  };

  // Starts ffmpeg. Null with a reason when it cannot be started.
  static std::unique_ptr<VideoEncoder> Start(const Settings& settings, std::string* error);

  // Kills ffmpeg when Finish was not reached (the output is then not to be used).
  ~VideoEncoder();
  VideoEncoder(const VideoEncoder&) = delete;
  VideoEncoder& operator=(const VideoEncoder&) = delete;

  // One frame, width * height * 3 bytes, top row first. False when ffmpeg has stopped
  // taking input (it failed; Finish then tells how).
  bool WriteFrame(std::span<const std::uint8_t> rgb);

  // Ends the input so that ffmpeg finishes the file, and waits for it. True when ffmpeg
  // exited with 0.
  bool Finish(std::string* error);

 private:
  VideoEncoder(pid_t pid, int input) : pid_(pid), input_(input) {}

  pid_t pid_;
  int input_;  // the write end of ffmpeg's standard input; -1 once closed
};

// The arguments that encode rawvideo from standard input plus the WAV into settings.output.
std::vector<std::string> EncodeArguments(const VideoEncoder::Settings& settings);

}  // namespace orchard
