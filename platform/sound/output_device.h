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
  // Frames in the device buffer: what one callback takes.
  int BufferFrames() const { return bufferFrames_; }

  // Plays `stream` from the next callback on, in place of whatever played before, and
  // unpauses the music. Never waits for the audio thread.
  void Play(MusicStream* stream);

  // Makes sure the callback no longer uses `stream`, so that it can be freed or reset.
  // True if it was the stream playing. Waits for a callback in progress to finish, so it
  // is for user actions and closing, not for the frame loop.
  bool Forget(const MusicStream* stream);

  // Puts back a stream that Forget took off, as it was (paused or not).
  void Resume(MusicStream* stream);

  // While paused the callback gives silence and the playing stream stays where it is.
  // Pausing waits for a callback in progress, so that the position no longer moves once
  // it returns.
  void SetPaused(bool paused);
  bool Paused() const { return paused_.load(std::memory_order_relaxed); }

 private:
  explicit OutputDevice(int rate) : rate_(rate) {}
  static void Callback(void* self, std::uint8_t* bytes, int length);
  void WaitForCallbackInProgress();

  std::uint32_t id_ = 0;  // SDL_AudioDeviceID; 0 until the device is open
  const int rate_;
  int bufferFrames_ = 0;
  std::atomic<MusicStream*> playing_{nullptr};
  std::atomic<bool> paused_{false};
};

}  // namespace sound
