#include "tools/play/playback_clock.h"

#include <algorithm>
#include <chrono>

namespace orchard {

Nanoseconds SteadyNow() {
  return std::chrono::duration_cast<std::chrono::nanoseconds>(
             std::chrono::steady_clock::now().time_since_epoch())
      .count();
}

std::optional<double> HeardMs(const sound::PlaybackPosition& position, Nanoseconds now) {
  if (position.rate <= 0 || position.finished) return std::nullopt;
  const double rate = position.rate;
  if (position.takenAtNanoseconds == 0 || position.paused) return static_cast<double>(position.frame) * 1000.0 / rate;
  const double bufferMs = position.deviceBufferFrames * 1000.0 / rate;
  const double sinceTaken = std::clamp(static_cast<double>(now - position.takenAtNanoseconds) / 1e6, 0.0, bufferMs);
  return static_cast<double>(position.frame) * 1000.0 / rate - bufferMs + sinceTaken;
}

double PlaybackClock::SystemMs(Nanoseconds now) const {
  if (paused_) return anchorMs_;
  return anchorMs_ + static_cast<double>(now - anchorNs_) / 1e6;
}

double PlaybackClock::Read(Nanoseconds now, const std::optional<sound::PlaybackPosition>& music) {
  double ms = SystemMs(now);
  if (!paused_ && music) {
    if (const auto heard = HeardMs(*music, now)) {
      ms = std::max(*heard, floorMs_);
      // Should the music stop speaking, the system clock runs on from here.
      anchorMs_ = ms;
      anchorNs_ = now;
    }
  }
  lastMs_ = std::max(lastMs_, ms);
  return lastMs_;
}

void PlaybackClock::SeekTo(double ms, Nanoseconds now) {
  anchorMs_ = floorMs_ = lastMs_ = ms;
  anchorNs_ = now;
}

void PlaybackClock::SetPaused(bool paused, Nanoseconds now) {
  if (paused == paused_) return;
  if (paused) {
    anchorMs_ = lastMs_;  // frozen where the last frame was
  }
  anchorNs_ = now;
  paused_ = paused;
  // A resumed music clock must not read below the frame that was shown when it paused,
  // while the device still plays the silence it took during the pause.
  floorMs_ = std::max(floorMs_, lastMs_);
}

}  // namespace orchard
