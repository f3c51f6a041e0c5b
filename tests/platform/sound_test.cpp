// The sound layer end to end: MP3 files opened through the FSOUND operations, played on
// SDL's disk driver, and the samples that reached the device compared with a plain
// mpg123 decode of the same file.
#include <gtest/gtest.h>
#include <mpg123.h>
#include <sys/stat.h>

#include <cmath>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <ostream>
#include <random>
#include <string>
#include <vector>

#include "platform/sound/diagnostics.h"
#include "platform/sound/fsound.h"
#include "tests/platform/disk_audio.h"

namespace {

namespace fs = std::filesystem;
using sound_test::DiskAudioCapture;
using sound_test::Frames;
using sound_test::TempPath;
using sound_test::WaitUntilPlayed;

constexpr int kDeviceRate = 44100;
constexpr unsigned kDemoMode = 0x2B;
const std::string kFixtures = "fixtures/mp3/";

// The whole file through mpg123 with its defaults, at the file's own rate and channels.
struct Decoded {
  std::vector<std::int16_t> samples;
  long rate = 0;
  int channels = 0;
};

Decoded DecodeWithMpg123(const std::string& path) {
  mpg123_init();
  Decoded decoded;
  int error = 0;
  mpg123_handle* mh = mpg123_new(nullptr, &error);
  mpg123_format_none(mh);
  const long* rates = nullptr;
  std::size_t count = 0;
  mpg123_rates(&rates, &count);
  for (std::size_t i = 0; i < count; ++i) {
    mpg123_format(mh, rates[i], MPG123_MONO | MPG123_STEREO, MPG123_ENC_SIGNED_16);
  }
  EXPECT_EQ(mpg123_open(mh, path.c_str()), MPG123_OK);
  int encoding = 0;
  mpg123_getformat(mh, &decoded.rate, &decoded.channels, &encoding);
  std::vector<std::int16_t> buffer(8192);
  for (;;) {
    std::size_t done = 0;
    const int result = mpg123_read(mh, buffer.data(), buffer.size() * 2, &done);
    decoded.samples.insert(decoded.samples.end(), buffer.begin(), buffer.begin() + done / 2);
    if (result != MPG123_OK && result != MPG123_NEW_FORMAT) break;
  }
  mpg123_close(mh);
  mpg123_delete(mh);
  return decoded;
}

// Normalised correlation of one channel of `played` from `start` with the same channel of
// a stereo reference, over `frames` frames.
double Correlation(const Frames& played, std::size_t start, const std::vector<std::int16_t>& ref,
                   int channel, std::size_t frames) {
  double sum = 0, playedEnergy = 0, refEnergy = 0;
  for (std::size_t i = 0; i < frames; ++i) {
    const double a = played.samples[(start + i) * 2 + channel];
    const double b = ref[i * 2 + channel];
    sum += a * b;
    playedEnergy += a * a;
    refEnergy += b * b;
  }
  return sum / std::sqrt(playedEnergy * refEnergy + 1e-9);
}

// The frame after the last frame that is not silent.
std::size_t EndOfSound(const Frames& frames) {
  std::size_t end = frames.Count();
  while (end > 0 && frames.Left(end - 1) == 0 && frames.Right(end - 1) == 0) --end;
  return end;
}

FSOUND_STREAM* InitAndOpen(const std::string& path) {
  EXPECT_NE(FSOUND_Init(kDeviceRate, 32, 0), 0);
  return FSOUND_Stream_OpenFile(path.c_str(), kDemoMode, 0);
}

TEST(SoundStream, StereoFileReachesTheDeviceAsMpg123DecodesIt) {
  const std::string file = kFixtures + "chord-44100-stereo.mp3";
  const Decoded reference = DecodeWithMpg123(file);
  ASSERT_EQ(reference.rate, 44100);
  ASSERT_EQ(reference.channels, 2);

  DiskAudioCapture capture("stereo");
  FSOUND_STREAM* stream = InitAndOpen(file);
  ASSERT_NE(stream, nullptr);
  ASSERT_EQ(FSOUND_Stream_Play(FSOUND_FREE, stream), 0);
  ASSERT_TRUE(WaitUntilPlayed(stream, kDeviceRate + 2048));
  EXPECT_EQ(sound::Statistics(stream).underrunFrames, 0u) << "the ring ran dry while playing";
  const Frames played = capture.Finish();

  // Silence comes before the stream; line the first sounds up, then look a little either
  // side for the best match.
  const std::size_t playedStart = played.FirstSound();
  Frames referenceFrames{reference.samples};
  const std::size_t referenceStart = referenceFrames.FirstSound();
  ASSERT_GE(played.Count(), playedStart + kDeviceRate + 33);
  const std::vector<std::int16_t> ref(reference.samples.begin() + referenceStart * 2,
                                      reference.samples.end());
  ASSERT_GE(ref.size() / 2, static_cast<std::size_t>(kDeviceRate));
  double best[2] = {-1, -1};
  const std::size_t from = playedStart >= 32 ? playedStart - 32 : 0;
  for (std::size_t start = from; start <= playedStart + 32; ++start) {
    for (int channel = 0; channel < 2; ++channel) {
      best[channel] =
          std::max(best[channel], Correlation(played, start, ref, channel, kDeviceRate));
    }
  }
  // Channel by channel: 440 Hz left and 660 Hz right do not correlate, so a swap fails.
  EXPECT_GT(best[0], 0.99);
  EXPECT_GT(best[1], 0.99);
}

// How long the file lasts as mpg123 decodes it (encoder delay and padding removed).
double Seconds(const Decoded& decoded) {
  return static_cast<double>(decoded.samples.size()) / decoded.channels / decoded.rate;
}

TEST(SoundStream, MonoFileAtHalfTheRateComesOutStereoAtTheDeviceRateAndPitch) {
  const std::string file = kFixtures + "sine-22050-mono.mp3";
  const Decoded reference = DecodeWithMpg123(file);
  ASSERT_EQ(reference.rate, 22050);
  ASSERT_EQ(reference.channels, 1);

  DiskAudioCapture capture("mono");
  FSOUND_STREAM* stream = InitAndOpen(file);
  ASSERT_NE(stream, nullptr);
  ASSERT_EQ(FSOUND_Stream_Play(FSOUND_FREE, stream), 0);
  ASSERT_TRUE(WaitUntilPlayed(stream, UINT64_MAX));
  const Frames played = capture.Finish();

  const std::size_t start = played.FirstSound();
  const std::size_t end = EndOfSound(played);
  // As long as the file at 44100 frames a second (at 22050 it would last twice as long).
  EXPECT_NEAR(static_cast<double>(end - start) / kDeviceRate, Seconds(reference), 0.01);

  // The 1000 Hz tone, counted by its upward zero crossings over one second in the middle.
  ASSERT_GE(end - start, static_cast<std::size_t>(kDeviceRate) + 8820);
  int crossings = 0;
  int unequal = 0;
  for (std::size_t i = start + 4410; i < start + 4410 + kDeviceRate; ++i) {
    if (played.Left(i) < 0 && played.Left(i + 1) >= 0) ++crossings;
    if (std::abs(played.Left(i) - played.Right(i)) > 1) ++unequal;
  }
  EXPECT_NEAR(crossings, 1000, 10);
  EXPECT_EQ(unequal, 0) << "a mono file plays the same on both channels";
}

TEST(SoundStream, PlaysOnceThenStaysSilent) {
  const std::string file = kFixtures + "chord-44100-stereo.mp3";
  const Decoded reference = DecodeWithMpg123(file);
  DiskAudioCapture capture("once");
  FSOUND_STREAM* stream = InitAndOpen(file);
  ASSERT_NE(stream, nullptr);
  ASSERT_EQ(FSOUND_Stream_Play(FSOUND_FREE, stream), 0);
  ASSERT_TRUE(WaitUntilPlayed(stream, UINT64_MAX));
  std::this_thread::sleep_for(std::chrono::milliseconds(400));
  const sound::StreamStatistics statistics = sound::Statistics(stream);
  const Frames played = capture.Finish();

  EXPECT_TRUE(statistics.finished);
  EXPECT_EQ(statistics.underrunFrames, 0u);
  // The music once, then nothing: no second pass, no noise after the end.
  const std::size_t start = played.FirstSound();
  const std::size_t end = EndOfSound(played);
  EXPECT_NEAR(static_cast<double>(end - start) / kDeviceRate, Seconds(reference), 0.01);
  EXPECT_GE(played.Count() - end, static_cast<std::size_t>(kDeviceRate) / 4);
}

// ---- files that are not good music --------------------------------------------------

void WriteBytes(const fs::path& path, const std::vector<unsigned char>& bytes) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(reinterpret_cast<const char*>(bytes.data()),
            static_cast<std::streamsize>(bytes.size()));
}

std::vector<unsigned char> ReadBytes(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), {}};
}

// An ID3v2 header whose size field says `size` bytes of tag follow.
std::vector<unsigned char> Id3Header(std::uint32_t size) {
  return {'I',
          'D',
          '3',
          3,
          0,
          0,
          static_cast<unsigned char>((size >> 21) & 0x7F),
          static_cast<unsigned char>((size >> 14) & 0x7F),
          static_cast<unsigned char>((size >> 7) & 0x7F),
          static_cast<unsigned char>(size & 0x7F)};
}

enum class Outcome { kNoStream, kPlays, kEither };

struct BadFileCase {
  const char* name;
  Outcome outcome;
  // Makes the file and returns the name to open (may differ from the path made).
  std::string (*make)(const fs::path& path);
};

const BadFileCase kBadFiles[] = {
    {"missing", Outcome::kNoStream, [](const fs::path& path) { return path.string(); }},
    {"text", Outcome::kNoStream, [](const fs::path&) { return kFixtures + "not-audio.mp3"; }},
    {"folder", Outcome::kNoStream,
     [](const fs::path& path) {
       fs::create_directory(path);
       return path.string();
     }},
    {"fifo", Outcome::kNoStream,  // must not wait for a writer
     [](const fs::path& path) {
       ::mkfifo(path.c_str(), 0600);
       return path.string();
     }},
    {"empty", Outcome::kNoStream,
     [](const fs::path& path) {
       WriteBytes(path, {});
       return path.string();
     }},
    {"tag-only", Outcome::kNoStream,
     [](const fs::path& path) {
       auto bytes = Id3Header(1000);
       bytes.resize(bytes.size() + 1000, 0);
       WriteBytes(path, bytes);
       return path.string();
     }},
    {"tag-claims-256MB", Outcome::kNoStream,
     [](const fs::path& path) {
       auto bytes = Id3Header(0x0FFFFFFF);
       bytes.resize(4096, 0x55);
       WriteBytes(path, bytes);
       return path.string();
     }},
    {"garbage", Outcome::kEither,
     [](const fs::path& path) {
       std::mt19937 random(7);
       std::vector<unsigned char> bytes(64 * 1024);
       for (auto& byte : bytes) byte = static_cast<unsigned char>(random());
       WriteBytes(path, bytes);
       return path.string();
     }},
    {"truncated", Outcome::kPlays, [](const fs::path&) { return kFixtures + "truncated.mp3"; }},
    {"music-after-2MB-tag", Outcome::kPlays,
     [](const fs::path& path) {
       auto bytes = Id3Header(2 << 20);
       bytes.resize(bytes.size() + (2 << 20), 0);
       const auto music = ReadBytes(kFixtures + "chord-44100-stereo.mp3");
       bytes.insert(bytes.end(), music.begin(), music.end());
       WriteBytes(path, bytes);
       return path.string();
     }},
    {"junk-in-the-middle", Outcome::kPlays,
     [](const fs::path& path) {
       auto bytes = ReadBytes(kFixtures + "chord-44100-stereo.mp3");
       std::mt19937 random(11);
       for (std::size_t i = 3000; i < 7000; ++i) bytes[i] = static_cast<unsigned char>(random());
       WriteBytes(path, bytes);
       return path.string();
     }},
    {"windows-name-in-other-case", Outcome::kPlays,
     [](const fs::path&) { return std::string("Fixtures\\MP3\\Chord-44100-Stereo.MP3"); }},
};

void PrintTo(const BadFileCase& c, std::ostream* out) { *out << c.name; }

class BadFiles : public ::testing::TestWithParam<BadFileCase> {};

TEST_P(BadFiles, GiveNoStreamOrPlayWhatDecodesAndEnd) {
  const BadFileCase& c = GetParam();
  const fs::path path = TempPath(std::string("bad-") + c.name + ".mp3");
  const std::string name = c.make(path);
  DiskAudioCapture capture(c.name);

  const auto openStarted = std::chrono::steady_clock::now();
  FSOUND_STREAM* stream = InitAndOpen(name);
  EXPECT_LT(std::chrono::steady_clock::now() - openStarted, std::chrono::seconds(2));
  if (c.outcome == Outcome::kNoStream) {
    EXPECT_EQ(stream, nullptr);
  } else if (c.outcome == Outcome::kPlays) {
    EXPECT_NE(stream, nullptr);
  }
  if (stream != nullptr) {
    ASSERT_EQ(FSOUND_Stream_Play(FSOUND_FREE, stream), 0);
    EXPECT_TRUE(WaitUntilPlayed(stream, UINT64_MAX)) << "the stream never came to its end";
    if (c.outcome == Outcome::kPlays) {
      EXPECT_GT(sound::Statistics(stream).framesPlayed, 0u);
    }
  }
  capture.Finish();
  std::error_code ignored;
  fs::remove(path, ignored);
}

INSTANTIATE_TEST_SUITE_P(Sound, BadFiles, ::testing::ValuesIn(kBadFiles), [](const auto& info) {
  std::string name = info.param.name;
  for (char& ch : name) {
    if (ch == '-') ch = '_';
  }
  return name;
});

// ---- device and handles -----------------------------------------------------------

TEST(SoundDevice, ANonexistentDriverFailsInitCleanlyAndTheNextInitRecovers) {
  DiskAudioCapture capture("no-device");
  setenv("SDL_AUDIODRIVER", "no-such-driver", 1);
  EXPECT_EQ(FSOUND_Init(kDeviceRate, 32, 0), 0);
  EXPECT_EQ(FSOUND_Stream_OpenFile((kFixtures + "chord-44100-stereo.mp3").c_str(), kDemoMode, 0),
            nullptr);
  FSOUND_Close();

  setenv("SDL_AUDIODRIVER", "disk", 1);
  FSOUND_STREAM* stream = InitAndOpen(kFixtures + "chord-44100-stereo.mp3");
  ASSERT_NE(stream, nullptr);
  EXPECT_EQ(FSOUND_Stream_Play(FSOUND_FREE, stream), 0);
  EXPECT_TRUE(WaitUntilPlayed(stream, 1));
}

TEST(SoundDevice, PlayTakesOnlyOpenStreamsOnTheMusicChannel) {
  DiskAudioCapture capture("handles");
  EXPECT_EQ(FSOUND_Stream_Play(FSOUND_FREE, nullptr), -1) << "no device yet";
  FSOUND_STREAM* stream = InitAndOpen(kFixtures + "chord-44100-stereo.mp3");
  ASSERT_NE(stream, nullptr);
  EXPECT_EQ(FSOUND_Stream_Play(FSOUND_FREE, nullptr), -1);
  EXPECT_EQ(FSOUND_Stream_Play(5, stream), -1);
  EXPECT_EQ(FSOUND_Stream_Play(0, stream), 0);
  ASSERT_TRUE(WaitUntilPlayed(stream, 1));

  // Closing the playing stream detaches it from the device first; its handle then means
  // nothing to the layer.
  EXPECT_NE(FSOUND_Stream_Close(stream), 0);
  EXPECT_EQ(FSOUND_Stream_Close(stream), 0);
  EXPECT_EQ(FSOUND_Stream_Play(FSOUND_FREE, stream), -1);
}

// ---- position, seeking and pausing ------------------------------------------------
//
// The disk driver writes each callback's buffer to the file as a whole, so a stream that
// starts playing, stops (paused, finished) or comes back does so on a multiple of the
// device buffer in the file.

// Where the next stretch of music begins in `played` at or after frame `from`: the first
// frame that is not silent, back to the start of its callback (music may begin at zero).
std::size_t NextMusicAt(const Frames& played, std::size_t from, std::size_t bufferFrames) {
  std::size_t i = from;
  while (i < played.Count() && played.Left(i) == 0 && played.Right(i) == 0) ++i;
  return std::max(from, i / bufferFrames * bufferFrames);
}

// The first of `count` frames of `played` from `at` that differs from `expected` from
// `expectedAt` by more than `tolerance`; `count` when none does.
std::size_t FirstMismatch(const Frames& played, std::size_t at, const Frames& expected,
                          std::size_t expectedAt, std::size_t count, int tolerance = 0) {
  if (played.Count() < at + count || expected.Count() < expectedAt + count) return 0;
  for (std::size_t i = 0; i < count; ++i) {
    if (std::abs(played.Left(at + i) - expected.Left(expectedAt + i)) > tolerance ||
        std::abs(played.Right(at + i) - expected.Right(expectedAt + i)) > tolerance) {
      return i;
    }
  }
  return count;
}

std::int64_t FrameAt(int ms, int rate) { return std::llround(ms * static_cast<double>(rate) / 1000); }

int MsAt(std::int64_t frame, int rate) {
  return static_cast<int>(std::llround(static_cast<double>(frame) * 1000 / rate));
}

// Waits for the device to give the paused stream at least one callback of silence.
void WaitForASilentCallback(const FSOUND_STREAM* stream) {
  const std::int64_t before = sound::Position(stream).takenAtNanoseconds;
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(5);
  while (sound::Position(stream).takenAtNanoseconds == before &&
         std::chrono::steady_clock::now() < deadline) {
    std::this_thread::sleep_for(std::chrono::milliseconds(5));
  }
}

// Play, pause, seek back while paused, resume, play to the end: the position counts
// exactly the frames the device took, holds still while paused, and the music comes back
// at the sample the seek named.
TEST(SoundPosition, CountsExactlyWhatTheDeviceTookThroughPauseSeekAndResume) {
  const std::string file = kFixtures + "chord-44100-stereo.mp3";
  const Frames reference{DecodeWithMpg123(file).samples};
  DiskAudioCapture capture("position");
  FSOUND_STREAM* stream = InitAndOpen(file);
  ASSERT_NE(stream, nullptr);

  const sound::PlaybackPosition opened = sound::Position(stream);
  EXPECT_EQ(opened.frame, 0);
  EXPECT_EQ(opened.rate, kDeviceRate);
  EXPECT_EQ(opened.takenAtNanoseconds, 0) << "no callback has taken anything yet";
  EXPECT_FALSE(opened.paused);
  EXPECT_FALSE(opened.finished);
  const auto buffer = static_cast<std::size_t>(opened.deviceBufferFrames);
  ASSERT_GT(buffer, 0u);

  ASSERT_EQ(FSOUND_Stream_Play(FSOUND_FREE, stream), 0);
  ASSERT_TRUE(WaitUntilPlayed(stream, 8 * buffer));
  ASSERT_NE(FSOUND_SetPaused(0, 1), 0);
  EXPECT_NE(FSOUND_GetPaused(0), 0);
  const sound::PlaybackPosition paused = sound::Position(stream);
  EXPECT_TRUE(paused.paused);
  EXPECT_GT(paused.takenAtNanoseconds, 0);
  EXPECT_EQ(paused.frame % buffer, 0u) << "whole callbacks, no underrun";
  EXPECT_EQ(FSOUND_Stream_GetTime(stream), MsAt(paused.frame, kDeviceRate));
  WaitForASilentCallback(stream);
  const sound::PlaybackPosition stillPaused = sound::Position(stream);
  EXPECT_EQ(stillPaused.frame, paused.frame) << "silence while paused does not count";
  EXPECT_GT(stillPaused.takenAtNanoseconds, paused.takenAtNanoseconds);

  constexpr int kSeekMs = 50;
  const std::int64_t seekFrame = FrameAt(kSeekMs, kDeviceRate);
  ASSERT_NE(FSOUND_Stream_SetTime(stream, kSeekMs), 0);
  EXPECT_EQ(sound::Position(stream).frame, seekFrame);
  EXPECT_EQ(FSOUND_Stream_GetTime(stream), kSeekMs);
  WaitForASilentCallback(stream);
  EXPECT_EQ(sound::Position(stream).frame, seekFrame) << "a seek does not unpause";
  EXPECT_NE(FSOUND_GetPaused(FSOUND_ALL), 0);

  ASSERT_NE(FSOUND_SetPaused(FSOUND_ALL, 0), 0);
  ASSERT_TRUE(WaitUntilPlayed(stream, UINT64_MAX));
  const sound::PlaybackPosition ended = sound::Position(stream);
  const sound::StreamStatistics statistics = sound::Statistics(stream);
  const Frames played = capture.Finish();

  EXPECT_TRUE(ended.finished);
  EXPECT_EQ(statistics.underrunFrames, 0u);
  EXPECT_EQ(ended.frame, static_cast<std::int64_t>(reference.Count()));
  EXPECT_GT(ended.takenAtNanoseconds, stillPaused.takenAtNanoseconds);
  // The file: the music from its start up to the pause, silence, then the music again
  // from the seek to the end, each sample as mpg123 decodes it.
  const std::size_t first = NextMusicAt(played, 0, buffer);
  const auto beforePause = static_cast<std::size_t>(paused.frame);
  EXPECT_EQ(FirstMismatch(played, first, reference, 0, beforePause), beforePause);
  const std::size_t second = NextMusicAt(played, first + beforePause, buffer);
  EXPECT_GE(second - (first + beforePause), buffer) << "no silence while paused";
  const std::size_t rest = reference.Count() - static_cast<std::size_t>(seekFrame);
  EXPECT_EQ(FirstMismatch(played, second, reference, static_cast<std::size_t>(seekFrame), rest),
            rest);
}

struct SeekCase {
  const char* file;
  int deviceRate;
  int ms;
};

void PrintTo(const SeekCase& c, std::ostream* out) {
  *out << c.file << " at " << c.deviceRate << " Hz from " << c.ms << " ms";
}

class SoundSeek : public ::testing::TestWithParam<SeekCase> {};

// One stream plays the file through; a second, seeked before it ever played, must then
// give the very frames the first gave from that point on, also where the file is
// resampled for the device.
TEST_P(SoundSeek, AnUnplayedStreamStartsOnTheFrameThatPlayingThroughReaches) {
  const SeekCase& c = GetParam();
  const std::string file = kFixtures + c.file;
  const Decoded reference = DecodeWithMpg123(file);
  const auto fileFrames = static_cast<std::int64_t>(reference.samples.size()) / reference.channels;
  DiskAudioCapture capture("seek");
  ASSERT_NE(FSOUND_Init(c.deviceRate, 32, 0), 0);
  FSOUND_STREAM* through = FSOUND_Stream_OpenFile(file.c_str(), kDemoMode, 0);
  FSOUND_STREAM* seeked = FSOUND_Stream_OpenFile(file.c_str(), kDemoMode, 0);
  ASSERT_NE(through, nullptr);
  ASSERT_NE(seeked, nullptr);
  const auto buffer = static_cast<std::size_t>(sound::Position(through).deviceBufferFrames);

  ASSERT_EQ(FSOUND_Stream_Play(FSOUND_FREE, through), 0);
  ASSERT_TRUE(WaitUntilPlayed(through, UINT64_MAX));
  const std::int64_t throughEnd = sound::Position(through).frame;
  EXPECT_EQ(throughEnd, static_cast<std::int64_t>(sound::Statistics(through).framesPlayed));
  // Resampled or not, the music lasts as long as the file: no frame lost or added.
  EXPECT_EQ(throughEnd, std::llround(static_cast<double>(fileFrames) * c.deviceRate /
                                     static_cast<double>(reference.rate)));

  const std::int64_t seekFrame = FrameAt(c.ms, c.deviceRate);
  ASSERT_NE(FSOUND_Stream_SetTime(seeked, c.ms), 0);
  EXPECT_EQ(sound::Position(seeked).frame, seekFrame);
  EXPECT_EQ(sound::Position(seeked).takenAtNanoseconds, 0);
  EXPECT_EQ(FSOUND_Stream_GetTime(seeked), c.ms);
  ASSERT_EQ(FSOUND_Stream_Play(FSOUND_FREE, seeked), 0);
  ASSERT_TRUE(WaitUntilPlayed(seeked, UINT64_MAX));
  const sound::PlaybackPosition seekedEnd = sound::Position(seeked);
  EXPECT_EQ(sound::Statistics(through).underrunFrames + sound::Statistics(seeked).underrunFrames,
            0u);
  const Frames played = capture.Finish();

  EXPECT_EQ(seekedEnd.frame, throughEnd) << "both end on the same frame of the file";
  const std::size_t first = NextMusicAt(played, 0, buffer);
  const std::size_t second =
      NextMusicAt(played, first + static_cast<std::size_t>(throughEnd), buffer);
  const auto count = static_cast<std::size_t>(seekedEnd.frame - seekFrame);
  // The resampler computes in floating point; it may round a sample the other way.
  EXPECT_EQ(FirstMismatch(played, second, played, first + static_cast<std::size_t>(seekFrame),
                          count, 1),
            count);
}

INSTANTIATE_TEST_SUITE_P(
    Sound, SoundSeek,
    ::testing::Values(SeekCase{"chord-44100-stereo.mp3", 44100, 500},
                      SeekCase{"chord-44100-stereo.mp3", 48000, 733},
                      SeekCase{"sine-22050-mono.mp3", 44100, 333},
                      SeekCase{"sine-22050-mono.mp3", 48000, 1001}),
    [](const auto& info) {
      return std::string(info.param.file[0] == 'c' ? "stereo44100" : "mono22050") + "_to_" +
             std::to_string(info.param.deviceRate) + "_at_" + std::to_string(info.param.ms);
    });

TEST(SoundSeek, PastTheEndTheStreamIsFinishedAndSilent) {
  const std::string file = kFixtures + "chord-44100-stereo.mp3";
  const Frames reference{DecodeWithMpg123(file).samples};
  DiskAudioCapture capture("seek-end");
  FSOUND_STREAM* stream = InitAndOpen(file);
  ASSERT_NE(stream, nullptr);
  const int length = FSOUND_Stream_GetLengthMs(stream);
  EXPECT_EQ(length, MsAt(static_cast<std::int64_t>(reference.Count()), 44100));

  ASSERT_NE(FSOUND_Stream_SetTime(stream, length + 5000), 0);
  EXPECT_EQ(FSOUND_Stream_GetTime(stream), length);
  EXPECT_EQ(sound::Position(stream).frame, static_cast<std::int64_t>(reference.Count()));
  ASSERT_EQ(FSOUND_Stream_Play(FSOUND_FREE, stream), 0);
  ASSERT_TRUE(WaitUntilPlayed(stream, UINT64_MAX));
  std::this_thread::sleep_for(std::chrono::milliseconds(100));
  const sound::PlaybackPosition ended = sound::Position(stream);
  const Frames played = capture.Finish();

  EXPECT_TRUE(ended.finished);
  EXPECT_EQ(ended.frame, static_cast<std::int64_t>(reference.Count()));
  EXPECT_GT(ended.takenAtNanoseconds, 0) << "the callbacks still stamp the silence they give";
  EXPECT_EQ(played.FirstSound(), played.Count());
}

TEST(SoundSeek, RefusesUnknownStreamsNegativeTimesAndOtherChannels) {
  DiskAudioCapture capture("refusals");
  EXPECT_EQ(FSOUND_SetPaused(0, 1), 0) << "no device yet";
  EXPECT_EQ(FSOUND_GetPaused(0), 0);
  FSOUND_STREAM* stream = InitAndOpen(kFixtures + "sine-22050-mono.mp3");
  ASSERT_NE(stream, nullptr);
  EXPECT_EQ(FSOUND_Stream_GetLengthMs(stream), 1500);

  ASSERT_NE(FSOUND_Stream_SetTime(stream, 700), 0);
  EXPECT_EQ(FSOUND_Stream_SetTime(stream, -1), 0);
  EXPECT_EQ(FSOUND_Stream_GetTime(stream), 700) << "a refused seek leaves the stream as it was";

  FSOUND_STREAM* unknown = reinterpret_cast<FSOUND_STREAM*>(&capture);
  for (FSOUND_STREAM* bad : {unknown, static_cast<FSOUND_STREAM*>(nullptr)}) {
    EXPECT_EQ(FSOUND_Stream_SetTime(bad, 100), 0);
    EXPECT_EQ(FSOUND_Stream_GetTime(bad), 0);
    EXPECT_EQ(FSOUND_Stream_GetLengthMs(bad), 0);
    EXPECT_EQ(sound::Position(bad).rate, 0);
  }

  EXPECT_EQ(FSOUND_SetPaused(1, 1), 0);
  EXPECT_EQ(FSOUND_GetPaused(0), 0);
  EXPECT_NE(FSOUND_SetPaused(FSOUND_ALL, 1), 0);
  EXPECT_NE(FSOUND_GetPaused(0), 0);
  ASSERT_EQ(FSOUND_Stream_Play(FSOUND_FREE, stream), 0);
  EXPECT_EQ(FSOUND_GetPaused(0), 0) << "playing a stream starts it unpaused";

  // A closed stream is an unknown one.
  ASSERT_NE(FSOUND_Stream_Close(stream), 0);
  EXPECT_EQ(FSOUND_Stream_SetTime(stream, 100), 0);
  EXPECT_EQ(FSOUND_Stream_GetLengthMs(stream), 0);
}

// ---- a corpus of real files, where one is present -----------------------------------

TEST(SoundCorpus, EveryFileOpensAndPlaysOrGivesNoStream) {
  const fs::path corpus = ORCHARD_MP3_CORPUS;
  std::error_code error;
  if (!fs::is_directory(corpus, error)) GTEST_SKIP() << "no MP3 corpus at " << corpus;

  DiskAudioCapture capture("corpus");
  ASSERT_NE(FSOUND_Init(kDeviceRate, 32, 0), 0);
  int opened = 0;
  int refused = 0;
  for (const auto& entry : fs::recursive_directory_iterator(corpus, error)) {
    if (!entry.is_regular_file()) continue;
    SCOPED_TRACE(entry.path().string());
    const auto started = std::chrono::steady_clock::now();
    FSOUND_STREAM* stream = FSOUND_Stream_OpenFile(entry.path().c_str(), kDemoMode, 0);
    EXPECT_LT(std::chrono::steady_clock::now() - started, std::chrono::seconds(2));
    if (stream == nullptr) {
      ++refused;
      continue;
    }
    ++opened;
    EXPECT_EQ(FSOUND_Stream_Play(FSOUND_FREE, stream), 0);
    std::this_thread::sleep_for(std::chrono::milliseconds(150));
    EXPECT_NE(FSOUND_Stream_Close(stream), 0);
  }
  std::cout << "corpus: " << opened << " played, " << refused << " gave no stream\n";
}

}  // namespace
