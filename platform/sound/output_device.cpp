#include "platform/sound/output_device.h"

#include <SDL.h>

#include <bit>
#include <cstring>

#include "platform/sound/frame_ring.h"
#include "platform/sound/music_stream.h"

namespace sound {

namespace {

constexpr std::size_t kFrameBytes = FrameRing::kChannels * sizeof(std::int16_t);

// Device buffer: the power of two just below 25 ms (1024 frames at 44100 Hz), short
// enough for a prompt start, long enough for a steady callback.
Uint16 BufferFramesFor(int rate) {
  const unsigned frames = std::bit_floor(static_cast<unsigned>(rate) / 40u);
  return static_cast<Uint16>(frames < 256u ? 256u : frames);
}

}  // namespace

std::unique_ptr<OutputDevice> OutputDevice::Open(int mixRate) {
  if (mixRate < 4000 || mixRate > 192000) return nullptr;
  SDL_SetHint(SDL_HINT_NO_SIGNAL_HANDLERS, "1");  // signals keep their default action
  if (SDL_InitSubSystem(SDL_INIT_AUDIO) != 0) return nullptr;
  // From here on the destructor balances the subsystem count, whatever happens.
  std::unique_ptr<OutputDevice> device(new OutputDevice(mixRate));

  SDL_AudioSpec wanted{};
  wanted.freq = mixRate;
  wanted.format = AUDIO_S16SYS;
  wanted.channels = static_cast<Uint8>(FrameRing::kChannels);
  wanted.samples = BufferFramesFor(mixRate);
  wanted.callback = &OutputDevice::Callback;
  wanted.userdata = device.get();
  SDL_AudioSpec obtained{};
  // No changes allowed: where the card differs, SDL converts behind the callback, so the
  // callback always sees exactly this format.
  device->id_ = SDL_OpenAudioDevice(nullptr, 0, &wanted, &obtained, 0);
  if (device->id_ == 0) return nullptr;
  device->bufferFrames_ = obtained.samples;
  SDL_PauseAudioDevice(device->id_, 0);  // silence until a stream is handed over
  return device;
}

OutputDevice::~OutputDevice() {
  if (id_ != 0) SDL_CloseAudioDevice(id_);
  SDL_QuitSubSystem(SDL_INIT_AUDIO);
}

void OutputDevice::Play(MusicStream* stream) {
  stream->MarkPlayRequested();
  paused_.store(false, std::memory_order_relaxed);
  playing_.store(stream, std::memory_order_release);
}

void OutputDevice::Resume(MusicStream* stream) {
  playing_.store(stream, std::memory_order_release);
}

// SDL runs the callback under the device lock: once we hold it, the callback in progress
// (if any) has returned, and every later one sees what was stored before.
void OutputDevice::WaitForCallbackInProgress() {
  SDL_LockAudioDevice(id_);
  SDL_UnlockAudioDevice(id_);
}

bool OutputDevice::Forget(const MusicStream* stream) {
  MusicStream* expected = const_cast<MusicStream*>(stream);
  const bool wasPlaying = playing_.compare_exchange_strong(expected, nullptr);
  // Waits even when another stream has taken its place: a callback that began before the
  // change may still be reading this one.
  WaitForCallbackInProgress();
  return wasPlaying;
}

void OutputDevice::SetPaused(bool paused) {
  paused_.store(paused, std::memory_order_relaxed);
  if (paused) WaitForCallbackInProgress();
}

// On SDL's audio thread. Takes what the stream has ready and fills the rest with silence;
// it never waits, so a slow decoder costs a gap in the music, not a stalled device.
void OutputDevice::Callback(void* self, std::uint8_t* bytes, int length) {
  auto* device = static_cast<OutputDevice*>(self);
  const std::size_t total = static_cast<std::size_t>(length);
  std::size_t filled = 0;
  if (MusicStream* stream = device->playing_.load(std::memory_order_acquire)) {
    if (device->paused_.load(std::memory_order_relaxed)) {
      stream->TakeSilence();
    } else {
      filled = stream->Pull(reinterpret_cast<std::int16_t*>(bytes), total / kFrameBytes) *
               kFrameBytes;
    }
  }
  std::memset(bytes + filled, 0, total - filled);
}

}  // namespace sound
