// PNG files of rendered frames, for the commands that capture pictures.
#pragma once

#include <string>

#include "platform/d3dx/image.h"

namespace orchard {

// Writes the picture as 8-bit RGB (its alpha dropped: a back buffer has none) or RGBA.
// The same picture always gives the same bytes. On failure returns false with a reason.
bool WritePng(const std::string& path, const d3dx::Image& image, bool keepAlpha, std::string* error);

}  // namespace orchard
