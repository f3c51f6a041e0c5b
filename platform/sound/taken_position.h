// Where a stream's playback stands: the stream frame the device has taken up to, and when
// it last took frames (or silence) for the stream. The audio callback writes both, other
// threads read them, and a reader must never see the frame of one callback with the time
// of another: a sequence lock keeps the pair whole without ever making the writer wait.
#pragma once

#include <atomic>
#include <cstdint>
#include <thread>

namespace sound {

class TakenPosition {
 public:
  struct Snapshot {
    std::int64_t frame = 0;
    std::int64_t takenAtNanoseconds = 0;
  };

  // One writer at a time: the audio callback while the stream is on the device, the
  // program's thread (seeking) while it is not. The hand-over between the two goes
  // through the device lock, so each writer sees the other's last store.
  void Store(Snapshot snapshot) {
    const std::uint32_t sequence = sequence_.load(std::memory_order_relaxed);
    sequence_.store(sequence + 1, std::memory_order_relaxed);  // odd: a write is under way
    std::atomic_thread_fence(std::memory_order_release);
    frame_.store(snapshot.frame, std::memory_order_relaxed);
    takenAt_.store(snapshot.takenAtNanoseconds, std::memory_order_relaxed);
    sequence_.store(sequence + 2, std::memory_order_release);
  }

  // The writer's own view; no retry needed, since nobody else writes.
  Snapshot LoadAsWriter() const {
    return {frame_.load(std::memory_order_relaxed), takenAt_.load(std::memory_order_relaxed)};
  }

  // Any thread. Retries while a write is under way; the writer holds the sequence odd for
  // two stores, so a retry is rare and short.
  Snapshot Load() const {
    for (;;) {
      const std::uint32_t before = sequence_.load(std::memory_order_acquire);
      if ((before & 1u) == 0) {
        const Snapshot snapshot{frame_.load(std::memory_order_relaxed),
                                takenAt_.load(std::memory_order_relaxed)};
        std::atomic_thread_fence(std::memory_order_acquire);
        if (sequence_.load(std::memory_order_relaxed) == before) return snapshot;
      }
      std::this_thread::yield();  // the writer may have been preempted between its stores
    }
  }

 private:
  std::atomic<std::uint32_t> sequence_{0};
  std::atomic<std::int64_t> frame_{0};
  std::atomic<std::int64_t> takenAt_{0};
};

}  // namespace sound
