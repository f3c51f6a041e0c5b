// Our reader of DirectX .X mesh files (text, binary and MSZIP-compressed; 32- and 64-bit
// floats): everything in the file merged into one static mesh, as D3DXLoadMeshFromX builds
// it, with its triangles grouped by material so that subset i is exactly the faces of
// attribute i.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "platform/d3d8/d3d8types.h"

namespace xfile {

struct Vertex {
  D3DVECTOR position;
  D3DVECTOR normal;            // (0,0,0) when the file has no normals
  float u = 0, v = 0;          // (0,0) when the file has no texture coordinates
  D3DCOLOR diffuse = 0xFFFFFFFF;  // from MeshVertexColors; only meaningful with hasVertexColors
};

struct Subset {
  std::uint32_t firstIndex = 0;  // into Mesh::indices
  std::uint32_t indexCount = 0;  // three per triangle
};

struct Material {
  D3DMATERIAL8 material;
  std::string textureFileName;  // empty when the material names no texture
};

struct Mesh {
  std::vector<Vertex> vertices;
  std::vector<std::uint32_t> indices;  // triangle list, grouped by attribute
  std::vector<Subset> subsets;         // one per material: the material count is the size
  std::vector<Material> materials;
  std::uint32_t faceCount = 0;         // triangles after fan triangulation
  bool hasNormals = false;
  bool hasTextureCoords = false;
  bool hasVertexColors = false;
};

struct ReadResult {
  std::optional<Mesh> mesh;  // empty on failure
  std::string error;         // why it failed, for one line of a message or a log
};

// Reads a whole file held in memory. Never throws; hostile input fails with a reason.
ReadResult ReadMesh(std::span<const std::byte> file);

// Reads the file at a path of this system (no name resolution here).
ReadResult ReadMeshFile(const std::string& path);

}  // namespace xfile
