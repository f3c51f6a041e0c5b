#include "tools/play/frame_statistics.h"

#include <algorithm>
#include <cmath>

namespace orchard {

Spread SpreadOf(std::vector<double>& values) {
  if (values.empty()) return {};
  std::sort(values.begin(), values.end());
  auto rank = [&](double p) {
    const auto index = static_cast<std::size_t>(std::ceil(p * static_cast<double>(values.size()))) - 1;
    return values[std::min(index, values.size() - 1)];
  };
  return {rank(0.5), rank(0.95), rank(0.99), values.back()};
}

void FrameStatistics::Add(std::int32_t demoClock, double frameMs, const double* offsetMs) {
  if (!first_) first_ = demoClock;
  last_ = demoClock;
  if (!frameTimes_.empty() || frameMs > 0) frameTimes_.push_back(frameMs);
  if (offsetMs != nullptr) {
    offsets_.push_back(std::fabs(*offsetMs));
    offsetFrame_.push_back(frameTimes_.size());
  }
}

void FrameStatistics::Print(std::FILE* out) {
  auto line = [out](const char* what, std::vector<double> values) {
    const std::size_t count = values.size();
    const Spread spread = SpreadOf(values);
    std::fprintf(out, "%s: %zu, median %.2f ms, p95 %.2f ms, p99 %.2f ms, largest %.2f ms\n", what, count,
                 spread.median, spread.p95, spread.p99, spread.largest);
  };
  if (first_) std::fprintf(out, "demo time shown: from %d ms to %d ms\n", *first_, *last_);
  line("frame times", frameTimes_);
  // Judder is a frame shown longer or shorter than the one before.
  std::vector<double> changes;
  for (std::size_t i = 1; i < frameTimes_.size(); ++i) changes.push_back(std::fabs(frameTimes_[i] - frameTimes_[i - 1]));
  line("frame-to-frame changes", changes);
  if (!offsets_.empty()) line("picture-to-music offsets", offsets_);
  if (eventAt_ < frameTimes_.size()) {
    // The frames after the event, without the one that spans it.
    line("frame times after the stall",
         std::vector<double>(frameTimes_.begin() + static_cast<std::ptrdiff_t>(std::min(eventAt_ + 1, frameTimes_.size())),
                             frameTimes_.end()));
    std::vector<double> after;
    for (std::size_t i = 0; i < offsets_.size(); ++i)
      if (offsetFrame_[i] > eventAt_) after.push_back(offsets_[i]);
    if (!after.empty()) line("picture-to-music offsets after the stall", after);
  }
}

}  // namespace orchard
