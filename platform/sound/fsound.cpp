// The FSOUND operations over one output device and the streams opened on it.
#include "platform/sound/fsound.h"

#include <algorithm>
#include <memory>
#include <optional>
#include <vector>

#include "platform/sound/diagnostics.h"
#include "platform/sound/music_stream.h"
#include "platform/sound/output_device.h"
#include "platform/win32/path.h"

struct FSOUND_STREAM {
  std::unique_ptr<sound::MusicStream> stream;
};

namespace sound {

namespace {

constexpr float kLayerVersion = 3.75f;

bool IsMusicChannel(int channel) { return channel == 0 || channel == FSOUND_ALL; }

struct Library {
  ~Library() { Close(); }

  void Close() {
    device.reset();  // the callback is gone for good before any stream is freed
    streams.clear();
  }

  std::vector<std::unique_ptr<FSOUND_STREAM>>::iterator Find(const FSOUND_STREAM* stream) {
    return std::find_if(streams.begin(), streams.end(),
                        [stream](const auto& open) { return open.get() == stream; });
  }

  std::optional<float> reportedVersion;
  std::unique_ptr<OutputDevice> device;
  std::vector<std::unique_ptr<FSOUND_STREAM>> streams;
};

// Lives until the end of the process; closing it then stops the decoder threads and the
// device before the rest of the process is torn down.
Library& TheLibrary() {
  static Library library;
  return library;
}

}  // namespace

void OverrideReportedVersion(std::optional<float> version) {
  TheLibrary().reportedVersion = version;
}

StreamStatistics Statistics(const FSOUND_STREAM* stream) {
  Library& library = TheLibrary();
  const auto open = library.Find(stream);
  if (open == library.streams.end()) return {};
  return (*open)->stream->Statistics();
}

PlaybackPosition Position(const FSOUND_STREAM* stream) {
  Library& library = TheLibrary();
  const auto open = library.Find(stream);
  if (open == library.streams.end()) return {};
  PlaybackPosition position = (*open)->stream->Position();
  // Streams live only while the device does (FSOUND_Close frees both).
  position.deviceBufferFrames = library.device->BufferFrames();
  position.paused = library.device->Paused();
  return position;
}

}  // namespace sound

float FSOUND_GetVersion() {
  return sound::TheLibrary().reportedVersion.value_or(sound::kLayerVersion);
}

signed char FSOUND_SetOutput(int) { return 1; }

signed char FSOUND_SetDriver(int) { return 1; }

signed char FSOUND_Init(int mixRate, int, unsigned int) {
  sound::Library& library = sound::TheLibrary();
  library.Close();
  library.device = sound::OutputDevice::Open(mixRate);
  return library.device != nullptr ? 1 : 0;
}

void FSOUND_Close() { sound::TheLibrary().Close(); }

FSOUND_STREAM* FSOUND_Stream_OpenFile(const char* fileName, unsigned int, int) {
  sound::Library& library = sound::TheLibrary();
  if (library.device == nullptr || fileName == nullptr) return nullptr;
  auto stream = sound::MusicStream::Open(win32::ResolveFileName(fileName), library.device->Rate());
  if (stream == nullptr) return nullptr;
  library.streams.push_back(std::make_unique<FSOUND_STREAM>(std::move(stream)));
  return library.streams.back().get();
}

int FSOUND_Stream_Play(int channel, FSOUND_STREAM* stream) {
  sound::Library& library = sound::TheLibrary();
  if (library.device == nullptr || (channel != FSOUND_FREE && channel != 0)) return -1;
  if (library.Find(stream) == library.streams.end()) return -1;
  library.device->Play(stream->stream.get());
  return 0;
}

signed char FSOUND_Stream_Close(FSOUND_STREAM* stream) {
  sound::Library& library = sound::TheLibrary();
  const auto open = library.Find(stream);
  if (open == library.streams.end()) return 0;
  if (library.device != nullptr) library.device->Forget(stream->stream.get());
  library.streams.erase(open);
  return 1;
}

signed char FSOUND_Stream_SetTime(FSOUND_STREAM* stream, int ms) {
  sound::Library& library = sound::TheLibrary();
  if (ms < 0 || library.Find(stream) == library.streams.end()) return 0;
  // Off the device while it is reset, so that no callback sees a half-emptied ring; the
  // callbacks meanwhile give silence that counts for no stream.
  const bool wasPlaying = library.device->Forget(stream->stream.get());
  stream->stream->Seek(ms);
  if (wasPlaying) library.device->Resume(stream->stream.get());
  return 1;
}

int FSOUND_Stream_GetTime(FSOUND_STREAM* stream) {
  sound::Library& library = sound::TheLibrary();
  if (library.Find(stream) == library.streams.end()) return 0;
  const sound::PlaybackPosition position = stream->stream->Position();
  return static_cast<int>((position.frame * 1000 + position.rate / 2) / position.rate);
}

int FSOUND_Stream_GetLengthMs(FSOUND_STREAM* stream) {
  sound::Library& library = sound::TheLibrary();
  if (library.Find(stream) == library.streams.end()) return 0;
  return static_cast<int>(stream->stream->LengthMs().value_or(0));
}

signed char FSOUND_SetPaused(int channel, signed char paused) {
  sound::Library& library = sound::TheLibrary();
  if (library.device == nullptr || !sound::IsMusicChannel(channel)) return 0;
  library.device->SetPaused(paused != 0);
  return 1;
}

signed char FSOUND_GetPaused(int channel) {
  sound::Library& library = sound::TheLibrary();
  if (library.device == nullptr || !sound::IsMusicChannel(channel)) return 0;
  return library.device->Paused() ? 1 : 0;
}
