#include "tools/png_writer.h"

#include <png.h>

#include <cstdint>
#include <vector>

namespace orchard {

bool WritePng(const std::string& path, const d3dx::Image& image, bool keepAlpha, std::string* error) {
  const std::size_t texels = static_cast<std::size_t>(image.width) * static_cast<std::size_t>(image.height);
  if (image.width < 1 || image.height < 1 || image.rgba.size() != texels * 4) {
    if (error != nullptr) *error = "the picture is empty or its pixels do not match its size";
    return false;
  }
  std::vector<std::uint8_t> rgb;
  const std::uint8_t* pixels = image.rgba.data();
  if (!keepAlpha) {
    rgb.resize(texels * 3);
    for (std::size_t i = 0; i < texels; ++i)
      for (int c = 0; c < 3; ++c) rgb[i * 3 + c] = image.rgba[i * 4 + c];
    pixels = rgb.data();
  }
  png_image png{};
  png.version = PNG_IMAGE_VERSION;
  png.width = static_cast<png_uint_32>(image.width);
  png.height = static_cast<png_uint_32>(image.height);
  png.format = keepAlpha ? PNG_FORMAT_RGBA : PNG_FORMAT_RGB;
  if (png_image_write_to_file(&png, path.c_str(), 0, pixels, 0, nullptr) == 0) {
    if (error != nullptr) *error = png.message;
    png_image_free(&png);
    return false;
  }
  return true;
}

}  // namespace orchard
