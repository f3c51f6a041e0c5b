#include "platform/d3dx/xfile/mesh_builder.h"

#include <algorithm>
#include <bit>
#include <limits>
#include <string>
#include <unordered_map>

#include "platform/d3dx/xfile/limits.h"
#include "platform/d3dx/xfile/read_error.h"
#include "platform/d3dx/xfile/transform.h"

namespace xfile {

namespace {

// What D3DX reports when no mesh brings a material of its own.
Material DefaultMaterial() {
  Material material;
  material.material.Diffuse = {0.5f, 0.5f, 0.5f, 0.0f};
  material.material.Specular = {0.5f, 0.5f, 0.5f, 0.0f};
  return material;
}

bool SameVector(const D3DVECTOR& a, const D3DVECTOR& b) {
  return a.x == b.x && a.y == b.y && a.z == b.z;
}

// A vertex and a normal value; -0 and +0 count as one value, as they compare equal.
struct CopyKey {
  std::uint32_t vertex;
  std::uint32_t x, y, z;

  static CopyKey Of(std::uint32_t vertex, const D3DVECTOR& n) {
    const auto bits = [](float value) { return std::bit_cast<std::uint32_t>(value + 0.0f); };
    return {vertex, bits(n.x), bits(n.y), bits(n.z)};
  }
  bool operator==(const CopyKey&) const = default;
};

struct CopyKeyHash {
  std::size_t operator()(const CopyKey& key) const {
    std::uint64_t h = key.vertex;
    for (std::uint32_t part : {key.x, key.y, key.z}) h = (h ^ part) * 0x100000001B3ull;
    return static_cast<std::size_t>(h ^ (h >> 29));
  }
};

// Memory the result will take for one placement of this mesh, at most.
std::size_t ResultBytes(const Scene& scene, const MeshData& mesh) {
  std::size_t triangles = 0;
  for (std::uint32_t corners : mesh.faceSizes) triangles += corners >= 3 ? corners - 2 : 0;
  std::size_t vertices = mesh.positions.size() + (mesh.hasNormals ? mesh.faceCorners.size() : 0);
  std::size_t bytes = vertices * sizeof(Vertex) + triangles * 4 * sizeof(std::uint32_t);
  for (std::uint32_t id : mesh.materials)
    bytes += sizeof(Material) + scene.materials[id].textureFileName.size();
  return bytes;
}

void CheckResultSize(const Scene& scene, std::size_t bodySize) {
  const std::size_t limit = kResultBytesPerBodyByte * bodySize + kResultBytesSlack;
  std::vector<std::size_t> perMesh(scene.meshes.size());
  for (std::size_t i = 0; i < scene.meshes.size(); ++i)
    perMesh[i] = ResultBytes(scene, scene.meshes[i]);
  std::size_t total = 0;
  for (const Placement& placement : scene.placements) {
    total += perMesh[placement.mesh];
    if (total > limit)
      Fail("the file's references would copy its meshes into more memory than its size justifies");
  }
}

// Attributes of later meshes follow the materials of the earlier ones. A mesh without
// materials in a file where others have some joins the subset that follows it, or the last
// subset when it comes last (left at the count, no subset would ever draw it).
std::uint32_t AttributeOf(const MeshData& mesh, std::size_t face, std::uint32_t offset,
                          std::uint32_t materialCount) {
  if (materialCount == 0) return 0;
  if (mesh.materials.empty()) return std::min(offset, materialCount - 1);
  if (mesh.faceMaterials.empty()) return offset;
  return offset + mesh.faceMaterials[std::min(face, mesh.faceMaterials.size() - 1)];
}

std::uint32_t TrianglesOf(std::uint32_t corners) { return corners >= 3 ? corners - 2 : 0; }

// Triangles per subset over all placements, before anything is built, so that triangles
// can go straight to their subset's place in the index buffer.
std::vector<std::size_t> CountTriangles(const Scene& scene,
                                        const std::vector<Placement>& placements,
                                        std::uint32_t materialCount, std::size_t subsetCount) {
  std::vector<std::size_t> counts(subsetCount, 0);
  std::uint32_t offset = 0;
  for (const Placement& placement : placements) {
    const MeshData& mesh = scene.meshes[placement.mesh];
    for (std::size_t face = 0; face < mesh.faceSizes.size(); ++face)
      counts[AttributeOf(mesh, face, offset, materialCount)] += TrianglesOf(mesh.faceSizes[face]);
    offset += static_cast<std::uint32_t>(mesh.materials.size());
  }
  return counts;
}

class Merger {
 public:
  // firstTriangles: where each subset's triangles start in out.indices (in triangles).
  Merger(const Scene& scene, Mesh& out, std::uint32_t materialCount,
         std::vector<std::uint32_t> firstTriangles)
      : scene_(scene), out_(out), materialCount_(materialCount), next_(std::move(firstTriangles)) {}

  void Add(const Placement& placement) {
    const MeshData& mesh = scene_.meshes[placement.mesh];
    const auto base = static_cast<std::uint32_t>(out_.vertices.size());
    AppendVertices(mesh);
    std::vector<std::uint32_t> split;
    if (mesh.hasNormals) split = SplitByNormals(mesh, base);
    Place(placement, base);
    AppendTriangles(mesh, mesh.hasNormals ? split : mesh.faceCorners, base);
    materialOffset_ += static_cast<std::uint32_t>(mesh.materials.size());
  }

 private:
  void AppendVertices(const MeshData& mesh) {
    const std::size_t base = out_.vertices.size();
    // A mesh without colours in a file whose other meshes have them gets zero, as D3DX
    // leaves that part of its vertex unwritten; listed meshes start transparent white.
    Vertex blank;
    if (mesh.hasVertexColors) blank.diffuse = D3DCOLOR_ARGB(0, 255, 255, 255);
    else if (out_.hasVertexColors) blank.diffuse = 0;
    out_.vertices.resize(base + mesh.positions.size(), blank);
    for (std::size_t i = 0; i < mesh.positions.size(); ++i) {
      Vertex& vertex = out_.vertices[base + i];
      vertex.position = mesh.positions[i];
      if (mesh.hasTextureCoords) {
        vertex.u = mesh.textureCoords[i][0];
        vertex.v = mesh.textureCoords[i][1];
      }
    }
    for (const auto& [index, color] : mesh.colors) out_.vertices[base + index].diffuse = color;
  }

  // Walks the corners in file order. The first corner that uses a vertex gives it its
  // normal; a later corner with a different normal reuses the copy of that vertex that has
  // it, or appends a new copy at the end. Returns the vertex of every corner.
  std::vector<std::uint32_t> SplitByNormals(const MeshData& mesh, std::uint32_t base) {
    std::vector<std::uint32_t> cornerVertices(mesh.faceCorners.size());
    std::vector<bool> hasNormal(mesh.positions.size(), false);
    std::unordered_map<CopyKey, std::uint32_t, CopyKeyHash> copies;  // local indices
    for (std::size_t c = 0; c < mesh.faceCorners.size(); ++c) {
      const std::uint32_t original = mesh.faceCorners[c];
      const D3DVECTOR& normal = mesh.normals[mesh.normalCorners[c]];
      std::uint32_t vertex = original;
      if (!hasNormal[original]) {
        hasNormal[original] = true;
        out_.vertices[base + original].normal = normal;
      } else if (!SameVector(out_.vertices[base + original].normal, normal)) {
        const auto [it, added] = copies.try_emplace(
            CopyKey::Of(original, normal), static_cast<std::uint32_t>(out_.vertices.size() - base));
        if (added) {
          Vertex duplicate = out_.vertices[base + original];
          duplicate.normal = normal;
          out_.vertices.push_back(duplicate);
        }
        vertex = it->second;
      }
      cornerVertices[c] = vertex;
    }
    return cornerVertices;
  }

  void Place(const Placement& placement, std::uint32_t base) {
    if (placement.identity) return;
    const NormalTransform normals(placement.world);
    for (std::size_t i = base; i < out_.vertices.size(); ++i) {
      Vertex& vertex = out_.vertices[i];
      vertex.position = TransformPoint(vertex.position, placement.world);
      vertex.normal = normals.Apply(vertex.normal);
    }
  }

  // Faces become fans from their first corner: (0,1,2), (0,2,3), ...; faces with fewer
  // than three corners draw nothing. File order is kept within each subset.
  void AppendTriangles(const MeshData& mesh, const std::vector<std::uint32_t>& cornerVertices,
                       std::uint32_t base) {
    std::size_t first = 0;
    for (std::size_t face = 0; face < mesh.faceSizes.size(); ++face) {
      const std::uint32_t corners = mesh.faceSizes[face];
      const std::uint32_t attribute = AttributeOf(mesh, face, materialOffset_, materialCount_);
      const std::uint32_t fan = base + cornerVertices[first];
      for (std::uint32_t i = 1; i + 1 < corners; ++i) {
        std::uint32_t* triangle = out_.indices.data() + std::size_t{next_[attribute]++} * 3;
        triangle[0] = fan;
        triangle[1] = base + cornerVertices[first + i];
        triangle[2] = base + cornerVertices[first + i + 1];
      }
      first += corners;
    }
  }

  const Scene& scene_;
  Mesh& out_;
  std::uint32_t materialCount_;
  std::uint32_t materialOffset_ = 0;
  std::vector<std::uint32_t> next_;  // the next free triangle of each subset
};

}  // namespace

Mesh BuildMesh(const Scene& scene, std::size_t bodySize) {
  std::vector<Placement> placements;
  for (const Placement& placement : scene.placements)
    if (!scene.meshes[placement.mesh].positions.empty()) placements.push_back(placement);
  if (placements.empty()) Fail("the file holds no mesh with vertices");
  CheckResultSize(scene, bodySize);

  Mesh out;
  std::size_t materialCount = 0;
  for (const Placement& placement : placements) {
    const MeshData& mesh = scene.meshes[placement.mesh];
    out.hasNormals |= mesh.hasNormals;
    out.hasTextureCoords |= mesh.hasTextureCoords;
    out.hasVertexColors |= mesh.hasVertexColors;
    for (std::uint32_t id : mesh.materials) out.materials.push_back(scene.materials[id]);
    materialCount += mesh.materials.size();
  }
  if (materialCount > std::numeric_limits<std::uint32_t>::max())
    Fail("the file has more materials than a mesh can count");
  if (materialCount == 0) out.materials.push_back(DefaultMaterial());
  const auto count = static_cast<std::uint32_t>(materialCount);

  // Subset i is one contiguous run of the index buffer: the triangles of attribute i.
  const std::vector<std::size_t> triangles =
      CountTriangles(scene, placements, count, out.materials.size());
  std::vector<std::uint32_t> firstTriangles(triangles.size());
  std::size_t total = 0;
  out.subsets.resize(triangles.size());
  for (std::size_t i = 0; i < triangles.size(); ++i) {
    if (total + triangles[i] > std::numeric_limits<std::uint32_t>::max() / 3)
      Fail("the merged mesh has more triangles than 32-bit offsets reach");
    firstTriangles[i] = static_cast<std::uint32_t>(total);
    out.subsets[i] = {static_cast<std::uint32_t>(total * 3),
                      static_cast<std::uint32_t>(triangles[i] * 3)};
    total += triangles[i];
  }
  out.faceCount = static_cast<std::uint32_t>(total);
  out.indices.resize(total * 3);

  Merger merger(scene, out, count, std::move(firstTriangles));
  for (const Placement& placement : placements) {
    merger.Add(placement);
    if (out.vertices.size() > std::numeric_limits<std::uint32_t>::max())
      Fail("the merged mesh has more vertices than 32-bit indices reach");
  }
  return out;
}

}  // namespace xfile
