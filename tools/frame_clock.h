// The fixed-step clock of a capture: frame k of a span that starts at `from` shows the demo
// at from + floor(k * 1000 / rate) ms, where the rate is an exact fraction (60, 30000/1001).
// Everything is whole-number arithmetic on 64 bits, so frame 100000 is as exact as frame 1.
#pragma once

#include <cstdint>
#include <numeric>
#include <optional>
#include <string_view>

#include "tools/args.h"

namespace orchard {

struct FrameRate {
  std::int64_t num = 60;  // frames ...
  std::int64_t den = 1;   // ... per this many seconds

  bool operator==(const FrameRate&) const = default;
};

// The largest numerator or denominator accepted: keeps every product below in 64 bits for
// any span of 32-bit milliseconds.
inline constexpr std::int64_t kMaxRateTerm = 1'000'000;

// "60" or "60000/1001", reduced to lowest terms; positive terms up to kMaxRateTerm only.
inline std::optional<FrameRate> ParseFrameRate(std::string_view text) {
  const auto slash = text.find('/');
  const auto num = ParseInteger(text.substr(0, slash));
  const auto den = slash == std::string_view::npos ? std::optional<std::int64_t>(1)
                                                   : ParseInteger(text.substr(slash + 1));
  if (!num || !den || *num < 1 || *den < 1 || *num > kMaxRateTerm || *den > kMaxRateTerm)
    return std::nullopt;
  const std::int64_t divisor = std::gcd(*num, *den);
  return FrameRate{*num / divisor, *den / divisor};
}

inline constexpr std::int64_t FloorDiv(std::int64_t a, std::int64_t b) {
  return a / b - ((a % b != 0) && ((a < 0) != (b < 0)) ? 1 : 0);
}

// Milliseconds from the start of the span to frame k: floor(k * 1000 * den / num).
inline constexpr std::int64_t FrameOffsetMs(std::int64_t k, FrameRate rate) {
  return FloorDiv(k * 1000 * rate.den, rate.num);
}

// How many frames a span of `spanMs` milliseconds holds: every k whose exact time
// k * 1000 / rate lies before the end, i.e. ceil(spanMs * num / (1000 * den)).
inline constexpr std::int64_t FrameCount(std::int64_t spanMs, FrameRate rate) {
  if (spanMs <= 0) return 0;
  const std::int64_t scaled = spanMs * rate.num;
  const std::int64_t step = 1000 * rate.den;
  return (scaled + step - 1) / step;
}

// round(ms * sampleRate / 1000), halves rounded up, for negative times too: the index of
// the audio sample that plays at that moment.
inline constexpr std::int64_t SampleAtMs(std::int64_t ms, std::int64_t sampleRate) {
  return FloorDiv(2 * ms * sampleRate + 1000, 2000);
}

// round(frames * sampleRate / rate): how many samples last as long as that many frames.
inline constexpr std::int64_t SamplesForFrames(std::int64_t frames, FrameRate rate,
                                               std::int64_t sampleRate) {
  return FloorDiv(2 * frames * sampleRate * rate.den + rate.num, 2 * rate.num);
}

}  // namespace orchard
