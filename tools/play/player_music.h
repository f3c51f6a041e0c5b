// The music of `orchard play`: the demo's MP3 on the sound device. Without a device or
// without the file it is one line on standard error and a silent run, never a box.
#pragma once

#include <cstdint>
#include <optional>

#include "platform/sound/diagnostics.h"

struct FSOUND_STREAM;

namespace orchard {

class PlayerMusic {
 public:
  PlayerMusic() = default;
  ~PlayerMusic();
  PlayerMusic(const PlayerMusic&) = delete;
  PlayerMusic& operator=(const PlayerMusic&) = delete;

  // Opens the device and the stream, placed at `startMs`; nothing is heard until Start.
  // False (after its line) when there is no music to play.
  bool Open(std::int32_t startMs);
  bool playing() const { return stream_ != nullptr; }

  void Start();
  void SeekTo(std::int32_t ms);
  void SetPaused(bool paused);
  // Where the stream is; nullopt when there is no music.
  std::optional<sound::PlaybackPosition> Position() const;

 private:
  FSOUND_STREAM* stream_ = nullptr;  // owned by the sound layer until FSOUND_Close
};

}  // namespace orchard
