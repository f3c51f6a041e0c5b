// The sound card, through SDL: stereo signed 16-bit at the mix rate asked for. It plays
// silence from the moment it opens; handing it a stream starts that stream at the next
// callback.
#pragma once

#include <atomic>
#include <cstdint>
#include <memory>

namespace sound {

class MusicStream;

class OutputDevice {
 public:
  // Null when SDL's audio cannot be started or no device opens (no sound card, or
  // SDL_AUDIODRIVER names a driver that does not exist).
  static std::unique_ptr<OutputDevice> Open(int mixRate);

  // Closes the device; the callback has returned for good when this returns.
  ~OutputDevice();
  OutputDevice(const OutputDevice&) = delete;
  OutputDevice& operator=(const OutputDevice&) = delete;

  int Rate() const { return rate_; }

  // Plays `stream` from the next callback on, in place of whatever played before. Never
  // waits for the audio thread.
  void Play(MusicStream* stream);

  // Makes sure the callback no longer uses `stream`, so that it can be freed. Waits for a
  // callback in progress to finish, so it is for closing, not for the frame loop.
  void Forget(const MusicStream* stream);

 private:
  explicit OutputDevice(int rate) : rate_(rate) {}
  static void Callback(void* self, std::uint8_t* bytes, int length);

  std::uint32_t id_ = 0;  // SDL_AudioDeviceID; 0 until the device is open
  const int rate_;
  std::atomic<MusicStream*> playing_{nullptr};
};

}  // namespace sound
