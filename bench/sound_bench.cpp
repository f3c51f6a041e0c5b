// sound_bench: what the music stream costs. Encodes 30 s of music-like audio to a 128 kbit/s
// MP3, then plays it through the FSOUND operations on SDL's disk driver and reports
//   - the decoder thread's CPU time per second of audio (share of one core),
//   - the start latency from FSOUND_Stream_Play to the first frames in the device callback,
//   - the heap an open stream holds (ring, decoder, converter).
#include <lame/lame.h>
#include <malloc.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <random>
#include <string>
#include <thread>
#include <vector>

#include "platform/sound/diagnostics.h"
#include "platform/sound/fsound.h"

namespace {

constexpr int kRate = 44100;
constexpr int kSeconds = 30;
constexpr unsigned kDemoMode = 0x2B;

// A chord that moves, with a little noise: enough detail for the encoder to spend its bits
// as it would on music, so decoding costs what it would.
std::vector<std::int16_t> MusicLikePcm() {
  std::vector<std::int16_t> pcm(static_cast<std::size_t>(kRate) * kSeconds * 2);
  std::mt19937 random(3);
  std::normal_distribution<double> noise(0.0, 0.02);
  const double kPi = 3.14159265358979;
  for (std::size_t i = 0; i < pcm.size() / 2; ++i) {
    const double t = static_cast<double>(i) / kRate;
    const double root = 110.0 * std::pow(2.0, std::floor(t / 2.0) / 12.0);
    double left = 0, right = 0;
    for (int h = 1; h <= 6; ++h) {
      left += std::sin(2 * kPi * root * h * t) / h;
      right += std::sin(2 * kPi * root * 1.5 * h * t + h) / h;
    }
    pcm[2 * i] =
        static_cast<std::int16_t>(std::clamp(0.2 * left + noise(random), -1.0, 1.0) * 32767);
    pcm[2 * i + 1] =
        static_cast<std::int16_t>(std::clamp(0.2 * right + noise(random), -1.0, 1.0) * 32767);
  }
  return pcm;
}

bool EncodeMp3(const std::filesystem::path& path) {
  std::vector<std::int16_t> pcm = MusicLikePcm();
  const int frames = static_cast<int>(pcm.size() / 2);
  lame_t lame = lame_init();
  lame_set_in_samplerate(lame, kRate);
  lame_set_num_channels(lame, 2);
  lame_set_brate(lame, 128);
  lame_set_quality(lame, 5);
  if (lame_init_params(lame) < 0) return false;
  std::vector<unsigned char> mp3(static_cast<std::size_t>(frames) * 5 / 4 + 7200);
  int bytes = lame_encode_buffer_interleaved(lame, pcm.data(), frames, mp3.data(),
                                             static_cast<int>(mp3.size()));
  if (bytes < 0) return false;
  const int tail =
      lame_encode_flush(lame, mp3.data() + bytes, static_cast<int>(mp3.size()) - bytes);
  lame_close(lame);
  if (tail < 0) return false;
  std::ofstream(path, std::ios::binary)
      .write(reinterpret_cast<const char*>(mp3.data()), bytes + tail);
  return true;
}

double Milliseconds(std::chrono::steady_clock::duration d) {
  return std::chrono::duration<double, std::milli>(d).count();
}

bool WaitUntil(FSOUND_STREAM* stream, bool (*done)(const sound::StreamStatistics&),
               std::chrono::seconds timeout) {
  const auto deadline = std::chrono::steady_clock::now() + timeout;
  while (std::chrono::steady_clock::now() < deadline) {
    if (done(sound::Statistics(stream))) return true;
    std::this_thread::sleep_for(std::chrono::milliseconds(2));
  }
  return false;
}

// Decoding cost: the device takes frames as fast as it can (no disk delay), so the decoder
// thread never idles; its CPU time over the audio it decoded is the share of one core
// that playback in real time costs.
void MeasureDecodeCost(const std::string& file) {
  setenv("SDL_DISKAUDIODELAY", "0", 1);
  if (FSOUND_Init(kRate, 32, 0) == 0) return;
  FSOUND_STREAM* stream = FSOUND_Stream_OpenFile(file.c_str(), kDemoMode, 0);
  if (stream == nullptr) return;
  const auto started = std::chrono::steady_clock::now();
  FSOUND_Stream_Play(FSOUND_FREE, stream);
  WaitUntil(
      stream, [](const sound::StreamStatistics& s) { return s.finished; },
      std::chrono::seconds(120));
  const double wall = Milliseconds(std::chrono::steady_clock::now() - started);
  std::this_thread::sleep_for(std::chrono::milliseconds(20));  // the thread's last figure
  const sound::StreamStatistics s = sound::Statistics(stream);
  const double audioSeconds = static_cast<double>(s.framesPlayed) / kRate;
  const double cpuSeconds = static_cast<double>(s.decoderCpuNanoseconds) / 1e9;
  std::printf(
      "decode: %.1f s of audio, decoder thread %.3f s CPU (%.1f ms wall): %.2f %% of one core\n",
      audioSeconds, cpuSeconds, wall, 100.0 * cpuSeconds / audioSeconds);
  FSOUND_Close();
  unsetenv("SDL_DISKAUDIODELAY");
}

// Real-time playback for a few seconds: everything the decoder thread spends, its idle
// wake-ups included.
void MeasureRealTimeCost(const std::string& file) {
  if (FSOUND_Init(kRate, 32, 0) == 0) return;
  FSOUND_STREAM* stream = FSOUND_Stream_OpenFile(file.c_str(), kDemoMode, 0);
  if (stream == nullptr) return;
  const sound::StreamStatistics before = sound::Statistics(stream);
  FSOUND_Stream_Play(FSOUND_FREE, stream);
  std::this_thread::sleep_for(std::chrono::seconds(5));
  const sound::StreamStatistics s = sound::Statistics(stream);
  const double cpu =
      static_cast<double>(s.decoderCpuNanoseconds - before.decoderCpuNanoseconds) / 1e9;
  std::printf(
      "real time: 5 s of playback, decoder thread %.3f s CPU: %.2f %% of one core, %llu underrun "
      "frames\n",
      cpu, 100.0 * cpu / 5.0, static_cast<unsigned long long>(s.underrunFrames));
  FSOUND_Close();
}

// Start latency at the disk driver's real-time pace (a buffer of 1024 frames every 23 ms,
// as a sound card asks for them), and how long the Play call itself takes.
void MeasureStartLatency(const std::string& file) {
  std::vector<double> latency, call;
  for (int run = 0; run < 20; ++run) {
    if (FSOUND_Init(kRate, 32, 0) == 0) return;
    FSOUND_STREAM* stream = FSOUND_Stream_OpenFile(file.c_str(), kDemoMode, 0);
    if (stream == nullptr) return;
    // Play at a different moment of the device's period each time.
    std::this_thread::sleep_for(std::chrono::microseconds(50000 + run * 1150));
    const auto before = std::chrono::steady_clock::now();
    FSOUND_Stream_Play(FSOUND_FREE, stream);
    call.push_back(Milliseconds(std::chrono::steady_clock::now() - before) * 1000.0);
    WaitUntil(
        stream, [](const sound::StreamStatistics& s) { return s.startLatencyNanoseconds >= 0; },
        std::chrono::seconds(5));
    latency.push_back(static_cast<double>(sound::Statistics(stream).startLatencyNanoseconds) / 1e6);
    FSOUND_Close();
  }
  std::sort(latency.begin(), latency.end());
  std::sort(call.begin(), call.end());
  std::printf(
      "start latency over %zu plays: median %.1f ms, max %.1f ms; the Play call: median %.1f us, "
      "max %.1f us\n",
      latency.size(), latency[latency.size() / 2], latency.back(), call[call.size() / 2],
      call.back());
}

// Heap held by one open stream, and its peak while it plays.
void MeasureMemory(const std::string& file) {
  if (FSOUND_Init(kRate, 32, 0) == 0) return;
  const std::size_t base = mallinfo2().uordblks;
  FSOUND_STREAM* stream = FSOUND_Stream_OpenFile(file.c_str(), kDemoMode, 0);
  if (stream == nullptr) return;
  const std::size_t open = mallinfo2().uordblks - base;
  FSOUND_Stream_Play(FSOUND_FREE, stream);
  std::size_t peak = open;
  for (int i = 0; i < 200; ++i) {
    peak = std::max(peak, mallinfo2().uordblks - base);
    std::this_thread::sleep_for(std::chrono::milliseconds(5));
  }
  std::printf(
      "memory: an open stream holds %.1f KiB of heap (ring %.1f KiB), peak %.1f KiB while "
      "playing\n",
      open / 1024.0, sound::Statistics(stream).ringBytes / 1024.0, peak / 1024.0);
  FSOUND_Close();
}

}  // namespace

int main() {
  // One heap arena for every thread, so that mallinfo2 sees the decoder thread's share too.
  mallopt(M_ARENA_MAX, 1);
  setenv("SDL_AUDIODRIVER", "disk", 1);
  setenv("SDL_DISKAUDIOFILE", "/dev/null", 1);
  const auto file = std::filesystem::temp_directory_path() /
                    ("sound-bench-" + std::to_string(::getpid()) + ".mp3");
  if (!EncodeMp3(file)) {
    std::fprintf(stderr, "could not encode the test music\n");
    return 1;
  }
  std::printf("test music: %d s, 128 kbit/s, %ju bytes\n", kSeconds,
              static_cast<std::uintmax_t>(std::filesystem::file_size(file)));
  MeasureMemory(file);
  MeasureStartLatency(file);
  MeasureDecodeCost(file);
  MeasureRealTimeCost(file);
  std::filesystem::remove(file);
  return 0;
}
