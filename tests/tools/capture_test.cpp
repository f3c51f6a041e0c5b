// The pieces of `orchard capture` that decide what ends up in the video: which demo time
// each frame shows, which samples of the music go with a span, the WAV they are written
// to, and how a supersampled picture is made small.
#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <climits>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "tools/audio_span.h"
#include "tools/box_filter.h"
#include "tools/frame_clock.h"

namespace {

namespace fs = std::filesystem;
using orchard::FrameRate;

// floor(k * 1000 / rate) computed in 128 bits, as the reference for the 64-bit clock.
std::int64_t ReferenceOffset(std::int64_t k, FrameRate rate) {
  const __int128 scaled = static_cast<__int128>(k) * 1000 * rate.den;
  return static_cast<std::int64_t>(scaled / rate.num);
}

TEST(FrameClock, FrameTimesFollowTheExactRate) {
  const FrameRate ntsc{60000, 1001};
  // The first frames of 59.94 fps: 1001/60 ms apart, floored.
  const std::int64_t expected[] = {0, 16, 33, 50, 66, 83, 100, 116, 133, 150, 166};
  for (std::int64_t k = 0; k < 11; ++k) EXPECT_EQ(orchard::FrameOffsetMs(k, ntsc), expected[k]) << k;

  // No drift however far: every frame of a whole demo, and frames far beyond it.
  for (const FrameRate rate : {FrameRate{60, 1}, FrameRate{30, 1}, ntsc, FrameRate{24000, 1001},
                               FrameRate{1000000, 999999}}) {
    for (std::int64_t k = 0; k <= 20000; ++k)
      ASSERT_EQ(orchard::FrameOffsetMs(k, rate), ReferenceOffset(k, rate)) << k << " @ " << rate.num;
    // The last frame of the longest span there is (the whole 32-bit clock).
    const std::int64_t last = orchard::FrameCount(std::int64_t{UINT32_MAX}, rate) - 1;
    for (const std::int64_t k : {last / 3, last - 1, last})
      EXPECT_EQ(orchard::FrameOffsetMs(k, rate), ReferenceOffset(k, rate)) << k << " @ " << rate.num;
    EXPECT_LT(orchard::FrameOffsetMs(last, rate), std::int64_t{UINT32_MAX});
  }
  // 60000 frames of 59.94 fps last exactly 1001 s.
  EXPECT_EQ(orchard::FrameOffsetMs(60000, ntsc), 1001000);
}

TEST(FrameClock, FrameCountCoversEveryFrameBeforeTheEnd) {
  struct Case {
    std::int64_t spanMs;
    FrameRate rate;
    std::int64_t frames;
  };
  const Case cases[] = {
      {2000, {30, 1}, 60},
      {294000, {60, 1}, 17640},
      {294000, {60000, 1001}, 17623},  // 17622 * 1001 / 60 = 293997.7 < 294000
      {1, {60, 1}, 1},
      {17, {60, 1}, 2},                // frame 1 is at 16.67 ms
      {0, {60, 1}, 0},
      {-5, {60, 1}, 0},
  };
  for (const Case& c : cases) {
    const std::int64_t n = orchard::FrameCount(c.spanMs, c.rate);
    EXPECT_EQ(n, c.frames) << c.spanMs << " ms at " << c.rate.num << "/" << c.rate.den;
    if (n > 0) {
      EXPECT_LT(orchard::FrameOffsetMs(n - 1, c.rate), c.spanMs);
      EXPECT_GE(n * 1000 * c.rate.den, c.spanMs * c.rate.num) << "frame n would still be inside";
    }
  }
}

TEST(FrameClock, RatesParseAsReducedFractions) {
  EXPECT_EQ(orchard::ParseFrameRate("60"), (FrameRate{60, 1}));
  EXPECT_EQ(orchard::ParseFrameRate("60000/1001"), (FrameRate{60000, 1001}));
  EXPECT_EQ(orchard::ParseFrameRate("120/2"), (FrameRate{60, 1}));
  for (const char* bad : {"", "0", "-30", "30/0", "29.97", "30/", "/2", "x", "2000000", "1/2000000"})
    EXPECT_FALSE(orchard::ParseFrameRate(bad).has_value()) << bad;
}

orchard::PcmAudio Ramp(int rate, int channels, std::int64_t frames) {
  orchard::PcmAudio audio;
  audio.rate = rate;
  audio.channels = channels;
  for (std::int64_t i = 0; i < frames; ++i)
    for (int c = 0; c < channels; ++c) audio.samples.push_back(static_cast<std::int16_t>((i * channels + c) % 30000 + 1));
  return audio;
}

TEST(AudioSpan, CutsTheSamplesOfTheSpanAndFillsTheRestWithSilence) {
  const orchard::PcmAudio music = Ramp(44100, 2, 44100);  // one second, never zero

  // 10 ms at 44.1 kHz starts at sample 441 and holds 441 frames.
  const auto piece = orchard::CutSpan(music, 10, 20);
  ASSERT_EQ(piece.Frames(), 441);
  EXPECT_EQ(piece.samples.front(), music.samples[441 * 2]);
  EXPECT_EQ(piece.samples.back(), music.samples[882 * 2 - 1]);

  // Spans side by side make up the whole without a sample twice or missing, also where
  // ms * 44.1 falls on a half sample (5 ms = 220.5).
  std::vector<std::int16_t> joined;
  for (std::int64_t t = 0; t < 1000; t += 5) {
    const auto part = orchard::CutSpan(music, t, t + 5);
    joined.insert(joined.end(), part.samples.begin(), part.samples.end());
  }
  EXPECT_EQ(joined, music.samples);

  // Before the start and after the end of the music: silence, the length still exact.
  const auto around = orchard::CutSpan(music, -500, 1500);
  ASSERT_EQ(around.Frames(), 88200);
  EXPECT_EQ(around.samples[22050 * 2 - 1], 0);
  EXPECT_EQ(around.samples[22050 * 2], music.samples[0]);
  EXPECT_EQ(around.samples[66150 * 2 - 1], music.samples.back());
  EXPECT_EQ(around.samples[66150 * 2], 0);

  // No music at all: silence of the span's length at the default format.
  const auto silent = orchard::CutSpan(orchard::PcmAudio{}, 0, 2000);
  EXPECT_EQ(silent.rate, 48000);
  EXPECT_EQ(silent.Frames(), 96000);
  EXPECT_EQ(std::count(silent.samples.begin(), silent.samples.end(), 0), 192000);
}

TEST(AudioSpan, StoppedCapturesKeepTheMusicOfTheirFrames) {
  // 281 frames of 30 fps last 9.3667 s: 449600 samples at 48 kHz, 413070 at 44.1 kHz.
  EXPECT_EQ(orchard::SamplesForFrames(281, {30, 1}, 48000), 449600);
  EXPECT_EQ(orchard::SamplesForFrames(281, {30, 1}, 44100), 413070);
  EXPECT_EQ(orchard::SamplesForFrames(1, {60000, 1001}, 48000), 801);  // 800.8
  orchard::PcmAudio audio = Ramp(48000, 2, 1000);
  orchard::KeepFrames(audio, 801);
  EXPECT_EQ(audio.Frames(), 801);
  orchard::KeepFrames(audio, 5000);
  EXPECT_EQ(audio.Frames(), 801) << "keeping more than there is changes nothing";
}

class AudioFiles : public ::testing::Test {
 protected:
  void SetUp() override {
    work = fs::temp_directory_path() / ("capture-unit-test-" + std::to_string(::getpid()));
    fs::create_directories(work);
  }
  void TearDown() override { fs::remove_all(work); }
  fs::path work;
};

TEST_F(AudioFiles, WavHoldsTheSamplesBehindAStandardHeader) {
  const orchard::PcmAudio audio = Ramp(22050, 1, 300);
  std::string error;
  ASSERT_TRUE(orchard::WriteWav((work / "a.wav").string(), audio, &error)) << error;
  std::ifstream in(work / "a.wav", std::ios::binary);
  const std::string bytes{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
  ASSERT_EQ(bytes.size(), 44u + 600u);
  auto u32 = [&bytes](std::size_t at) {
    return static_cast<std::uint32_t>(static_cast<std::uint8_t>(bytes[at])) |
           static_cast<std::uint32_t>(static_cast<std::uint8_t>(bytes[at + 1])) << 8 |
           static_cast<std::uint32_t>(static_cast<std::uint8_t>(bytes[at + 2])) << 16 |
           static_cast<std::uint32_t>(static_cast<std::uint8_t>(bytes[at + 3])) << 24;
  };
  EXPECT_EQ(bytes.substr(0, 4), "RIFF");
  EXPECT_EQ(u32(4), 36u + 600u);
  EXPECT_EQ(bytes.substr(8, 8), "WAVEfmt ");
  EXPECT_EQ(u32(20) & 0xFFFF, 1u);         // PCM
  EXPECT_EQ(u32(20) >> 16, 1u);            // mono
  EXPECT_EQ(u32(24), 22050u);              // rate
  EXPECT_EQ(u32(28), 44100u);              // bytes per second
  EXPECT_EQ(bytes.substr(36, 4), "data");
  EXPECT_EQ(u32(40), 600u);
  EXPECT_EQ(bytes[44], 1);
  EXPECT_EQ(bytes[45], 0);

  EXPECT_FALSE(orchard::WriteWav((work / "no" / "such" / "b.wav").string(), audio, &error));
  EXPECT_FALSE(error.empty());
}

TEST_F(AudioFiles, MusicDecodesAtItsOwnFormatOrExplainsWhyNot) {
  const std::string fixtures = ORCHARD_TEST_FIXTURES "/mp3/";
  // The fixture is a mono sine of about 1.57 s at 22.05 kHz; only what the span needs is kept.
  const auto sine = orchard::DecodeMusic(fixtures + "sine-22050-mono.mp3", 1000);
  ASSERT_TRUE(sine.audio.has_value()) << sine.warning;
  EXPECT_EQ(sine.audio->rate, 22050);
  EXPECT_EQ(sine.audio->channels, 1);
  EXPECT_EQ(sine.audio->Frames(), 22050);
  EXPECT_GT(*std::max_element(sine.audio->samples.begin(), sine.audio->samples.end()), 1000);

  const auto whole = orchard::DecodeMusic(fixtures + "chord-44100-stereo.mp3", 294000);
  ASSERT_TRUE(whole.audio.has_value());
  EXPECT_EQ(whole.audio->channels, 2);
  EXPECT_NEAR(static_cast<double>(whole.audio->Frames()) / 44100, 1.2, 0.1) << "the file, not the span";

  for (const std::string& missing : {fixtures + "not-audio.mp3", (work / "none.mp3").string(), work.string()}) {
    const auto none = orchard::DecodeMusic(missing, 1000);
    EXPECT_FALSE(none.audio.has_value()) << missing;
    EXPECT_NE(none.warning.find(missing), std::string::npos) << none.warning;
  }
}

TEST(BoxFilter, EachPixelIsTheRoundedMeanOfItsBlock) {
  d3dx::Image large;
  large.width = 4;
  large.height = 2;
  // Left block: red 0,1,1,1 -> 0.75 -> 1; green 10,20,30,41 -> 25.25 -> 25; blue 1,2,2,2 ->
  // 1.75 -> 2 (halves and above round up). Right block: all 255 stays 255.
  large.rgba = {0, 10, 1, 255, 1, 20, 2, 255, 255, 255, 255, 255, 255, 255, 255, 255,
                1, 30, 2, 255, 1, 41, 2, 255, 255, 255, 255, 255, 255, 255, 255, 255};
  const d3dx::Image small = orchard::BoxFilterDown(large, 2);
  ASSERT_EQ(small.width, 2);
  ASSERT_EQ(small.height, 1);
  EXPECT_EQ(small.rgba, (std::vector<std::uint8_t>{1, 25, 2, 255, 255, 255, 255, 255}));

  std::vector<std::uint8_t> rgb;
  orchard::ToRgb24(small, rgb);
  EXPECT_EQ(rgb, (std::vector<std::uint8_t>{1, 25, 2, 255, 255, 255}));
}

}  // namespace
