// JPEG files for the textures, through libjpeg-turbo's compression API. The integer DCT and
// fixed settings give the same bytes on every machine for the same pixels.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "tools/datagen/canvas.h"

namespace datagen {

struct JpegOptions {
  int quality = 90;
  // Full-resolution colour (4:4:4) instead of the usual 4:2:0: for sprites whose edges must
  // not bleed colour into the black colour-keyed background.
  bool fullChroma = false;
};

// Empty on failure (which only a broken library or a zero-sized image can cause).
std::vector<std::byte> EncodeJpeg(const Canvas& canvas, const JpegOptions& options = {});
std::vector<std::byte> EncodeJpegRgb(const std::vector<std::uint8_t>& rgb, int width, int height,
                                     const JpegOptions& options = {});

}  // namespace datagen
