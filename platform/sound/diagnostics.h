// Hooks of the sound layer that are not FSOUND operations: what tests and the benchmark
// use to steer the layer and to look into a stream.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>

struct FSOUND_STREAM;

namespace sound {

// Makes FSOUND_GetVersion report `version` instead of the layer's own; nullopt restores
// it. Lets a test see how the program treats an older library.
void OverrideReportedVersion(std::optional<float> version);

struct StreamStatistics {
  std::uint64_t framesPlayed = 0;    // stream frames handed to the device
  std::uint64_t underrunFrames = 0;  // silence the device got while the stream still had more
  std::uint64_t decoderCpuNanoseconds = 0;    // CPU time of the decoder thread so far
  std::int64_t startLatencyNanoseconds = -1;  // play request to first frames in the callback
  std::size_t ringBytes = 0;                  // size of the ring of ready frames
  bool finished = false;                      // every frame of the file has been played
};

// Figures for an open stream; all zero for a stream the layer does not know.
StreamStatistics Statistics(const FSOUND_STREAM* stream);

// Where playback of a stream stands, for a clock that follows the music. `frame` and
// `takenAtNanoseconds` always come from the same callback.
struct PlaybackPosition {
  // Stream frames (at the device rate) the device has taken, counted from the start of the
  // file, seeks included. Silence given while paused or while the decoder is late does
  // not count: the music goes on from where it was.
  std::int64_t frame = 0;
  int rate = 0;  // the device rate; 0 for a stream the layer does not know
  // std::chrono::steady_clock time (ns since its epoch) of the last callback that took
  // frames or silence for this stream; 0 before the first.
  std::int64_t takenAtNanoseconds = 0;
  // The device buffer in frames: taken by the callback, not yet heard.
  int deviceBufferFrames = 0;
  bool paused = false;    // the music channel is paused
  bool finished = false;  // every frame of the file has been taken
};

PlaybackPosition Position(const FSOUND_STREAM* stream);

}  // namespace sound
