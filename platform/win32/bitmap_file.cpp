#include "platform/win32/bitmap_file.h"

namespace win32 {

namespace {

std::uint32_t U16(std::span<const std::uint8_t> b, std::size_t at) {
  return static_cast<std::uint32_t>(b[at]) | static_cast<std::uint32_t>(b[at + 1]) << 8;
}
std::uint32_t U32(std::span<const std::uint8_t> b, std::size_t at) {
  return U16(b, at) | U16(b, at + 2) << 16;
}

std::uint32_t Rgb(std::uint8_t r, std::uint8_t g, std::uint8_t b) {
  return 0xFF000000u | static_cast<std::uint32_t>(r) << 16 | static_cast<std::uint32_t>(g) << 8 | b;
}

constexpr std::size_t kFileHeaderSize = 14;
constexpr std::int64_t kLargestSide = 16384;

}  // namespace

std::optional<Image> DecodeBmp(std::span<const std::uint8_t> file) {
  if (file.size() < kFileHeaderSize + 40 || file[0] != 'B' || file[1] != 'M') return std::nullopt;
  const std::size_t pixelOffset = U32(file, 10);
  const std::size_t infoSize = U32(file, kFileHeaderSize);
  if (infoSize < 40 || kFileHeaderSize + infoSize > file.size()) return std::nullopt;

  const auto width = static_cast<std::int32_t>(U32(file, 18));
  const auto rawHeight = static_cast<std::int32_t>(U32(file, 22));
  const std::uint32_t planes = U16(file, 26);
  const std::uint32_t bitsPerPixel = U16(file, 28);
  const std::uint32_t compression = U32(file, 30);
  std::uint32_t paletteSize = U32(file, 46);
  const bool topDown = rawHeight < 0;
  const std::int64_t height = topDown ? -static_cast<std::int64_t>(rawHeight) : rawHeight;
  if (width <= 0 || height <= 0 || width > kLargestSide || height > kLargestSide || planes != 1 ||
      compression != 0)
    return std::nullopt;
  if (bitsPerPixel != 8 && bitsPerPixel != 24 && bitsPerPixel != 32) return std::nullopt;

  std::vector<std::uint32_t> palette;
  if (bitsPerPixel == 8) {
    if (paletteSize == 0) paletteSize = 256;
    if (paletteSize > 256) return std::nullopt;
    const std::size_t paletteOffset = kFileHeaderSize + infoSize;
    if (paletteOffset + 4 * static_cast<std::size_t>(paletteSize) > file.size())
      return std::nullopt;
    for (std::size_t i = 0; i < paletteSize; ++i) {
      const std::size_t at = paletteOffset + 4 * i;  // blue, green, red, reserved
      palette.push_back(Rgb(file[at + 2], file[at + 1], file[at]));
    }
  }

  // Rows are padded to a multiple of four bytes.
  const std::size_t stride = ((static_cast<std::size_t>(width) * bitsPerPixel + 31) / 32) * 4;
  if (pixelOffset > file.size() ||
      stride * static_cast<std::size_t>(height) > file.size() - pixelOffset)
    return std::nullopt;

  Image image;
  image.width = width;
  image.height = static_cast<int>(height);
  image.pixels.resize(static_cast<std::size_t>(width) * image.height);
  for (int row = 0; row < image.height; ++row) {
    const int fileRow = topDown ? row : image.height - 1 - row;
    const std::uint8_t* in = file.data() + pixelOffset + stride * static_cast<std::size_t>(fileRow);
    std::uint32_t* out = image.pixels.data() + static_cast<std::size_t>(row) * width;
    for (int x = 0; x < width; ++x) {
      if (bitsPerPixel == 8) {
        // An index past a short palette shows black rather than reading beyond it.
        out[x] = in[x] < palette.size() ? palette[in[x]] : Rgb(0, 0, 0);
      } else {
        const std::uint8_t* p = in + static_cast<std::size_t>(x) * (bitsPerPixel / 8);
        out[x] = Rgb(p[2], p[1], p[0]);
      }
    }
  }
  return image;
}

}  // namespace win32
