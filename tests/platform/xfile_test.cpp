// The .X reader against hand-made fixtures (tests/fixtures/xfile; binary and compressed ones
// come from make_fixtures.py), broken files, and, when present, a corpus of real files.
#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <fstream>
#include <map>
#include <sstream>
#include <string>
#include <vector>

#include "platform/d3dx/xfile.h"

namespace {

namespace fs = std::filesystem;

std::string Fixture(const std::string& name) { return std::string(XFILE_FIXTURES) + "/" + name; }

xfile::ReadResult ReadFixture(const std::string& name) { return xfile::ReadMeshFile(Fixture(name)); }

xfile::Mesh MustRead(const std::string& name) {
  auto result = ReadFixture(name);
  if (!result.mesh) {
    ADD_FAILURE() << name << ": " << result.error;
    return {};
  }
  return *std::move(result.mesh);
}

// What every mesh the reader returns must satisfy, whatever the file.
void ExpectWellFormed(const xfile::Mesh& mesh, const std::string& what) {
  SCOPED_TRACE(what);
  ASSERT_EQ(mesh.indices.size(), std::size_t{mesh.faceCount} * 3);
  for (std::uint32_t index : mesh.indices) ASSERT_LT(index, mesh.vertices.size());
  ASSERT_FALSE(mesh.subsets.empty());
  ASSERT_EQ(mesh.subsets.size(), mesh.materials.size());
  std::uint32_t next = 0;
  for (const auto& subset : mesh.subsets) {
    EXPECT_EQ(subset.firstIndex, next);
    next += subset.indexCount;
  }
  EXPECT_EQ(next, mesh.indices.size());
}

std::vector<std::uint32_t> SubsetFaces(const xfile::Mesh& mesh) {
  std::vector<std::uint32_t> faces;
  for (const auto& subset : mesh.subsets) faces.push_back(subset.indexCount / 3);
  return faces;
}

std::vector<std::uint32_t> SubsetIndices(const xfile::Mesh& mesh, std::size_t subset) {
  const auto& s = mesh.subsets.at(subset);
  return {mesh.indices.begin() + s.firstIndex, mesh.indices.begin() + s.firstIndex + s.indexCount};
}

void ExpectVector(const D3DVECTOR& actual, float x, float y, float z) {
  EXPECT_FLOAT_EQ(actual.x, x);
  EXPECT_FLOAT_EQ(actual.y, y);
  EXPECT_FLOAT_EQ(actual.z, z);
}

xfile::ReadResult ReadText(const std::string& text) {
  return xfile::ReadMesh(std::as_bytes(std::span(text.data(), text.size())));
}

struct Position {
  std::uint32_t vertex;
  float x, y, z;
};

struct GoodFile {
  const char* file;
  std::size_t vertices;
  std::uint32_t faces;
  std::vector<std::uint32_t> subsetFaces;
  std::vector<Position> positions;
};

TEST(XFileFixtures, ReadsEveryEncodingAndLayout) {
  const std::vector<Position> cubeCorners = {{0, -1, -1, -1}, {7, 1, 1, 1}, {16, -1, -1, -1}};
  const std::vector<GoodFile> files = {
      {"cube.x", 24, 12, {4, 8}, cubeCorners},
      {"cube_bin.x", 24, 12, {4, 8}, cubeCorners},
      {"cube_bin64.x", 24, 12, {4, 8}, cubeCorners},
      {"cube_tzip.x", 24, 12, {4, 8}, cubeCorners},
      {"cube_bzip.x", 24, 12, {4, 8}, cubeCorners},
      // Several compressed chunks that refer back into earlier ones.
      {"grid_tzip.x", 1681, 3200, {3200}, {{0, 0, 0, 0}, {1680, 40, 0, 40}}},
      {"grid_bzip.x", 1681, 3200, {3200}, {{41, 0, 0, 1}, {1680, 40, 0, 40}}},
      {"frames.x", 12, 4, {4}, {{1, 1, 0, 0}, {3, 0, 0, 2}, {6, 0, 0, 5}, {9, 10, 1, 0}, {10, 9, 1, 0}}},
      {"ngon.x", 6, 7, {7}, {{2, 2, 1, 0}}},
      {"no_material_list.x", 3, 1, {1}, {{2, 0, 1, 0}}},
      {"material_ref.x", 6, 4, {3, 1}, {{5, 2, 1, 0}}},
      {"quirks.x", 4, 2, {2}, {{1, 1, 0, 0}, {2, 1, 1, 0}, {3, 0, 15, 0}}},
      {"vertex_colors.x", 3, 1, {1}, {}},
      {"merged.x", 10, 5, {1, 1, 3}, {{3, 5, 0, 0}, {9, 9, 1, 0}}},
      {"mesh_reference.x", 6, 2, {2}, {{1, 1, 0, 0}, {4, 1, 1, 0}}},
  };
  for (const auto& file : files) {
    SCOPED_TRACE(file.file);
    const xfile::Mesh mesh = MustRead(file.file);
    ExpectWellFormed(mesh, file.file);
    EXPECT_EQ(mesh.vertices.size(), file.vertices);
    EXPECT_EQ(mesh.faceCount, file.faces);
    EXPECT_EQ(SubsetFaces(mesh), file.subsetFaces);
    for (const auto& p : file.positions) {
      SCOPED_TRACE("vertex " + std::to_string(p.vertex));
      ASSERT_LT(p.vertex, mesh.vertices.size());
      ExpectVector(mesh.vertices[p.vertex].position, p.x, p.y, p.z);
    }
  }
}

TEST(XFileFixtures, BinaryAndCompressedEncodingsGiveTheTextResult) {
  const xfile::Mesh text = MustRead("cube.x");
  for (const char* file : {"cube_bin.x", "cube_bin64.x", "cube_tzip.x", "cube_bzip.x"}) {
    SCOPED_TRACE(file);
    const xfile::Mesh other = MustRead(file);
    ASSERT_EQ(other.vertices.size(), text.vertices.size());
    for (std::size_t i = 0; i < text.vertices.size(); ++i) {
      const auto& a = text.vertices[i];
      const auto& b = other.vertices[i];
      EXPECT_TRUE(std::memcmp(&a.position, &b.position, sizeof a.position) == 0 &&
                  std::memcmp(&a.normal, &b.normal, sizeof a.normal) == 0 && a.u == b.u &&
                  a.v == b.v)
          << "vertex " << i;
    }
    EXPECT_EQ(other.indices, text.indices);
    ASSERT_EQ(other.materials.size(), text.materials.size());
    for (std::size_t i = 0; i < text.materials.size(); ++i) {
      EXPECT_EQ(other.materials[i].textureFileName, text.materials[i].textureFileName);
      EXPECT_FLOAT_EQ(other.materials[i].material.Diffuse.g, text.materials[i].material.Diffuse.g);
    }
    EXPECT_TRUE(other.hasNormals && other.hasTextureCoords && !other.hasVertexColors);
  }
}

TEST(XFileFixtures, BrokenFilesFailWithTheirReason) {
  const std::vector<std::pair<const char*, const char*>> files = {
      {"empty.x", "empty"},
      {"short_header.x", "shorter than the 16-byte"},
      {"bad_magic.x", "not an .X file"},
      {"bad_version.x", "version \"0102\""},
      {"bad_format.x", "format \"cmp \""},
      {"bad_float_size.x", "float size \"0050\""},
      {"no_mesh.x", "no mesh with vertices"},
      {"truncated.x", "ends inside Mesh"},
      {"unbalanced_brace.x", "closes nothing"},
      {"vertex_index_out_of_range.x", "face 0 uses vertex 3, but the mesh has 3"},
      {"huge_vertex_count.x", "too short for the 4000000000 vertices"},
      {"unresolved_material.x", "{Missing} names no earlier Material"},
      {"material_index_out_of_range.x", "uses material 1, but the material list has 1"},
      {"material_count_mismatch.x", "declares 2 materials but holds 1"},
      {"normals_face_count.x", "MeshNormals lists 2 faces, but the mesh has 1"},
      {"normal_index_out_of_range.x", "uses normal 1, but MeshNormals has 1"},
      {"texture_coord_count.x", "MeshTextureCoords has 2 entries for 3 vertices"},
      {"color_index_out_of_range.x", "colours vertex 3"},
      {"unterminated_string.x", "no closing quote"},
      {"malformed_number.x", "malformed number 1.2.3"},
      {"empty_reference.x", "names nothing"},
      {"deep_nesting.x", "nest deeper"},
      {"reference_bomb.x", "more memory than its size justifies"},
      {"binary_unknown_token.x", "unknown token id 99"},
      {"binary_truncated_list.x", "longer than the rest of the file"},
      {"binary_name_too_long.x", "a name is longer than the rest of the file"},
      {"binary_list_too_long.x", "list of 1073741824 values is longer"},
      {"zip_bad_signature.x", "lacks its \"CK\" signature"},
      {"zip_corrupt_data.x", "is corrupt"},
      {"zip_chunk_size.x", "compressed chunk 1 unpacks to"},
      {"zip_total_size.x", "but the file declares"},
      {"zip_declared_huge.x", "more than this reader unpacks"},
      {"zip_truncated.x", "cut off"},
  };
  for (const auto& [file, reason] : files) {
    SCOPED_TRACE(file);
    const auto result = ReadFixture(std::string("broken/") + file);
    EXPECT_FALSE(result.mesh.has_value());
    EXPECT_NE(result.error.find(reason), std::string::npos) << "error: " << result.error;
  }
  const auto missing = xfile::ReadMeshFile(Fixture("no/such/file.x"));
  EXPECT_FALSE(missing.mesh.has_value());
  EXPECT_NE(missing.error.find("cannot open"), std::string::npos);
}

// Every prefix of a good file is a truncated file: it must fail (or, for a prefix that
// still holds a whole mesh, succeed) without crashing.
TEST(XFileFixtures, EveryTruncationFailsCleanly) {
  for (const char* file : {"cube.x", "cube_bin.x", "cube_bzip.x"}) {
    std::ifstream in(Fixture(file), std::ios::binary);
    const std::string bytes((std::istreambuf_iterator<char>(in)), {});
    for (std::size_t size = 0; size < bytes.size(); ++size) {
      const auto result = ReadText(bytes.substr(0, size));
      if (result.mesh) {
        ExpectWellFormed(*result.mesh, std::string(file) + " cut at " + std::to_string(size));
      } else {
        EXPECT_FALSE(result.error.empty());
      }
    }
  }
}

TEST(XFileMesh, NormalsSplitVerticesByValueInFirstUseOrder) {
  const xfile::Mesh cube = MustRead("cube.x");
  ASSERT_EQ(cube.vertices.size(), 24u);
  // Face 2 (-y) meets corner 0 first after face 0 gave it -z: the copy is vertex 8.
  ExpectVector(cube.vertices[0].normal, 0, 0, -1);
  ExpectVector(cube.vertices[8].position, -1, -1, -1);
  ExpectVector(cube.vertices[8].normal, 0, -1, 0);
  ExpectVector(cube.vertices[16].normal, -1, 0, 0);
  // Copies keep their source's texture coordinates.
  EXPECT_EQ(cube.vertices[23].u, cube.vertices[5].u);
  EXPECT_EQ(cube.vertices[23].v, cube.vertices[5].v);
  // Every triangle is flat: its three corners carry the same normal.
  for (std::size_t t = 0; t < cube.indices.size(); t += 3) {
    const auto& n = cube.vertices[cube.indices[t]].normal;
    for (int k = 1; k < 3; ++k) ExpectVector(cube.vertices[cube.indices[t + k]].normal, n.x, n.y, n.z);
  }

  // Two normal entries with one value do not split.
  const auto shared = ReadText(
      "xof 0303txt 0032\nMesh { 4; 0;0;0;, 1;0;0;, 0;1;0;, 1;1;0;;\n 2; 3;0,1,2;, 3;2,1,3;;\n"
      " MeshNormals { 2; 0;0;2;, 0;0;1;; 2; 3;0,0,0;, 3;1,1,1;; } }\n");
  ASSERT_TRUE(shared.mesh) << shared.error;
  EXPECT_EQ(shared.mesh->vertices.size(), 4u);
  ExpectVector(shared.mesh->vertices[3].normal, 0, 0, 1);  // normalised on reading
}

TEST(XFileMesh, FacesBecomeFansFromTheirFirstCorner) {
  const xfile::Mesh ngon = MustRead("ngon.x");
  EXPECT_EQ(ngon.indices, (std::vector<std::uint32_t>{0, 1, 2, 0, 2, 3, 0, 3, 4, 5, 0, 1, 5, 1, 2,
                                                     5, 2, 3, 5, 3, 4}));
}

TEST(XFileMesh, FrameTransformsApplyLocalThenParentToPositionsAndNormals) {
  const xfile::Mesh mesh = MustRead("frames.x");
  // The quarter turn about z sends the finger's normal (1,0,0) to (0,1,0); the parent's
  // translation does not touch normals.
  ASSERT_EQ(mesh.vertices.size(), 12u);
  EXPECT_TRUE(mesh.hasNormals);
  ExpectVector(mesh.vertices[9].normal, 0, 1, 0);
  ExpectVector(mesh.vertices[11].position, 10, 1, 1);
  ExpectVector(mesh.vertices[0].normal, 0, 0, 0);  // meshes without normals get none

  // Non-uniform scale keeps normals perpendicular to the surface.
  const auto scaled = ReadText(
      "xof 0303txt 0032\nFrame { FrameTransformMatrix { 2,0,0,0, 0,1,0,0, 0,0,1,0, 0,0,0,1;; }\n"
      " Mesh { 3; 0;0;0;, 1;1;0;, 0;0;1;; 1; 3;0,1,2;;\n"
      "  MeshNormals { 1; 0.707107;-0.707107;0;; 1; 3;0,0,0;; } } }\n");
  ASSERT_TRUE(scaled.mesh) << scaled.error;
  const auto& n = scaled.mesh->vertices[0].normal;
  EXPECT_NEAR(n.x, 0.4472136, 1e-5);
  EXPECT_NEAR(n.y, -0.8944272, 1e-5);
}

TEST(XFileMesh, MaterialsFollowTheirListsAndSubsetsHoldTheirFaces) {
  const xfile::Mesh strip = MustRead("material_ref.x");
  ASSERT_EQ(strip.materials.size(), 2u);
  const D3DMATERIAL8& red = strip.materials[0].material;
  EXPECT_EQ(strip.materials[0].textureFileName, "red.jpg");
  EXPECT_EQ(red.Diffuse.r, 1.0f);
  EXPECT_EQ(red.Power, 5.0f);
  EXPECT_EQ(red.Specular.a, 1.0f);
  EXPECT_EQ(red.Ambient.a, 1.0f);
  EXPECT_EQ(strip.materials[1].material.Diffuse.b, 1.0f);
  // Face 0 uses material 1; faces 1-3 repeat the last listed index, 0.
  EXPECT_EQ(SubsetIndices(strip, 0), (std::vector<std::uint32_t>{2, 1, 3, 2, 3, 4, 4, 3, 5}));
  EXPECT_EQ(SubsetIndices(strip, 1), (std::vector<std::uint32_t>{0, 1, 2}));

  // Texture names stay as written, backslashes and all.
  EXPECT_EQ(MustRead("cube.x").materials[0].textureFileName, "textures\\\\stone.jpg");
  EXPECT_EQ(MustRead("quirks.x").materials[0].textureFileName, "C:\\\\art\\\\bark.jpg");

  // No material list anywhere: one default grey material holds everything.
  const xfile::Mesh plain = MustRead("no_material_list.x");
  ASSERT_EQ(plain.materials.size(), 1u);
  EXPECT_EQ(plain.materials[0].material.Diffuse.r, 0.5f);
  EXPECT_EQ(plain.materials[0].material.Diffuse.a, 0.0f);
  EXPECT_EQ(plain.materials[0].material.Specular.g, 0.5f);
  EXPECT_TRUE(plain.materials[0].textureFileName.empty());

  // Later meshes' attributes follow the earlier meshes' materials; the list-less mesh at
  // the end joins the last subset instead of a subset nobody draws.
  const xfile::Mesh merged = MustRead("merged.x");
  EXPECT_EQ(SubsetIndices(merged, 0), (std::vector<std::uint32_t>{0, 2, 1}));
  EXPECT_EQ(SubsetIndices(merged, 1), (std::vector<std::uint32_t>{0, 1, 2}));
  EXPECT_EQ(SubsetIndices(merged, 2), (std::vector<std::uint32_t>{3, 4, 5, 3, 5, 6, 7, 8, 9}));
  EXPECT_EQ(merged.materials[2].material.Diffuse.b, 1.0f);
}

TEST(XFileMesh, VertexColorsAreClampedAndUnlistedVerticesAreTransparentWhite) {
  const xfile::Mesh mesh = MustRead("vertex_colors.x");
  EXPECT_TRUE(mesh.hasVertexColors);
  EXPECT_EQ(mesh.vertices[0].diffuse, D3DCOLOR_ARGB(255, 255, 128, 0));
  EXPECT_EQ(mesh.vertices[1].diffuse, D3DCOLOR_ARGB(0, 255, 255, 255));
  EXPECT_EQ(mesh.vertices[2].diffuse, D3DCOLOR_ARGB(128, 255, 0, 64));
}

// A folder of real files, when this machine has one: each loads or fails with a reason,
// and files that its MANIFEST describes give the counts stated there. MANIFEST lines are
// either `name key=value ...` or the JSON objects `orchard xinfo` prints, with the keys
// ok, vertices, faces and materials.
std::map<std::string, std::map<std::string, std::string>> ReadManifest(const fs::path& path) {
  std::map<std::string, std::map<std::string, std::string>> manifest;
  std::ifstream in(path);
  std::string line;
  while (std::getline(in, line)) {
    if (line.empty() || line[0] == '#') continue;
    std::map<std::string, std::string> fields;
    std::string name;
    if (line[0] == '{') {
      auto field = [&](const std::string& key) -> std::string {
        const auto at = line.find("\"" + key + "\":");
        if (at == std::string::npos) return {};
        auto start = at + key.size() + 3;
        if (line[start] == '"') return line.substr(start + 1, line.find('"', start + 1) - start - 1);
        return line.substr(start, line.find_first_of(",}", start) - start);
      };
      name = field("file");
      for (const char* key : {"ok", "vertices", "faces", "materials"})
        if (auto value = field(key); !value.empty()) fields[key] = value;
    } else {
      std::istringstream words(line);
      words >> name;
      for (std::string word; words >> word;)
        if (const auto eq = word.find('='); eq != std::string::npos)
          fields[word.substr(0, eq)] = word.substr(eq + 1);
    }
    if (!name.empty()) manifest[fs::path(name).filename().string()] = fields;
  }
  return manifest;
}

TEST(XFileCorpus, EveryFileLoadsOrFailsCleanly) {
  const fs::path corpus = XFILE_CORPUS;
  if (!fs::is_directory(corpus)) GTEST_SKIP() << "no corpus of real .X files at " << corpus;
  const auto manifest = ReadManifest(corpus / "MANIFEST");
  std::size_t files = 0;
  for (const auto& entry : fs::recursive_directory_iterator(corpus)) {
    if (!entry.is_regular_file() || entry.path().filename() == "MANIFEST") continue;
    ++files;
    const std::string name = entry.path().filename().string();
    SCOPED_TRACE(entry.path().string());
    const auto result = xfile::ReadMeshFile(entry.path().string());
    if (result.mesh) {
      ExpectWellFormed(*result.mesh, name);
    } else {
      EXPECT_FALSE(result.error.empty());
    }
    const auto it = manifest.find(name);
    if (it == manifest.end()) continue;
    const auto& expected = it->second;
    if (auto ok = expected.find("ok"); ok != expected.end()) {
      EXPECT_EQ(result.mesh.has_value(), ok->second == "true" || ok->second == "1") << result.error;
    }
    if (!result.mesh) continue;
    auto expect = [&](const char* key, std::size_t actual) {
      if (auto value = expected.find(key); value != expected.end()) {
        EXPECT_EQ(std::to_string(actual), value->second) << key;
      }
    };
    expect("vertices", result.mesh->vertices.size());
    expect("faces", result.mesh->faceCount);
    expect("materials", result.mesh->materials.size());
  }
  EXPECT_GT(files, 0u) << "the corpus folder is empty";
}

}  // namespace
