// What `orchard play --stats` reports at the end: how evenly frames came and how far the
// picture was from the music.
#pragma once

#include <cstdint>
#include <cstdio>
#include <optional>
#include <vector>

namespace orchard {

struct Spread {
  double median = 0, p95 = 0, p99 = 0, largest = 0;
};

// Nearest-rank percentiles of `values` (sorted in place); all zero when empty.
Spread SpreadOf(std::vector<double>& values);

class FrameStatistics {
 public:
  // One shown frame: its demo time, milliseconds since the one before (0 for the first),
  // and the picture's clock minus the music heard when it appeared (null without music).
  void Add(std::int32_t demoClock, double frameMs, const double* offsetMs);
  // Frame times and offsets after this moment are also reported on their own (the stall
  // of a measurement).
  void MarkEvent() { eventAt_ = frameTimes_.size(); }
  void Print(std::FILE* out);

 private:
  std::optional<std::int32_t> first_, last_;
  std::vector<double> frameTimes_;
  std::vector<double> offsets_;       // absolute values
  std::vector<std::size_t> offsetFrame_;  // the frame of each offset
  std::size_t eventAt_ = static_cast<std::size_t>(-1);
};

}  // namespace orchard
