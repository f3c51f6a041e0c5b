// Texture loading cost: JPEG decode and the mip chain for the data pack's large sizes.
// The JPEGs are made in memory, so the benchmark needs no files.
#include <benchmark/benchmark.h>

#include <cmath>
#include <cstdlib>
#include <cstring>
#include <map>
#include <vector>

#include "platform/d3dx/image.h"

// After our headers: libjpeg's TRUE and FALSE macros would clash with the Win32 constants.
#include <jpeglib.h>

namespace {

// A picture with detail at every scale (gradients, rings and fine noise), so that the
// entropy-coded data is as heavy as a photograph's, at quality 90 with 4:2:0 chroma.
std::vector<std::byte> EncodeTestPicture(int side) {
  std::vector<std::uint8_t> rgb(std::size_t{3} * side * side);
  std::uint32_t noise = 12345;
  for (int y = 0; y < side; ++y)
    for (int x = 0; x < side; ++x) {
      noise = noise * 1664525u + 1013904223u;
      const double ring = std::sin(std::hypot(x - side / 2.0, y - side / 3.0) / 9.0);
      std::uint8_t* texel = &rgb[3 * (std::size_t(y) * side + x)];
      texel[0] = static_cast<std::uint8_t>(x * 255 / side);
      texel[1] = static_cast<std::uint8_t>(127 + 100 * ring + (noise >> 28));
      texel[2] = static_cast<std::uint8_t>(y * 255 / side ^ (noise >> 26));
    }

  jpeg_compress_struct info{};
  jpeg_error_mgr errors{};
  info.err = jpeg_std_error(&errors);
  jpeg_create_compress(&info);
  unsigned char* out = nullptr;
  unsigned long outSize = 0;
  jpeg_mem_dest(&info, &out, &outSize);
  info.image_width = side;
  info.image_height = side;
  info.input_components = 3;
  info.in_color_space = JCS_RGB;
  jpeg_set_defaults(&info);
  jpeg_set_quality(&info, 90, 1);
  jpeg_start_compress(&info, 1);
  while (info.next_scanline < info.image_height) {
    JSAMPROW row = &rgb[std::size_t{3} * side * info.next_scanline];
    jpeg_write_scanlines(&info, &row, 1);
  }
  jpeg_finish_compress(&info);
  jpeg_destroy_compress(&info);
  std::vector<std::byte> file(outSize);
  std::memcpy(file.data(), out, outSize);
  std::free(out);
  return file;
}

const std::vector<std::byte>& TestPicture(int side) {
  static std::map<int, std::vector<std::byte>> pictures;
  auto [it, added] = pictures.try_emplace(side);
  if (added) it->second = EncodeTestPicture(side);
  return it->second;
}

void BM_DecodeJpeg(benchmark::State& state) {
  const auto& file = TestPicture(static_cast<int>(state.range(0)));
  for (auto _ : state) benchmark::DoNotOptimize(d3dx::DecodeJpeg(file));
  state.counters["file_kB"] = static_cast<double>(file.size()) / 1024;
}

void BM_BuildMipChain(benchmark::State& state) {
  const d3dx::Image level0 = *d3dx::DecodeJpeg(TestPicture(static_cast<int>(state.range(0)))).image;
  const auto filter = static_cast<DWORD>(state.range(1));
  for (auto _ : state) benchmark::DoNotOptimize(d3dx::BuildMipChain(level0, filter));
}

// What one scene texture costs at start-up: decode, key, full chain.
void BM_LoadTexture(benchmark::State& state) {
  const auto& file = TestPicture(static_cast<int>(state.range(0)));
  for (auto _ : state) {
    d3dx::Image image = *d3dx::DecodeJpeg(file).image;
    d3dx::ApplyColorKey(image, 0xFF000000);
    benchmark::DoNotOptimize(d3dx::BuildMipChain(std::move(image), D3DX_FILTER_TRIANGLE));
  }
}

BENCHMARK(BM_DecodeJpeg)->Arg(1024)->Arg(2048)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_BuildMipChain)
    ->ArgsProduct({{1024, 2048}, {D3DX_FILTER_LINEAR, D3DX_FILTER_TRIANGLE}})
    ->Unit(benchmark::kMillisecond);
BENCHMARK(BM_LoadTexture)->Arg(1024)->Arg(2048)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
