// Pictures rendered at a multiple of their size made small again: each output pixel is the
// rounded mean of its factor x factor block, the same bytes on every machine.
#pragma once

#include <cstdint>
#include <vector>

#include "platform/d3dx/image.h"

namespace orchard {

// `large` must measure a whole multiple of `factor` (>= 1) each way; factor 1 copies it.
d3dx::Image BoxFilterDown(const d3dx::Image& large, int factor);

// The picture as packed 8-bit RGB (alpha dropped), top row first, into `rgb`.
void ToRgb24(const d3dx::Image& image, std::vector<std::uint8_t>& rgb);

}  // namespace orchard
