// What the interior and exterior scenes share: a shot is a half-open interval of scene time
// with its own light ramp, and the camera angles are degrees.
#pragma once

#include <cstdint>

// Degrees to radians, as the camera formulas are written.
inline constexpr float kRadiansPerDegree = 0.017453292f;

enum class LightRamp {
  FadeOut,        // full light, then down to 0 from rampStart on
  FadeInThenOut,  // up from 0 over the first 5000 ms, then as FadeOut
  HalfSine,       // sin(u x rampRate degrees): 0, up to 1, back to 0, and slightly below at the end
};

struct SceneSegment {
  std::int32_t start;      // first millisecond of the shot (inclusive)
  std::int32_t end;        // first millisecond after it
  LightRamp ramp;
  std::int32_t rampStart;  // segment time where the fade-out begins
  float rampRate;          // light lost per ms of fade-out; degrees per ms for HalfSine
};

// The number (1, 2, ...) of the first segment whose [start, end) holds t, or 0 for none.
int FindSceneSegment(const SceneSegment* segments, int count, std::int32_t t);

// The light factor f at segment time u. A fade-out never goes below 0; the half sine is not
// clamped.
float SegmentLightFactor(const SceneSegment& segment, std::int32_t u);
