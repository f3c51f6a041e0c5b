// The materials buffer D3DXLoadMeshFromX returns: one D3DXMATERIAL per subset, with the
// texture names stored in the same block.
#pragma once

#include "platform/d3dx/buffer.h"
#include "platform/d3dx/xfile.h"

namespace d3dx {

ID3DXBuffer* MakeMaterialBuffer(const xfile::Mesh& mesh);

}  // namespace d3dx
