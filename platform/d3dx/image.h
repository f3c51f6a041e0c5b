// Texture images: JPEG decoding, the colour key and the mip chain that
// D3DXCreateTextureFromFileExA builds.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "platform/d3d8/d3d8types.h"

namespace d3dx {

// 8-bit RGBA, rows from the top of the picture down, no padding.
struct Image {
  int width = 0;
  int height = 0;
  std::vector<std::uint8_t> rgba;
};

struct ImageResult {
  std::optional<Image> image;  // empty on failure
  std::string error;
};

// The widest and tallest picture a JPEG may declare; anything larger is refused before any
// pixel memory is taken.
inline constexpr int kMaxImageSide = 16384;

// Decodes a JPEG (baseline, progressive, grayscale, CMYK/YCCK). A file without alpha reads
// as opaque. Never exits or throws on a corrupt file: a truncated or damaged file, or one
// too small to hold the picture it declares, is an error.
ImageResult DecodeJpeg(std::span<const std::byte> file);
ImageResult DecodeJpegFile(const std::string& path);

// Every texel whose ARGB equals the key becomes transparent black (0,0,0,0). Key 0: nothing.
void ApplyColorKey(Image& image, D3DCOLOR colorKey);

// The full chain from level 0 down to 1 x 1 (floor(log2(max(w,h))) + 1 levels), each level
// made from the one before with the D3DX filter asked for (D3DX_FILTER_LINEAR or
// D3DX_FILTER_TRIANGLE; others fall back to the box filter).
std::vector<Image> BuildMipChain(Image level0, DWORD mipFilter);

}  // namespace d3dx
