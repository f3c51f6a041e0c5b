// Writes our meshes as DirectX .X files, the inverse of the reader in xfile.h: one top-level
// Mesh with MeshNormals, MeshTextureCoords, MeshVertexColors (when the mesh has them) and a
// MeshMaterialList whose Material objects name their textures.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

#include "platform/d3dx/xfile.h"

namespace xfile {

// A standard text file ("xof 0303txt 0032"). Numbers are written in fixed notation with at
// most six decimals (no exponents, which some parsers reject), so the text is the same on
// every machine for the same mesh. Subset i of the mesh becomes material i; triangles that no
// subset covers get material 0. A mesh without materials is given one white material, since a
// mesh with an empty material list draws nothing.
std::string WriteText(const Mesh& mesh);

// The same content as a binary file ("xof 0303bin 0032"): token lists as Microsoft's own
// writer packs them, about a third of the size of the text file.
std::vector<std::byte> WriteBinary(const Mesh& mesh);

}  // namespace xfile
