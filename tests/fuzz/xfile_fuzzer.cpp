// libFuzzer entry for the .X reader: any input must either fail with a reason or give a
// mesh whose indices, subsets and materials agree with each other.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <span>

#include "platform/d3dx/xfile.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const auto result = xfile::ReadMesh(std::as_bytes(std::span(data, size)));
  if (!result.mesh) {
    if (result.error.empty()) std::abort();  // a failure must say why
    return 0;
  }
  const xfile::Mesh& mesh = *result.mesh;
  if (mesh.indices.size() != std::size_t{mesh.faceCount} * 3) std::abort();
  for (std::uint32_t index : mesh.indices)
    if (index >= mesh.vertices.size()) std::abort();
  if (mesh.subsets.empty() || mesh.subsets.size() != mesh.materials.size()) std::abort();
  std::size_t next = 0;
  for (const auto& subset : mesh.subsets) {
    if (subset.firstIndex != next) std::abort();
    next += subset.indexCount;
  }
  if (next != mesh.indices.size()) std::abort();
  return 0;
}
