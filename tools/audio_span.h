// The music of a captured span: the demo's MP3 decoded at its own rate and channel count,
// cut to the samples that play while the span's frames are shown, and written as WAV.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace orchard {

// Signed 16-bit samples, channels interleaved.
struct PcmAudio {
  int rate = 48000;
  int channels = 2;
  std::vector<std::int16_t> samples;

  std::int64_t Frames() const { return static_cast<std::int64_t>(samples.size()) / channels; }
};

struct DecodedMusic {
  std::optional<PcmAudio> audio;  // empty when the file is missing or not MPEG audio
  std::string warning;            // why it is empty, or what was left out
};

// Decodes `path` from its start up to the sample of `untilMs` (no further is needed). A
// file whose format changes on the way keeps only what came before the change, with a
// warning; a span cut from it is then silent from there on.
DecodedMusic DecodeMusic(const std::string& path, std::int64_t untilMs);

// The samples of [fromMs, toMs): from sample round(fromMs * rate / 1000) up to, not
// including, round(toMs * rate / 1000). What lies before the music's start or after its
// end is silence, so the result always has exactly that many frames.
PcmAudio CutSpan(const PcmAudio& music, std::int64_t fromMs, std::int64_t toMs);

// Keeps the first `frames` sample frames (no change when there are fewer).
void KeepFrames(PcmAudio& audio, std::int64_t frames);

// A 16-bit PCM WAV file. False with a reason on failure.
bool WriteWav(const std::string& path, const PcmAudio& audio, std::string* error);

}  // namespace orchard
