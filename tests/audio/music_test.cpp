// InitSound and PlayMusic against the real sound layer on SDL's disk driver: the warnings
// each failure shows, in order, and music that reaches the device when all is well.
#include <gtest/gtest.h>

#include <bit>
#include <chrono>
#include <cmath>
#include <limits>
#include <ostream>
#include <string>
#include <thread>
#include <vector>

#include "audio/music.h"
#include "platform/sound/diagnostics.h"
#include "platform/sound/fsound.h"
#include "platform/win32/win32.h"
#include "tests/platform/disk_audio.h"

namespace {

class Music : public ::testing::Test {
 protected:
  void SetUp() override {
    win32::SetMessageBoxHandler([this](const char* text, const char* caption, UINT type) {
      boxes_.push_back(text);
      EXPECT_STREQ(caption, "ERROR");
      EXPECT_EQ(type, static_cast<UINT>(MB_ICONWARNING));
      return IDOK;
    });
  }
  void TearDown() override {
    win32::SetMessageBoxHandler({});
    sound::OverrideReportedVersion(std::nullopt);
    FSOUND_Close();
  }

  std::vector<std::string> boxes_;
};

constexpr const char* kGoodFile = "fixtures\\mp3\\chord-44100-stereo.mp3";

TEST_F(Music, StartsAndReachesTheDeviceWithNoWarning) {
  sound_test::DiskAudioCapture capture("music-plays");
  ASSERT_EQ(InitSound(kGoodFile), 0);
  EXPECT_EQ(PlayMusic(), 0);
  std::this_thread::sleep_for(std::chrono::milliseconds(500));
  const sound_test::Frames played = capture.Finish();
  EXPECT_LT(played.FirstSound(), played.Count()) << "the device got only silence";
  EXPECT_TRUE(boxes_.empty());
}

struct FailureCase {
  const char* name;
  float version;
  const char* driver;
  const char* file;
  std::vector<std::string> warnings;
  bool libraryStaysUp;  // a stream can still be opened afterwards
};

const float kNaN = std::numeric_limits<float>::quiet_NaN();

const FailureCase kFailures[] = {
    {"old_library",
     std::nextafter(3.32f, 0.0f),
     "disk",
     kGoodFile,
     {"Wrong FMOD-DLL found!."},
     false},
    {"version_not_a_number", kNaN, "disk", kGoodFile, {"Wrong FMOD-DLL found!."}, false},
    {"no_device", 3.75f, "no-such-driver", kGoodFile, {"Unable to init FMOD!."}, false},
    {"missing_file",
     3.75f,
     "disk",
     "Data\\no-such-song.mp3",
     {"Error: File not found: Data\\no-such-song.mp3"},
     true},
    {"not_an_mp3",
     3.75f,
     "disk",
     "fixtures\\mp3\\not-audio.mp3",
     {"Error: File not found: fixtures\\mp3\\not-audio.mp3"},
     true},
};

void PrintTo(const FailureCase& c, std::ostream* out) { *out << c.name; }

class MusicFailure : public Music, public ::testing::WithParamInterface<FailureCase> {};

TEST_P(MusicFailure, ShowsItsWarningAndReturnsOne) {
  const FailureCase& c = GetParam();
  sound_test::DiskAudioCapture capture(std::string("music-") + c.name);
  setenv("SDL_AUDIODRIVER", c.driver, 1);
  sound::OverrideReportedVersion(c.version);

  EXPECT_EQ(InitSound(c.file), 1);
  EXPECT_EQ(boxes_, c.warnings);
  EXPECT_EQ(PlayMusic(), 0) << "even without a stream";

  FSOUND_STREAM* stream = FSOUND_Stream_OpenFile("fixtures/mp3/chord-44100-stereo.mp3", 0x2B, 0);
  EXPECT_EQ(stream != nullptr, c.libraryStaysUp);
}

INSTANTIATE_TEST_SUITE_P(Music, MusicFailure, ::testing::ValuesIn(kFailures),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(Music, VersionThreePointThreeTwoItselfIsAccepted) {
  const float required = std::bit_cast<float>(0x40547AE1u);
  sound_test::DiskAudioCapture capture("music-version");
  sound::OverrideReportedVersion(required);
  EXPECT_EQ(InitSound(kGoodFile), 0);
  EXPECT_TRUE(boxes_.empty());
}

TEST_F(Music, AVeryLongMissingNameIsReportedCutOffNotOverflowed) {
  sound_test::DiskAudioCapture capture("music-long-name");
  const std::string name = "Data\\" + std::string(3000, 'x') + ".mp3";
  EXPECT_EQ(InitSound(name.c_str()), 1);
  ASSERT_EQ(boxes_.size(), 1u);
  EXPECT_EQ(boxes_[0].size(), 1023u);
  EXPECT_EQ(boxes_[0].rfind("Error: File not found: Data\\xxx", 0), 0u);
}

}  // namespace
