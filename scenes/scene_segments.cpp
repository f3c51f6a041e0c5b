#include "scenes/scene_segments.h"

#include <cmath>

int FindSceneSegment(const SceneSegment* segments, int count, std::int32_t t) {
  for (int i = 0; i < count; ++i)
    if (t >= segments[i].start && t < segments[i].end) return i + 1;
  return 0;
}

float SegmentLightFactor(const SceneSegment& segment, std::int32_t u) {
  if (segment.ramp == LightRamp::HalfSine)
    return std::sin(u * segment.rampRate * kRadiansPerDegree);

  float f = 1.0f;
  // The fade-in still applies at 5000, where it gives exactly 1.
  if (segment.ramp == LightRamp::FadeInThenOut && u <= 5000) f = u * 0.0002f;
  if (u >= segment.rampStart) {
    f = 1.0f - (u - segment.rampStart) * segment.rampRate;
    if (f < 0.0f) f = 0.0f;
  }
  return f;
}
