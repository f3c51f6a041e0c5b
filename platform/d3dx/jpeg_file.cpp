// Reading a JPEG from disk: the whole file into memory, then the decoder.
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <memory>
#include <new>

#include "platform/d3dx/image.h"

namespace d3dx {

namespace {

// Far more than any texture file; a larger one is refused rather than read.
constexpr std::size_t kMaxFileBytes = std::size_t{256} << 20;

struct FileCloser {
  void operator()(std::FILE* file) const { std::fclose(file); }
};

}  // namespace

ImageResult DecodeJpegFile(const std::string& path) {
  std::unique_ptr<std::FILE, FileCloser> file(std::fopen(path.c_str(), "rb"));
  if (!file) return {std::nullopt, path + ": " + std::strerror(errno)};

  std::vector<std::byte> bytes;
  std::byte chunk[64 * 1024];
  try {
    for (;;) {
      const std::size_t got = std::fread(chunk, 1, sizeof chunk, file.get());
      if (got == 0) break;
      if (bytes.size() + got > kMaxFileBytes) return {std::nullopt, path + ": file too large"};
      bytes.insert(bytes.end(), chunk, chunk + got);
    }
  } catch (const std::bad_alloc&) {
    return {std::nullopt, path + ": out of memory"};
  }
  if (std::ferror(file.get())) return {std::nullopt, path + ": read error"};

  ImageResult result = DecodeJpeg(bytes);
  if (!result.image) result.error = path + ": " + result.error;
  return result;
}

}  // namespace d3dx
