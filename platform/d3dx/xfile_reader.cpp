// ReadMesh: header, then the body (unpacked if compressed), then the objects, then the one
// merged mesh. Every stage reports a failure by throwing ReadError; nothing leaves here.
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <memory>
#include <new>

#include "platform/d3dx/xfile.h"
#include "platform/d3dx/xfile/header.h"
#include "platform/d3dx/xfile/mesh_builder.h"
#include "platform/d3dx/xfile/mszip.h"
#include "platform/d3dx/xfile/read_error.h"
#include "platform/d3dx/xfile/scene_parser.h"

namespace xfile {

namespace {

Mesh Read(std::span<const std::byte> file) {
  const Header header = ParseHeader(file);
  const auto rest = file.subspan(kHeaderSize);
  std::vector<char> unpacked;
  std::span<const char> body(reinterpret_cast<const char*>(rest.data()), rest.size());
  if (header.compressed) {
    unpacked = InflateMszipBody(rest);
    body = unpacked;
  }
  const Scene scene = header.encoding == Encoding::Text
                          ? ParseTextScene(body)
                          : ParseBinaryScene(body, header.doubleFloats);
  return BuildMesh(scene, body.size());
}

}  // namespace

ReadResult ReadMesh(std::span<const std::byte> file) {
  try {
    return {Read(file), {}};
  } catch (const ReadError& error) {
    return {std::nullopt, error.message};
  } catch (const std::bad_alloc&) {
    return {std::nullopt, "out of memory"};
  } catch (...) {
    return {std::nullopt, "unexpected internal error"};
  }
}

ReadResult ReadMeshFile(const std::string& path) {
  struct Closer {
    void operator()(std::FILE* f) const { std::fclose(f); }
  };
  std::unique_ptr<std::FILE, Closer> file(std::fopen(path.c_str(), "rb"));
  if (!file) return {std::nullopt, "cannot open " + path + ": " + std::strerror(errno)};
  std::vector<std::byte> bytes;
  try {
    std::byte buffer[1 << 16];
    for (;;) {
      const std::size_t got = std::fread(buffer, 1, sizeof buffer, file.get());
      bytes.insert(bytes.end(), buffer, buffer + got);
      if (got < sizeof buffer) break;
    }
  } catch (const std::bad_alloc&) {
    return {std::nullopt, "out of memory reading " + path};
  }
  if (std::ferror(file.get())) return {std::nullopt, "cannot read " + path};
  return ReadMesh(bytes);
}

}  // namespace xfile
