#include "platform/sound/music_stream.h"

#include <time.h>

#include <algorithm>
#include <chrono>
#include <vector>

namespace sound {

namespace {

// Frames the decoder thread converts in one go: about 46 ms at 44100 Hz.
constexpr std::size_t kPieceFrames = 2048;

// The decoder thread sleeps while the ring is more than half full, for as long as the
// frames above the half take to play: refills come a few times a second, in bursts of a
// few milliseconds, and half the ring is always left as a margin against a slow disk.
constexpr auto kShortestSleep = std::chrono::milliseconds(10);

// Half a second of output, which the ring rounds up to a power of two (0.74 s at 44100 Hz).
std::size_t RingFramesFor(int outputRate) {
  return std::max<std::size_t>(static_cast<std::size_t>(outputRate) / 2, 4 * kPieceFrames);
}

std::int64_t SteadyNanoseconds() {
  return std::chrono::duration_cast<std::chrono::nanoseconds>(
             std::chrono::steady_clock::now().time_since_epoch())
      .count();
}

std::uint64_t ThisThreadCpuNanoseconds() {
  timespec now{};
  clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
  return static_cast<std::uint64_t>(now.tv_sec) * 1'000'000'000u +
         static_cast<std::uint64_t>(now.tv_nsec);
}

}  // namespace

std::unique_ptr<MusicStream> MusicStream::Open(const std::string& path, int outputRate) {
  auto transcoder = Transcoder::Open(path, outputRate);
  if (transcoder == nullptr) return nullptr;
  return std::unique_ptr<MusicStream>(new MusicStream(std::move(transcoder), outputRate));
}

MusicStream::MusicStream(std::unique_ptr<Transcoder> transcoder, int outputRate)
    : transcoder_(std::move(transcoder)),
      outputRate_(outputRate),
      lengthFrames_(transcoder_->LengthFrames()),
      lengthMs_(transcoder_->LengthMs()),
      ring_(RingFramesFor(outputRate)) {
  StartDecoding();
}

MusicStream::~MusicStream() = default;  // the jthread asks the loop to stop and joins it

// The first piece is made here, before the thread exists, so that a stream played right
// after opening or seeking has frames for its very first callback (well under a
// millisecond of work).
void MusicStream::StartDecoding() {
  std::vector<std::int16_t> piece(kPieceFrames * FrameRing::kChannels);
  const std::size_t frames = transcoder_->Produce(piece.data(), kPieceFrames);
  ring_.Push(piece.data(), frames);
  framesDecoded_.fetch_add(frames, std::memory_order_relaxed);
  const std::uint64_t cpuSoFar = decoderCpuNanoseconds_.load(std::memory_order_relaxed);
  decoder_ = std::jthread(
      [this, cpuSoFar](std::stop_token stop) { DecodeLoop(stop, cpuSoFar); });
}

void MusicStream::StopDecoding() {
  decoder_.request_stop();
  wakeUp_.notify_all();
  decoder_.join();
}

void MusicStream::DecodeLoop(std::stop_token stop, std::uint64_t cpuOfEarlierThreads) {
  const auto publishCpu = [&] {
    decoderCpuNanoseconds_.store(cpuOfEarlierThreads + ThisThreadCpuNanoseconds(),
                                 std::memory_order_relaxed);
  };
  std::vector<std::int16_t> piece(kPieceFrames * FrameRing::kChannels);
  while (!stop.stop_requested()) {
    if (transcoder_->Ended()) {
      allDecoded_.store(true, std::memory_order_release);
      break;
    }
    const std::size_t filled = ring_.CapacityFrames() - ring_.FreeFrames();
    if (filled > ring_.CapacityFrames() / 2) {
      publishCpu();
      const auto aboveHalf =
          std::chrono::microseconds((filled - ring_.CapacityFrames() / 2) * 1'000'000 /
                                    static_cast<std::size_t>(outputRate_));
      // Waits on a lock of its own that no other thread takes; only a stop request ends
      // the wait early.
      std::unique_lock lock(sleepLock_);
      wakeUp_.wait_for(lock, stop, std::max<std::chrono::microseconds>(aboveHalf, kShortestSleep),
                       [] { return false; });
      continue;
    }
    // At least half the ring is free, and only this thread pushes: the piece fits.
    const std::size_t frames = transcoder_->Produce(piece.data(), kPieceFrames);
    ring_.Push(piece.data(), frames);
    framesDecoded_.fetch_add(frames, std::memory_order_relaxed);
  }
  publishCpu();
}

// Nothing else touches the ring, the transcoder or the position while this runs: the
// device has let go of the stream (the caller's part) and the decoder thread is joined.
void MusicStream::Seek(std::int64_t ms) {
  StopDecoding();
  std::int64_t frame = (std::max<std::int64_t>(ms, 0) * outputRate_ + 500) / 1000;
  if (lengthFrames_) frame = std::min(frame, *lengthFrames_);
  transcoder_->Seek(frame);
  ring_.Clear();
  allDecoded_.store(false, std::memory_order_relaxed);
  framesDecoded_.store(framesPlayed_.load(std::memory_order_relaxed), std::memory_order_relaxed);
  // The time stays that of the last callback: until the next one takes frames, the device
  // is still where that one left it.
  position_.Store({frame, position_.LoadAsWriter().takenAtNanoseconds});
  StartDecoding();
}

void MusicStream::MarkPlayRequested() {
  playRequestedAt_.store(SteadyNanoseconds(), std::memory_order_relaxed);
}

std::size_t MusicStream::Pull(std::int16_t* out, std::size_t frames) {
  // Read before taking frames: once it is set, the ring holds all that is left, so a
  // short pull is the end of the music rather than the decoder falling behind.
  const bool allDecoded = allDecoded_.load(std::memory_order_acquire);
  const std::size_t got = ring_.Pop(out, frames);
  const std::int64_t now = SteadyNanoseconds();
  // Silence for a late decoder does not move the position: the music goes on from there.
  position_.Store({position_.LoadAsWriter().frame + static_cast<std::int64_t>(got), now});
  if (got > 0) {
    framesPlayed_.fetch_add(got, std::memory_order_relaxed);
    const std::int64_t requested = playRequestedAt_.load(std::memory_order_relaxed);
    if (requested >= 0 && startLatency_.load(std::memory_order_relaxed) < 0) {
      startLatency_.store(now - requested, std::memory_order_relaxed);
    }
  }
  if (got < frames && !allDecoded) {
    underrunFrames_.fetch_add(frames - got, std::memory_order_relaxed);
  }
  return got;
}

void MusicStream::TakeSilence() {
  position_.Store({position_.LoadAsWriter().frame, SteadyNanoseconds()});
}

StreamStatistics MusicStream::Statistics() const {
  StreamStatistics statistics;
  statistics.framesPlayed = framesPlayed_.load(std::memory_order_relaxed);
  statistics.underrunFrames = underrunFrames_.load(std::memory_order_relaxed);
  statistics.decoderCpuNanoseconds = decoderCpuNanoseconds_.load(std::memory_order_relaxed);
  statistics.startLatencyNanoseconds = startLatency_.load(std::memory_order_relaxed);
  statistics.ringBytes = ring_.SizeInBytes();
  statistics.finished = allDecoded_.load(std::memory_order_acquire) &&
                        statistics.framesPlayed == framesDecoded_.load(std::memory_order_relaxed);
  return statistics;
}

PlaybackPosition MusicStream::Position() const {
  const TakenPosition::Snapshot taken = position_.Load();
  PlaybackPosition position;
  position.frame = taken.frame;
  position.takenAtNanoseconds = taken.takenAtNanoseconds;
  position.rate = outputRate_;
  position.finished = Statistics().finished;
  return position;
}

}  // namespace sound
