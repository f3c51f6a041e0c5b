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
