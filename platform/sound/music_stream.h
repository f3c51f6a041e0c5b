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
#include <optional>
#include <string>
#include <thread>

#include "platform/sound/diagnostics.h"
#include "platform/sound/frame_ring.h"
#include "platform/sound/taken_position.h"
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

  // Audio callback, while the music is paused: the device gets silence for this stream,
  // which stamps the time of the callback but leaves the position where it is.
  void TakeSilence();

  // Main thread, with the stream off the device: moves playback to `ms` milliseconds from
  // the start of the file (at most its end), exactly to the output frame nearest that
  // time. Stops the decoder thread, refills the ring from there and starts it again.
  void Seek(std::int64_t ms);

  // The length of the file in milliseconds; nullopt when unknown.
  std::optional<std::int64_t> LengthMs() const { return lengthMs_; }

  StreamStatistics Statistics() const;
  // All but the device's part (buffer size and pause).
  PlaybackPosition Position() const;

 private:
  explicit MusicStream(std::unique_ptr<Transcoder> transcoder, int outputRate);
  void StartDecoding();
  void StopDecoding();
  void DecodeLoop(std::stop_token stop, std::uint64_t cpuOfEarlierThreads);

  // The decoder thread's while it runs; the main thread's while it is stopped (seeking).
  // Kept once the file has ended, since a seek may go back into it.
  std::unique_ptr<Transcoder> transcoder_;
  const int outputRate_;
  const std::optional<std::int64_t> lengthFrames_;  // at the output rate
  const std::optional<std::int64_t> lengthMs_;
  FrameRing ring_;
  TakenPosition position_;
  std::atomic<bool> allDecoded_{false};  // the decoder thread has put the last frame in

  // Figures for the statistics, written with relaxed stores. Frames a seek drops from
  // the ring count as neither decoded nor played.
  std::atomic<std::uint64_t> framesDecoded_{0};
  std::atomic<std::uint64_t> framesPlayed_{0};
  std::atomic<std::uint64_t> underrunFrames_{0};
  std::atomic<std::uint64_t> decoderCpuNanoseconds_{0};  // all decoder threads so far
  std::atomic<std::int64_t> playRequestedAt_{-1};  // steady-clock nanoseconds
  std::atomic<std::int64_t> startLatency_{-1};     // nanoseconds

  // The decoder thread's sleep, which a stop request cuts short.
  std::mutex sleepLock_;
  std::condition_variable_any wakeUp_;

  std::jthread decoder_;  // last, so that it stops before the members it uses go
};

}  // namespace sound
