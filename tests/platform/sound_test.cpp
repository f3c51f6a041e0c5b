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
