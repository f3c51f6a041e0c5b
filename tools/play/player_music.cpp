#include "tools/play/player_music.h"

#include <cstdio>

#include "platform/sound/fsound.h"
#include "tools/demo_session.h"

namespace orchard {

namespace {

// Today's devices run at 48 kHz; asking for it spares a conversion behind the callback.
constexpr int kMixRate = 48000;

}  // namespace

PlayerMusic::~PlayerMusic() {
  if (stream_ != nullptr) FSOUND_Close();
}

bool PlayerMusic::Open(std::int32_t startMs) {
  if (FSOUND_Init(kMixRate, 32, 0) == 0) {
    std::fprintf(stderr, "orchard play: no sound device; playing without music\n");
    return false;
  }
  stream_ = FSOUND_Stream_OpenFile(kDemoMusicFile, FSOUND_LOOP_OFF, 0);
  if (stream_ == nullptr) {
    std::fprintf(stderr, "orchard play: cannot play %s; playing without music\n", kDemoMusicFile);
    FSOUND_Close();
    return false;
  }
  if (startMs > 0) FSOUND_Stream_SetTime(stream_, startMs);
  return true;
}

void PlayerMusic::Start() {
  if (stream_ != nullptr) FSOUND_Stream_Play(FSOUND_FREE, stream_);
}

void PlayerMusic::SeekTo(std::int32_t ms) {
  if (stream_ != nullptr) FSOUND_Stream_SetTime(stream_, ms);
}

void PlayerMusic::SetPaused(bool paused) {
  if (stream_ != nullptr) FSOUND_SetPaused(0, paused ? 1 : 0);
}

std::optional<sound::PlaybackPosition> PlayerMusic::Position() const {
  if (stream_ == nullptr) return std::nullopt;
  return sound::Position(stream_);
}

}  // namespace orchard
