// Texture images: JPEG decoding, the colour key and the mip chain.
#include <gtest/gtest.h>

#include <array>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <string_view>
#include <vector>

#include "platform/d3dx/image.h"

// After our headers: libjpeg's TRUE and FALSE macros would clash with the Win32 constants.
#include <jpeglib.h>

namespace {

namespace fs = std::filesystem;
using namespace std::literals;

const fs::path kFixtures = fs::path(ORCHARD_SOURCE_DIR) / "tests/fixtures/jpeg";

std::vector<std::byte> ReadBytes(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  std::vector<char> chars{std::istreambuf_iterator<char>(in), {}};
  std::vector<std::byte> bytes(chars.size());
  std::memcpy(bytes.data(), chars.data(), chars.size());
  return bytes;
}

bool Contains(const std::vector<std::byte>& bytes, std::string_view needle) {
  const auto* data = reinterpret_cast<const char*>(bytes.data());
  return std::string_view(data, bytes.size()).find(needle) != std::string_view::npos;
}

struct Rgb {
  int r, g, b;
};

::testing::AssertionResult TexelNear(const d3dx::Image& image, int x, int y, Rgb want) {
  const std::uint8_t* t = &image.rgba[4 * (std::size_t(y) * image.width + x)];
  const int tolerance = 6;
  if (std::abs(t[0] - want.r) <= tolerance && std::abs(t[1] - want.g) <= tolerance &&
      std::abs(t[2] - want.b) <= tolerance)
    return ::testing::AssertionSuccess();
  return ::testing::AssertionFailure() << "texel (" << x << "," << y << ") is (" << int(t[0])
                                       << "," << int(t[1]) << "," << int(t[2]) << "), want ("
                                       << want.r << "," << want.g << "," << want.b << ")";
}

// Each colour fixture is 48 x 16: three flat 16 x 16 blocks, sampled at their centres.
TEST(DecodeJpeg, FixturesDecodeAtTheirOwnSizeToTheirColours) {
  const Rgb red{255, 0, 0}, green{0, 255, 0}, blue{0, 0, 255};
  struct Case {
    const char* file;
    std::string_view marker;  // what makes the file the kind it stands for
    Rgb blocks[3];
  } cases[] = {
      {"baseline.jpg", "\xFF\xC0"sv, {red, green, blue}},
      {"progressive.jpg", "\xFF\xC2"sv, {red, green, blue}},
      {"restart.jpg", "\xFF\xDD"sv, {red, green, blue}},
      {"ycck.jpg", "Adobe\x00\x64\x00\x00\x00\x00\x02"sv, {red, green, blue}},  // transform 2
      {"grayscale.jpg", "\xFF\xC0\x00\x0B\x08\x00\x10\x00\x30\x01"sv,  // one component
       {{0, 0, 0}, {128, 128, 128}, {255, 255, 255}}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.file);
    ASSERT_TRUE(Contains(ReadBytes(kFixtures / c.file), c.marker));
    const d3dx::ImageResult result = d3dx::DecodeJpegFile(kFixtures / c.file);
    ASSERT_TRUE(result.image) << result.error;
    const d3dx::Image& image = *result.image;
    // 48 is no power of two: the file's size is kept, not rounded up.
    ASSERT_EQ(image.width, 48);
    ASSERT_EQ(image.height, 16);
    ASSERT_EQ(image.rgba.size(), 48u * 16 * 4);
    for (int block = 0; block < 3; ++block)
      EXPECT_TRUE(TexelNear(image, 16 * block + 8, 8, c.blocks[block])) << "block " << block;
    for (std::size_t i = 3; i < image.rgba.size(); i += 4) ASSERT_EQ(image.rgba[i], 0xFF);
  }
}

// Encodes Adobe-convention CMYK texels (255 = no ink), stored as CMYK or as YCCK.
std::vector<std::byte> EncodeCmyk(const std::vector<std::uint8_t>& cmyk, int width, int height,
                                  J_COLOR_SPACE stored) {
  jpeg_compress_struct info{};
  jpeg_error_mgr errors{};
  info.err = jpeg_std_error(&errors);
  jpeg_create_compress(&info);
  unsigned char* out = nullptr;
  unsigned long outSize = 0;
  jpeg_mem_dest(&info, &out, &outSize);
  info.image_width = width;
  info.image_height = height;
  info.input_components = 4;
  info.in_color_space = JCS_CMYK;
  jpeg_set_defaults(&info);
  jpeg_set_colorspace(&info, stored);
  jpeg_set_quality(&info, 95, 1);
  jpeg_start_compress(&info, 1);
  while (info.next_scanline < info.image_height) {
    auto* row = const_cast<JSAMPLE*>(&cmyk[std::size_t{4} * width * info.next_scanline]);
    jpeg_write_scanlines(&info, &row, 1);
  }
  jpeg_finish_compress(&info);
  jpeg_destroy_compress(&info);
  std::vector<std::byte> bytes(outSize);
  std::memcpy(bytes.data(), out, outSize);
  std::free(out);
  return bytes;
}

TEST(DecodeJpeg, FourComponentFilesReadAsInvertedCmyk) {
  // Left half red (magenta and yellow ink), right half half-strength black ink only.
  std::vector<std::uint8_t> cmyk;
  for (int y = 0; y < 16; ++y)
    for (int x = 0; x < 32; ++x) {
      const std::uint8_t texel[2][4] = {{255, 0, 0, 255}, {255, 255, 255, 128}};
      cmyk.insert(cmyk.end(), texel[x / 16], texel[x / 16] + 4);
    }
  struct Case {
    J_COLOR_SPACE stored;
    std::string_view adobeMarker;  // its last byte is the colour transform
  } cases[] = {
      {JCS_CMYK, "Adobe\x00\x64\x00\x00\x00\x00\x00"sv},
      {JCS_YCCK, "Adobe\x00\x64\x00\x00\x00\x00\x02"sv},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.stored);
    const std::vector<std::byte> file = EncodeCmyk(cmyk, 32, 16, c.stored);
    ASSERT_TRUE(Contains(file, c.adobeMarker));
    const d3dx::ImageResult result = d3dx::DecodeJpeg(file);
    ASSERT_TRUE(result.image) << result.error;
    EXPECT_TRUE(TexelNear(*result.image, 8, 8, {255, 0, 0}));
    EXPECT_TRUE(TexelNear(*result.image, 24, 8, {128, 128, 128}));
  }
}

TEST(DecodeJpeg, DamagedInputIsAnErrorValue) {
  const std::vector<std::byte> baseline = ReadBytes(kFixtures / "baseline.jpg");
  const std::vector<std::byte> truncated = ReadBytes(kFixtures / "truncated.jpg");
  // The cut falls inside the scan data, where libjpeg itself only warns and pads with grey.
  ASSERT_TRUE(Contains(truncated, "\xFF\xDA"sv));
  struct Case {
    const char* what;
    std::vector<std::byte> file;
  } cases[] = {
      {"scan data cut short", truncated},
      {"headers cut short", {baseline.begin(), baseline.begin() + 100}},
      {"not a JPEG", ReadBytes(kFixtures / "not-a-jpeg.jpg")},
      {"empty", {}},
  };
  for (const Case& c : cases) {
    const d3dx::ImageResult result = d3dx::DecodeJpeg(c.file);
    EXPECT_FALSE(result.image) << c.what;
    EXPECT_FALSE(result.error.empty()) << c.what;
  }

  const d3dx::ImageResult missing = d3dx::DecodeJpegFile(kFixtures / "no-such-file.jpg");
  EXPECT_FALSE(missing.image);
  EXPECT_NE(missing.error.find("no-such-file.jpg"), std::string::npos) << missing.error;
}

// The picture's size comes from the frame header; a forged one must be refused before the
// decoder takes memory for it.
TEST(DecodeJpeg, RefusesSizesTheFileCannotHold) {
  const std::vector<std::byte> baseline = ReadBytes(kFixtures / "baseline.jpg");
  const auto* data = reinterpret_cast<const char*>(baseline.data());
  const std::size_t at = std::string_view(data, baseline.size()).find("\xFF\xC0"sv);
  ASSERT_NE(at, std::string_view::npos);

  struct Case {
    int width, height;
    const char* reason;
  } cases[] = {
      {20000, 16, "larger than any texture"},
      {16, 20000, "larger than any texture"},
      {8000, 8000, "too small"},  // a million 8x8 blocks in 654 bytes
  };
  for (const Case& c : cases) {
    std::vector<std::byte> forged = baseline;
    // SOF: marker, length (2), precision (1), height (2), width (2).
    forged[at + 5] = std::byte(c.height >> 8);
    forged[at + 6] = std::byte(c.height & 0xFF);
    forged[at + 7] = std::byte(c.width >> 8);
    forged[at + 8] = std::byte(c.width & 0xFF);
    const d3dx::ImageResult result = d3dx::DecodeJpeg(forged);
    EXPECT_FALSE(result.image) << c.width << "x" << c.height;
    EXPECT_NE(result.error.find(c.reason), std::string::npos) << result.error;
  }
}

// Every file of the JPEG corpus, when the corpus is on this machine: each one decodes or
// fails with a message, and none takes the process down.
TEST(DecodeJpeg, CorpusDecodesOrFailsCleanly) {
  const fs::path corpus = ORCHARD_JPEG_CORPUS;
  std::error_code error;
  if (!fs::is_directory(corpus, error)) GTEST_SKIP() << "no corpus at " << corpus;
  for (const auto& entry : fs::recursive_directory_iterator(corpus)) {
    if (!entry.is_regular_file()) continue;
    const d3dx::ImageResult result = d3dx::DecodeJpegFile(entry.path());
    if (result.image) {
      EXPECT_GT(result.image->width, 0) << entry.path();
      EXPECT_EQ(result.image->rgba.size(),
                std::size_t{4} * result.image->width * result.image->height)
          << entry.path();
    } else {
      EXPECT_FALSE(result.error.empty()) << entry.path();
    }
  }
}

using Texel = std::array<std::uint8_t, 4>;  // R, G, B, A

d3dx::Image MakeImage(int width, int height, const std::vector<Texel>& texels) {
  d3dx::Image image{width, height, {}};
  for (const Texel& t : texels) image.rgba.insert(image.rgba.end(), t.begin(), t.end());
  return image;
}

std::vector<Texel> TexelsOf(const d3dx::Image& image) {
  std::vector<Texel> texels(image.rgba.size() / 4);
  std::memcpy(texels.data(), image.rgba.data(), image.rgba.size());
  return texels;
}

TEST(ApplyColorKey, KeysOnlyTexelsWhoseWholeArgbMatches) {
  const Texel black{0, 0, 0, 255}, nearBlack{1, 0, 0, 255}, blueish{0, 0, 1, 255},
      white{255, 255, 255, 255}, greenish{0, 1, 0, 255}, translucentBlack{0, 0, 0, 128};
  const Texel cleared{0, 0, 0, 0};
  const std::vector<Texel> source = {black, nearBlack, blueish, white, greenish, translucentBlack};
  struct Case {
    D3DCOLOR key;
    std::vector<Texel> want;
  } cases[] = {
      {0xFF000000, {cleared, nearBlack, blueish, white, greenish, translucentBlack}},
      {0xFF010000, {black, cleared, blueish, white, greenish, translucentBlack}},  // red 1
      {0x80000000, {black, nearBlack, blueish, white, greenish, cleared}},
      {0, source},  // no key
  };
  for (const Case& c : cases) {
    d3dx::Image image = MakeImage(3, 2, source);
    d3dx::ApplyColorKey(image, c.key);
    EXPECT_EQ(TexelsOf(image), c.want) << std::hex << c.key;
  }
}

TEST(BuildMipChain, FullChainDownToOneByOne) {
  struct Case {
    int width, height;
    std::vector<std::pair<int, int>> levels;
  } cases[] = {
      {8, 2, {{8, 2}, {4, 1}, {2, 1}, {1, 1}}},
      {1, 1, {{1, 1}}},
      {2, 8, {{2, 8}, {1, 4}, {1, 2}, {1, 1}}},
      {48, 16, {{48, 16}, {24, 8}, {12, 4}, {6, 2}, {3, 1}, {1, 1}}},
      {5, 3, {{5, 3}, {2, 1}, {1, 1}}},
  };
  for (const Case& c : cases) {
    const auto chain = d3dx::BuildMipChain(
        MakeImage(c.width, c.height, std::vector<Texel>(c.width * c.height, {9, 9, 9, 255})),
        D3DX_FILTER_TRIANGLE);
    std::vector<std::pair<int, int>> sizes;
    for (const d3dx::Image& level : chain) {
      sizes.emplace_back(level.width, level.height);
      EXPECT_EQ(level.rgba.size(), std::size_t{4} * level.width * level.height);
      // A flat picture stays flat at every level, odd sizes included.
      for (const Texel& t : TexelsOf(level)) EXPECT_EQ(t, (Texel{9, 9, 9, 255}));
    }
    EXPECT_EQ(sizes, c.levels) << c.width << "x" << c.height;
  }
}

Texel Grey(std::uint8_t v) { return {v, v, v, v}; }

std::vector<Texel> OneBright(int width, int height, int x, int y) {
  std::vector<Texel> texels(width * height, Grey(0));
  texels[y * width + x] = Grey(255);
  return texels;
}

TEST(BuildMipChain, OneStepOfEachFilter) {
  const Texel o = Grey(0), w = Grey(255);
  struct Case {
    const char* what;
    d3dx::Image source;
    DWORD filter;
    std::vector<Texel> want;  // level 1
  } cases[] = {
      {"box: 2x2 average, rounded", MakeImage(4, 4, OneBright(4, 4, 1, 1)), D3DX_FILTER_BOX,
       {Grey(64), o, o, o}},
      {"linear equals the box at a halving", MakeImage(4, 4, OneBright(4, 4, 1, 1)),
       D3DX_FILTER_LINEAR, {Grey(64), o, o, o}},
      {"point falls back to the box", MakeImage(4, 4, OneBright(4, 4, 1, 1)),
       D3DX_FILTER_POINT, {Grey(64), o, o, o}},
      {"triangle: 1,3,3,1 per axis reaches the neighbours",
       MakeImage(4, 4, OneBright(4, 4, 1, 1)), D3DX_FILTER_TRIANGLE,
       {Grey(36), Grey(12), Grey(12), Grey(4)}},  // 255 * 9/64, 3/64, 3/64, 1/64
      {"triangle: the edge texel counts again for the one beyond it",
       MakeImage(4, 4, OneBright(4, 4, 0, 0)), D3DX_FILTER_TRIANGLE, {Grey(64), o, o, o}},
      {"triangle on a 4x2 step edge", MakeImage(4, 2, {o, o, w, w, o, o, w, w}),
       D3DX_FILTER_TRIANGLE, {Grey(32), Grey(223)}},  // 255/8 and 255*7/8
      {"a keyed texel bleeds into the next level",
       MakeImage(2, 2, {{0, 0, 0, 0}, w, w, w}), D3DX_FILTER_BOX, {Grey(191)}},
  };
  for (const Case& c : cases) {
    const auto chain = d3dx::BuildMipChain(c.source, c.filter);
    ASSERT_GE(chain.size(), 2u) << c.what;
    EXPECT_EQ(TexelsOf(chain[0]), TexelsOf(c.source)) << c.what;
    EXPECT_EQ(TexelsOf(chain[1]), c.want) << c.what;
  }
}

}  // namespace
