// Placeholder until the JPEG decoder lands.
#include "platform/d3dx/image.h"

namespace d3dx {
ImageResult DecodeJpeg(std::span<const std::byte>) { return {std::nullopt, "not built yet"}; }
ImageResult DecodeJpegFile(const std::string&) { return {std::nullopt, "not built yet"}; }
void ApplyColorKey(Image&, D3DCOLOR) {}
std::vector<Image> BuildMipChain(Image level0, DWORD) { return {std::move(level0)}; }
}  // namespace d3dx
