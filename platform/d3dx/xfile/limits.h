// Bounds that keep hostile files from costing more than their size can justify.
#pragma once

#include <cstddef>
#include <cstdint>

namespace xfile {

// Objects nested deeper than this (frames in frames, braces in skipped objects) fail.
// Skeletons in real files nest a few dozen frames.
inline constexpr int kMaxNesting = 256;

// A compressed file may not unpack to more than this, whatever its header declares.
inline constexpr std::size_t kMaxInflatedBytes = std::size_t{512} << 20;

// References (`{ MeshName }` in a frame, `{ MaterialName }` in a material list) cost a few
// bytes of file but copy whole meshes and materials into the result. The merged mesh may
// take at most this many bytes of memory per byte of body, plus a constant; an honest file
// stays far below it.
inline constexpr std::size_t kResultBytesPerBodyByte = 64;
inline constexpr std::size_t kResultBytesSlack = std::size_t{64} << 20;

}  // namespace xfile
