#include "tools/play/frame_pacer.h"

#include <algorithm>
#include <chrono>
#include <cmath>
#include <thread>
#include <vector>

namespace orchard {

namespace {

constexpr std::size_t kRecentFrames = 30;
// The first frames pay for shader compiles and texture uploads; they say nothing of the
// frames to come.
constexpr long kWarmUpFrames = 5;
// A lower step is taken once it has fitted this many frames in a row with this much room.
constexpr long kStepDownAfter = 15;
constexpr double kStepDownRoom = 1.15;
constexpr long kMostRefreshes = 12;  // 5 fps at 60 Hz: below that, pacing means nothing

}  // namespace

FramePacer::FramePacer(double refreshHz, bool paced)
    : period_(static_cast<Nanoseconds>(1e9 / (refreshHz > 1.0 ? refreshHz : 60.0))), paced_(paced) {}

Nanoseconds FramePacer::RenderEstimate(int percent) const {
  if (renderTimes_.empty()) return period_ / 2;
  std::vector<Nanoseconds> sorted(renderTimes_.begin(), renderTimes_.end());
  const std::size_t index = (sorted.size() * static_cast<std::size_t>(percent)) / 100;
  std::nth_element(sorted.begin(), sorted.begin() + static_cast<std::ptrdiff_t>(index), sorted.end());
  return sorted[index];
}

Nanoseconds FramePacer::PlanPresent(Nanoseconds now) {
  // Unpaced, the typical frame is the best guess of when this one shows; paced, the slot
  // must hold nearly every frame.
  if (!paced_) return planned_ = now + RenderEstimate(50);
  const Nanoseconds ready = now + RenderEstimate(90);
  const Nanoseconds step = interval();
  if (lastSlot_ == 0 || ready > lastSlot_ + 4 * step) {
    // The first frame, or after a stall: a new grid from here.
    planned_ = ready;
  } else {
    planned_ = lastSlot_ + step;
    while (planned_ < ready) planned_ += step;
  }
  return planned_;
}

void FramePacer::FrameRendered(Nanoseconds begunAt, Nanoseconds renderedAt) {
  if (++framesSeen_ <= kWarmUpFrames) return;
  renderTimes_.push_back(renderedAt - begunAt);
  if (renderTimes_.size() > kRecentFrames) renderTimes_.pop_front();
}

void FramePacer::WaitForSlot() const {
  if (!paced_) return;
  // Sleep to just short of the slot, then yield the last stretch: sleeping is coarse.
  const Nanoseconds now = SteadyNow();
  if (planned_ - now > 2'000'000)
    std::this_thread::sleep_for(std::chrono::nanoseconds(planned_ - now - 1'000'000));
  while (SteadyNow() < planned_) std::this_thread::yield();
}

void FramePacer::FramePresented(Nanoseconds presentedAt) {
  // A swap that waited for the display's retrace well past the slot shows where the
  // display's grid really is; otherwise the grid stays our own, unmoved by the swap's cost.
  lastSlot_ = paced_ && presentedAt - planned_ <= period_ / 2 ? planned_ : presentedAt;
  if (!paced_) return;

  const Nanoseconds estimate = RenderEstimate(90);
  auto refreshesFor = [this](double ns) {
    return std::clamp<long>(static_cast<long>(std::ceil(ns / static_cast<double>(period_))), 1, kMostRefreshes);
  };
  const long needed = refreshesFor(static_cast<double>(estimate));
  // Down only to a step with room to spare, so that frames near a step's edge do not
  // make it hunt between two steps.
  const long roomy = refreshesFor(static_cast<double>(estimate) * kStepDownRoom);
  if (needed > refreshes_) {
    refreshes_ = needed;
    calmFrames_ = 0;
  } else if (roomy < refreshes_ && ++calmFrames_ >= kStepDownAfter) {
    refreshes_ = roomy;
    calmFrames_ = 0;
  } else if (roomy >= refreshes_) {
    calmFrames_ = 0;
  }
}

}  // namespace orchard
