// The ring between the decoder thread and the audio callback: frames come out in the
// order they went in, none lost or doubled, across many wraps, with the two sides on
// different threads as they are in playback.
#include <gtest/gtest.h>

#include <cstdint>
#include <random>
#include <thread>
#include <vector>

#include "platform/sound/frame_ring.h"

namespace {

using sound::FrameRing;

TEST(FrameRing, KeepsOrderAcrossWrapsBetweenTwoThreads) {
  FrameRing ring(100);  // rounds up to 128 frames, so the run below wraps thousands of times
  ASSERT_EQ(ring.CapacityFrames(), 128u);
  constexpr std::uint32_t kFrames = 400000;

  std::thread producer([&ring] {
    std::mt19937 random(1);
    std::vector<std::int16_t> piece;
    std::uint32_t next = 0;
    while (next < kFrames) {
      const std::uint32_t count = std::min<std::uint32_t>(1 + random() % 200, kFrames - next);
      piece.clear();
      for (std::uint32_t i = 0; i < count; ++i) {
        piece.push_back(static_cast<std::int16_t>(next + i));          // low half
        piece.push_back(static_cast<std::int16_t>((next + i) >> 16));  // high half
      }
      next += static_cast<std::uint32_t>(ring.Push(piece.data(), count));
      if (ring.FreeFrames() == 0) std::this_thread::yield();
    }
  });

  std::mt19937 random(2);
  std::vector<std::int16_t> out(2 * 200);
  std::uint32_t expected = 0;
  std::uint32_t mismatches = 0;
  while (expected < kFrames) {
    const std::size_t got = ring.Pop(out.data(), 1 + random() % 200);
    for (std::size_t i = 0; i < got; ++i, ++expected) {
      const std::uint32_t value =
          static_cast<std::uint16_t>(out[2 * i]) |
          (static_cast<std::uint32_t>(static_cast<std::uint16_t>(out[2 * i + 1])) << 16);
      if (value != expected) ++mismatches;
    }
    if (got == 0) std::this_thread::yield();
  }
  producer.join();
  EXPECT_EQ(mismatches, 0u);
  EXPECT_EQ(ring.Pop(out.data(), 1), 0u) << "nothing more than was pushed";
  EXPECT_EQ(ring.FreeFrames(), ring.CapacityFrames());
}

}  // namespace
