// Reading .bmp files (device-independent bitmaps) of the program's resources.
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <vector>

namespace win32 {

struct Image {
  int width = 0;
  int height = 0;
  std::vector<std::uint32_t> pixels;  // 0xAARRGGBB, top row first, alpha 0xFF
};

// Uncompressed bitmaps of 8 bits per pixel (with a palette), 24 or 32 bits, bottom-up or
// top-down. Anything else, or a file whose headers point outside it, gives nothing.
std::optional<Image> DecodeBmp(std::span<const std::uint8_t> file);

}  // namespace win32
