// The demo clock of `orchard play`: milliseconds with a fraction, read once per frame, from
// the monotonic system clock or from the music the sound device has actually played.
//
// Following the music means the picture cannot drift from it, whatever the device's
// crystal or the scheduler do: after a stall the next frame simply shows the time the
// music has reached. Where the music has nothing to say (no device, the file ended, a
// seek past its end) the clock runs on from its last value with the system clock.
#pragma once

#include <cstdint>
#include <optional>

#include "platform/sound/diagnostics.h"

namespace orchard {

using Nanoseconds = std::int64_t;  // std::chrono::steady_clock, since its epoch

Nanoseconds SteadyNow();

// The position of the stream that is being heard at `now`, in milliseconds from the start
// of the file; nullopt when the position says nothing (no stream, or it has finished).
//
// When the callback took frames up to `frame`, the device still had its buffer to play
// before them: the heard position was frame - deviceBufferFrames then, and it has moved
// on with the time since, for at most one buffer (a late callback does not let the clock
// run ahead of the music). While paused, everything taken has been heard.
std::optional<double> HeardMs(const sound::PlaybackPosition& position, Nanoseconds now);

class PlaybackClock {
 public:
  explicit PlaybackClock(double startMs, Nanoseconds now) { SeekTo(startMs, now); }

  // The clock at `now`. `music` is the stream's position when the clock follows the
  // music; nullopt runs on the system clock. Never goes back, except by SeekTo.
  double Read(Nanoseconds now, const std::optional<sound::PlaybackPosition>& music);

  // Jumps to `ms`. The music clock does not read below it: right after a seek the device
  // still plays what it took before.
  void SeekTo(double ms, Nanoseconds now);
  void SetPaused(bool paused, Nanoseconds now);
  bool paused() const { return paused_; }

 private:
  double SystemMs(Nanoseconds now) const;

  double anchorMs_ = 0;  // the value at anchorNs_, from which the system clock runs on
  Nanoseconds anchorNs_ = 0;
  double floorMs_ = 0;   // the last seek's target
  double lastMs_ = 0;    // the last value read
  bool paused_ = false;
};

}  // namespace orchard
