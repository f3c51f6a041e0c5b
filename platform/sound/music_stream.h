// A playing MP3 stream: a decoder thread keeps a ring of ready frames topped up, and the
// audio callback takes frames from it without ever waiting.
//
// Why a thread and a ring rather than decoding inside the callback: reading the file can
// stall on the disk for far longer than one callback period, and the callback must never
// wait for anything. The ring holds about three quarters of a second and is refilled when
// half of it has played, so only a stall longer than a third of a second or so is heard,
// and then as a short silence, never as a stalled frame.
#pragma once

#include <atomic>
#include <condition_variable>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <mutex>
#include <string>
#include <thread>

#include "platform/sound/diagnostics.h"
#include "platform/sound/frame_ring.h"
#include "platform/sound/transcoder.h"

namespace sound {

class MusicStream {
 public:
  // Opens the file and starts decoding into the ring at once, so that the first frames are
  // ready when playback begins. Null when the file is not decodable MPEG audio.
  static std::unique_ptr<MusicStream> Open(const std::string& path, int outputRate);

  // Stops the decoder thread (within one idle period) and frees everything.
  ~MusicStream();
  MusicStream(const MusicStream&) = delete;
  MusicStream& operator=(const MusicStream&) = delete;

  // Main thread: notes the moment playback was asked for (for the start-latency figure).
  void MarkPlayRequested();

  // Audio callback: copies up to `frames` frames to `out`; the rest of `out` is left for
  // the caller to fill with silence. Wait-free.
  std::size_t Pull(std::int16_t* out, std::size_t frames);

  StreamStatistics Statistics() const;

 private:
  explicit MusicStream(std::unique_ptr<Transcoder> transcoder, int outputRate);
  void DecodeLoop(std::stop_token stop);

  std::unique_ptr<Transcoder> transcoder_;  // decoder thread only, once it runs
  const int outputRate_;
  FrameRing ring_;
  std::atomic<bool> allDecoded_{false};  // the decoder thread has put the last frame in

  // Figures for the statistics, written with relaxed stores.
  std::atomic<std::uint64_t> framesDecoded_{0};
  std::atomic<std::uint64_t> framesPlayed_{0};
  std::atomic<std::uint64_t> underrunFrames_{0};
  std::atomic<std::uint64_t> decoderCpuNanoseconds_{0};
  std::atomic<std::int64_t> playRequestedAt_{-1};  // steady-clock nanoseconds
  std::atomic<std::int64_t> startLatency_{-1};     // nanoseconds

  // The decoder thread's sleep, which a stop request cuts short.
  std::mutex sleepLock_;
  std::condition_variable_any wakeUp_;

  std::jthread decoder_;  // last, so that it stops before the members it uses go
};

}  // namespace sound
