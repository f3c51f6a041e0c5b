// `orchard frame`: one PNG per time, named after the time when there are several, the same
// bytes on every run. Without a data pack the frames are the background of the timeline.
#include <gtest/gtest.h>
#include <png.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "render/display_device.h"
#include "tools/command.h"

namespace {

namespace fs = std::filesystem;

struct Picture {
  int width = 0, height = 0;
  std::vector<std::uint8_t> rgb;
};

Picture ReadPng(const fs::path& path) {
  png_image png{};
  png.version = PNG_IMAGE_VERSION;
  Picture picture;
  if (png_image_begin_read_from_file(&png, path.c_str()) == 0) return picture;
  png.format = PNG_FORMAT_RGB;
  picture.rgb.resize(PNG_IMAGE_SIZE(png));
  if (png_image_finish_read(&png, nullptr, picture.rgb.data(), 0, nullptr) == 0) return {};
  picture.width = static_cast<int>(png.width);
  picture.height = static_cast<int>(png.height);
  return picture;
}

std::string Bytes(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

class FrameCommandTest : public ::testing::Test {
 protected:
  void SetUp() override {
    work = fs::temp_directory_path() / ("orchard-frame-" + std::to_string(::getpid()));
    fs::create_directories(work);
    here = fs::current_path();
  }
  void TearDown() override {
    fs::current_path(here);  // the command enters its --root
    fs::remove_all(work);
    Device = nullptr;
    FpsFont = nullptr;
    UseRenderDevice(nullptr);
  }
  int Run(std::vector<std::string> args) {
    std::vector<std::string_view> views(args.begin(), args.end());
    return orchard::RunFrame(views);
  }

  fs::path work, here;
};

TEST_F(FrameCommandTest, OnePictureForOneTimeAndOneNamedAfterEachOfSeveral) {
  const std::string root = work.string();
  ASSERT_EQ(Run({"--root", root, "--size", "64x48", "-o", (work / "one.png").string(), "-1"}), orchard::kExitOk);
  const Picture one = ReadPng(work / "one.png");
  ASSERT_EQ(one.width, 64);
  ASSERT_EQ(one.height, 48);
  for (std::size_t i = 0; i < one.rgb.size(); i += 3)
    ASSERT_TRUE(one.rgb[i] == 0 && one.rgb[i + 1] == 0 && one.rgb[i + 2] == 0x80) << "pixel " << i / 3;

  ASSERT_EQ(Run({"--root", root, "--size", "64x48", "--show-fps", "-o", (work / "run1.png").string(), "-5", "300000"}),
            orchard::kExitOk);
  ASSERT_EQ(Run({"--root", root, "--size", "64x48", "--show-fps", "-o", (work / "run2.png").string(), "-5", "300000"}),
            orchard::kExitOk);
  for (const char* t : {"-5", "300000"}) {
    const fs::path first = work / ("run1-" + std::string(t) + ".png");
    ASSERT_TRUE(fs::exists(first)) << first;
    EXPECT_EQ(Bytes(first), Bytes(work / ("run2-" + std::string(t) + ".png"))) << "time " << t;
  }
  EXPECT_NE(Bytes(work / "one.png"), Bytes(work / "run1--5.png")) << "the frame-rate text is drawn";
}

TEST_F(FrameCommandTest, WithoutAnOutputOrATimeItIsAUsageError) {
  EXPECT_EQ(Run({"-1"}), orchard::kExitUsage);
  EXPECT_EQ(Run({"-o", (work / "x.png").string()}), orchard::kExitUsage);
  EXPECT_EQ(Run({"--size", "0x10", "-o", (work / "x.png").string(), "1"}), orchard::kExitUsage);
}

}  // namespace
