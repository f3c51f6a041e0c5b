// ID3DXBuffer, the block of memory D3DX hands out (here: the materials of a mesh file).
#pragma once

#include <cstddef>
#include <vector>

#include "platform/d3d8/d3d8types.h"

// Its owner releases it with Release(), which deletes it, as a COM object's last Release
// does.
class ID3DXBuffer {
 public:
  explicit ID3DXBuffer(std::vector<std::byte> bytes) : bytes_(std::move(bytes)) {}
  ID3DXBuffer(const ID3DXBuffer&) = delete;
  ID3DXBuffer& operator=(const ID3DXBuffer&) = delete;

  void* GetBufferPointer() { return bytes_.data(); }
  DWORD GetBufferSize() const { return static_cast<DWORD>(bytes_.size()); }
  DWORD Release() {
    delete this;
    return 0;
  }

 private:
  ~ID3DXBuffer() = default;
  std::vector<std::byte> bytes_;
};

// One entry of a mesh's materials buffer, one per subset.
struct D3DXMATERIAL {
  D3DMATERIAL8 MatD3D;
  const char* pTextureFilename = nullptr;  // points into the same buffer, or null
};
