#include "platform/d3dx/material_buffer.h"

#include <cstring>
#include <new>

namespace d3dx {

ID3DXBuffer* MakeMaterialBuffer(const xfile::Mesh& mesh) {
  const std::size_t count = mesh.materials.size();
  std::size_t size = count * sizeof(D3DXMATERIAL);
  for (const auto& material : mesh.materials)
    if (!material.textureFileName.empty()) size += material.textureFileName.size() + 1;

  std::vector<std::byte> bytes(size == 0 ? 1 : size);
  auto* entries = reinterpret_cast<D3DXMATERIAL*>(bytes.data());
  char* names = reinterpret_cast<char*>(bytes.data() + count * sizeof(D3DXMATERIAL));
  for (std::size_t i = 0; i < count; ++i) {
    const auto& material = mesh.materials[i];
    new (&entries[i]) D3DXMATERIAL{};
    entries[i].MatD3D = material.material;
    if (material.textureFileName.empty()) continue;
    std::memcpy(names, material.textureFileName.c_str(), material.textureFileName.size() + 1);
    entries[i].pTextureFilename = names;
    names += material.textureFileName.size() + 1;
  }
  // The pointers point into the vector's heap block, which moves with it unchanged.
  return new ID3DXBuffer(std::move(bytes));
}

}  // namespace d3dx
