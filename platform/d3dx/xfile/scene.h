// What the object parser keeps of a file: each Mesh object as written, and the list of
// placements (mesh, world matrix) in the order D3DX merges them.
#pragma once

#include <array>
#include <cstdint>
#include <utility>
#include <vector>

#include "platform/d3d8/d3d8types.h"
#include "platform/d3dx/xfile.h"

namespace xfile {

struct MeshData {
  std::vector<D3DVECTOR> positions;
  std::vector<std::uint32_t> faceSizes;    // corners of each face, in file order
  std::vector<std::uint32_t> faceCorners;  // position index of every corner, face after face

  bool hasNormals = false;
  std::vector<D3DVECTOR> normals;            // unit length (or zero)
  std::vector<std::uint32_t> normalCorners;  // normal index of every corner, as faceCorners

  bool hasTextureCoords = false;
  std::vector<std::array<float, 2>> textureCoords;  // one per position

  bool hasVertexColors = false;
  std::vector<std::pair<std::uint32_t, D3DCOLOR>> colors;  // (position index, colour)

  // The material index of each face as listed, at most one per face and each below
  // materials.size(). Exporters often list fewer (one for the whole mesh): the last index
  // listed then holds for the remaining faces.
  std::vector<std::uint32_t> faceMaterials;
  std::vector<std::uint32_t> materials;      // into Scene::materials
};

struct Placement {
  std::uint32_t mesh = 0;  // into Scene::meshes
  D3DMATRIX world;         // row vectors: p' = p * world
  bool identity = true;
};

struct Scene {
  std::vector<MeshData> meshes;
  std::vector<Placement> placements;
  std::vector<Material> materials;  // every Material object parsed, shared by reference
};

}  // namespace xfile
