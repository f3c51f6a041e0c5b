// What the sound layer sends to the device, caught with SDL's disk driver (the test
// environment sets SDL_AUDIODRIVER=disk): each test points the driver at a file of its own
// and reads the raw stereo 16-bit frames back once the device is closed.
#pragma once

#include <unistd.h>

#include <chrono>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <thread>
#include <vector>

#include "platform/sound/diagnostics.h"
#include "platform/sound/fsound.h"

namespace sound_test {

// Interleaved stereo frames.
struct Frames {
  std::vector<std::int16_t> samples;
  std::size_t Count() const { return samples.size() / 2; }
  std::int16_t Left(std::size_t frame) const { return samples[frame * 2]; }
  std::int16_t Right(std::size_t frame) const { return samples[frame * 2 + 1]; }
  // The first frame that is not silent, or Count() when all are.
  std::size_t FirstSound() const {
    std::size_t i = 0;
    while (i < samples.size() && samples[i] == 0) ++i;
    return i / 2;
  }
};

inline std::filesystem::path TempPath(const std::string& name) {
  return std::filesystem::temp_directory_path() /
         ("orchard-sound-" + std::to_string(::getpid()) + "-" + name);
}

// Directs the disk driver to a fresh file; the file is removed with the object.
class DiskAudioCapture {
 public:
  explicit DiskAudioCapture(const std::string& name) : path_(TempPath(name + ".raw")) {
    setenv("SDL_AUDIODRIVER", "disk", 1);
    setenv("SDL_DISKAUDIOFILE", path_.c_str(), 1);
  }
  ~DiskAudioCapture() {
    FSOUND_Close();
    std::error_code ignored;
    std::filesystem::remove(path_, ignored);
  }
  DiskAudioCapture(const DiskAudioCapture&) = delete;
  DiskAudioCapture& operator=(const DiskAudioCapture&) = delete;

  // Closes the device (which completes the file) and reads what it played.
  Frames Finish() {
    FSOUND_Close();
    std::ifstream file(path_, std::ios::binary);
    const std::vector<char> bytes{std::istreambuf_iterator<char>(file), {}};
    Frames frames;
    frames.samples.resize(bytes.size() / sizeof(std::int16_t) / 2 * 2);
    if (!frames.samples.empty()) {
      std::memcpy(frames.samples.data(), bytes.data(), frames.samples.size() * 2);
    }
    return frames;
  }

 private:
  std::filesystem::path path_;
};

// Waits until the stream has played `frames` frames or has finished; false on timeout.
inline bool WaitUntilPlayed(const FSOUND_STREAM* stream, std::uint64_t frames,
                            std::chrono::milliseconds timeout = std::chrono::seconds(10)) {
  const auto deadline = std::chrono::steady_clock::now() + timeout;
  while (std::chrono::steady_clock::now() < deadline) {
    const sound::StreamStatistics statistics = sound::Statistics(stream);
    if (statistics.finished || statistics.framesPlayed >= frames) return true;
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  }
  return false;
}

}  // namespace sound_test
