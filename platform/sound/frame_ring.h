// A single-producer, single-consumer ring of interleaved stereo 16-bit frames. The decoder
// thread writes and the audio callback reads; neither ever waits for the other, so a slow
// disk or a slow decode can only starve the ring, never block the callback.
#pragma once

#include <algorithm>
#include <atomic>
#include <bit>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <vector>

namespace sound {

class FrameRing {
 public:
  static constexpr std::size_t kChannels = 2;

  // The capacity is rounded up to a power of two so that positions wrap with a mask.
  explicit FrameRing(std::size_t capacityFrames)
      : capacity_(std::bit_ceil(std::max<std::size_t>(capacityFrames, 2))),
        samples_(capacity_ * kChannels) {}

  FrameRing(const FrameRing&) = delete;
  FrameRing& operator=(const FrameRing&) = delete;

  std::size_t CapacityFrames() const { return capacity_; }
  std::size_t SizeInBytes() const { return samples_.size() * sizeof(std::int16_t); }

  // Empties the ring. Only while neither side is using it (the stream is seeking).
  void Clear() { read_.store(write_.load(std::memory_order_relaxed), std::memory_order_relaxed); }

  // Producer side: how many frames Push would take now.
  std::size_t FreeFrames() const {
    const std::size_t write = write_.load(std::memory_order_relaxed);
    const std::size_t read = read_.load(std::memory_order_acquire);
    return capacity_ - (write - read);
  }

  // Producer side: copies up to `count` frames in; returns how many fitted.
  std::size_t Push(const std::int16_t* frames, std::size_t count) {
    const std::size_t write = write_.load(std::memory_order_relaxed);
    const std::size_t read = read_.load(std::memory_order_acquire);
    const std::size_t n = std::min(count, capacity_ - (write - read));
    const std::size_t at = write & (capacity_ - 1);
    const std::size_t first = std::min(n, capacity_ - at);  // the rest wraps to the start
    std::memcpy(&samples_[at * kChannels], frames, Bytes(first));
    std::memcpy(samples_.data(), frames + first * kChannels, Bytes(n - first));
    write_.store(write + n, std::memory_order_release);
    return n;
  }

  // Consumer side: copies up to `count` frames out; returns how many there were.
  std::size_t Pop(std::int16_t* frames, std::size_t count) {
    const std::size_t read = read_.load(std::memory_order_relaxed);
    const std::size_t write = write_.load(std::memory_order_acquire);
    const std::size_t n = std::min(count, write - read);
    const std::size_t at = read & (capacity_ - 1);
    const std::size_t first = std::min(n, capacity_ - at);
    std::memcpy(frames, &samples_[at * kChannels], Bytes(first));
    std::memcpy(frames + first * kChannels, samples_.data(), Bytes(n - first));
    read_.store(read + n, std::memory_order_release);
    return n;
  }

 private:
  static std::size_t Bytes(std::size_t frames) { return frames * kChannels * sizeof(std::int16_t); }

  const std::size_t capacity_;
  std::vector<std::int16_t> samples_;
  // Frames written and read since the start; they only grow, and their difference is the
  // fill. Each sits on its own cache line so that the two threads do not share one.
  alignas(64) std::atomic<std::size_t> write_{0};
  alignas(64) std::atomic<std::size_t> read_{0};
};

}  // namespace sound
