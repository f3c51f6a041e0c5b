// Merges the placed meshes of a scene into the one mesh D3DXLoadMeshFromX returns.
#pragma once

#include <cstddef>

#include "platform/d3dx/xfile.h"
#include "platform/d3dx/xfile/scene.h"

namespace xfile {

// bodySize (bytes of the file body) bounds what references may copy. Fails with ReadError
// when no mesh has a vertex.
Mesh BuildMesh(const Scene& scene, std::size_t bodySize);

}  // namespace xfile
