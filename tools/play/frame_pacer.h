// Even frame pacing: every frame is shown one whole number of display refreshes after the
// one before, the same number each time, so motion advances by equal steps.
//
// A renderer slower than the display (software GL, a large window) would otherwise show
// frames for one refresh, then two, then one: judder, though the average rate is fine.
// The pacer picks the smallest whole number of refreshes that the recent frames fit in
// (the 90th percentile of their render times), and holds each frame back until its slot.
// It steps up at once, and down only once a lower step has fitted a run of frames, so
// that it does not hunt between two steps.
//
// Without vsync there is no grid: frames are shown as soon as they are done, and the pacer
// only predicts when that will be (after the median of the recent render times), so that
// the frame can show the clock at that moment.
#pragma once

#include <cstddef>
#include <deque>

#include "tools/play/playback_clock.h"

namespace orchard {

class FramePacer {
 public:
  FramePacer(double refreshHz, bool paced);

  // When the frame begun at `now` will be shown: the next slot of the grid it can make
  // (paced), or now plus the expected render time.
  Nanoseconds PlanPresent(Nanoseconds now);
  // The frame begun at `begunAt` is rendered and only its swap is left.
  void FrameRendered(Nanoseconds begunAt, Nanoseconds renderedAt);
  // Paced: sleeps until the planned moment. Called just before the swap.
  void WaitForSlot() const;
  // The swap of the frame returned at `presentedAt`.
  void FramePresented(Nanoseconds presentedAt);

  Nanoseconds interval() const { return refreshes_ * period_; }
  bool paced() const { return paced_; }

 private:
  Nanoseconds RenderEstimate(int percent) const;  // that percentile of recent render times

  Nanoseconds period_;
  bool paced_;
  long refreshes_ = 1;   // the current step, in refreshes
  long calmFrames_ = 0;  // frames in a row that would have fitted a lower step
  long framesSeen_ = 0;
  Nanoseconds lastSlot_ = 0;
  Nanoseconds planned_ = 0;
  std::deque<Nanoseconds> renderTimes_;
};

}  // namespace orchard
