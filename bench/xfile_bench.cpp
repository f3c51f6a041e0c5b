// Parse throughput of our .X reader beside Assimp's importer, on text and binary grid
// meshes of about 1 MB and 20 MB (normals, texture coordinates, four materials), built in
// memory before timing.
#include <assimp/Importer.hpp>
#include <assimp/scene.h>
#include <benchmark/benchmark.h>

#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <map>
#include <span>
#include <string>
#include <vector>

#include "platform/d3dx/xfile.h"

namespace {

struct Grid {
  int n = 0;  // quads per side
  std::vector<float> positions, normals, uvs;
  std::vector<std::uint32_t> quads, materials;

  explicit Grid(int quadsPerSide) : n(quadsPerSide) {
    for (int j = 0; j <= n; ++j) {
      for (int i = 0; i <= n; ++i) {
        const float y = 0.5f * std::sin(i * 0.3f) * std::cos(j * 0.2f);
        positions.insert(positions.end(), {i * 0.25f, y, j * 0.25f});
        const float dx = 0.15f * std::cos(i * 0.3f) * std::cos(j * 0.2f) / 0.25f;
        const float dz = -0.1f * std::sin(i * 0.3f) * std::sin(j * 0.2f) / 0.25f;
        const float length = std::sqrt(dx * dx + 1 + dz * dz);
        normals.insert(normals.end(), {-dx / length, 1 / length, -dz / length});
        uvs.insert(uvs.end(), {static_cast<float>(i) / n, static_cast<float>(j) / n});
      }
    }
    const auto at = [&](int i, int j) { return static_cast<std::uint32_t>(j * (n + 1) + i); };
    for (int j = 0; j < n; ++j) {
      for (int i = 0; i < n; ++i) {
        quads.insert(quads.end(), {at(i, j), at(i, j + 1), at(i + 1, j + 1), at(i + 1, j)});
        materials.push_back(static_cast<std::uint32_t>((2 * i / n) + 2 * (2 * j / n)));
      }
    }
  }
  std::size_t vertexCount() const { return positions.size() / 3; }
  std::size_t faceCount() const { return materials.size(); }
};

// ---- text ----

void AppendFloats(std::string& out, const float* values, int count, const char* end) {
  char buffer[32];
  for (int k = 0; k < count; ++k) {
    std::snprintf(buffer, sizeof buffer, "%.6f;", static_cast<double>(values[k]));
    out += buffer;
  }
  out += end;
}

void AppendFaces(std::string& out, const std::vector<std::uint32_t>& quads) {
  char buffer[64];
  for (std::size_t q = 0; q < quads.size(); q += 4) {
    std::snprintf(buffer, sizeof buffer, "4;%u,%u,%u,%u;%s\n", quads[q], quads[q + 1], quads[q + 2],
                  quads[q + 3], q + 4 == quads.size() ? ";" : ",");
    out += buffer;
  }
}

std::string TextGrid(const Grid& grid) {
  std::string out = "xof 0303txt 0032\n\nMesh Grid {\n" + std::to_string(grid.vertexCount()) + ";\n";
  for (std::size_t v = 0; v < grid.vertexCount(); ++v)
    AppendFloats(out, &grid.positions[v * 3], 3, v + 1 == grid.vertexCount() ? ";\n" : ",\n");
  out += std::to_string(grid.faceCount()) + ";\n";
  AppendFaces(out, grid.quads);
  out += "MeshNormals {\n" + std::to_string(grid.vertexCount()) + ";\n";
  for (std::size_t v = 0; v < grid.vertexCount(); ++v)
    AppendFloats(out, &grid.normals[v * 3], 3, v + 1 == grid.vertexCount() ? ";\n" : ",\n");
  out += std::to_string(grid.faceCount()) + ";\n";
  AppendFaces(out, grid.quads);
  out += "}\nMeshTextureCoords {\n" + std::to_string(grid.vertexCount()) + ";\n";
  for (std::size_t v = 0; v < grid.vertexCount(); ++v)
    AppendFloats(out, &grid.uvs[v * 2], 2, v + 1 == grid.vertexCount() ? ";\n" : ",\n");
  out += "}\nMeshMaterialList {\n4;\n" + std::to_string(grid.faceCount()) + ";\n";
  for (std::size_t f = 0; f < grid.faceCount(); ++f)
    out += std::to_string(grid.materials[f]) + (f + 1 == grid.faceCount() ? ";;\n" : ",\n");
  for (int m = 0; m < 4; ++m)
    out += "Material {\n0.8;0.8;0.8;1.0;;\n10.0;\n0.2;0.2;0.2;;\n0.0;0.0;0.0;;\n"
           "TextureFilename { \"texture" + std::to_string(m) + ".jpg\"; }\n}\n";
  out += "}\n}\n";
  return out;
}

// ---- binary, packed the way Microsoft's writer packs it ----

class BinaryWriter {
 public:
  explicit BinaryWriter(std::string& out) : out_(out) {}
  void Token(std::uint16_t id) { Raw(&id, 2); }
  void Name(const std::string& name) {
    Token(1);
    Dword(static_cast<std::uint32_t>(name.size()));
    out_ += name;
  }
  void String(const std::string& text) {
    Token(2);
    Dword(static_cast<std::uint32_t>(text.size()));
    out_ += text;
    Token(20);  // ';'
  }
  void Ints(const std::vector<std::uint32_t>& values) {
    Token(6);
    Dword(static_cast<std::uint32_t>(values.size()));
    Raw(values.data(), values.size() * 4);
  }
  void Floats(const std::vector<float>& values) {
    Token(7);
    Dword(static_cast<std::uint32_t>(values.size()));
    Raw(values.data(), values.size() * 4);
  }
  void Open(const std::string& type) {
    Name(type);
    Token(10);
  }
  void Close() { Token(11); }

 private:
  void Dword(std::uint32_t value) { Raw(&value, 4); }
  void Raw(const void* data, std::size_t size) { out_.append(static_cast<const char*>(data), size); }
  std::string& out_;
};

std::vector<std::uint32_t> FaceList(const Grid& grid) {
  std::vector<std::uint32_t> list = {static_cast<std::uint32_t>(grid.faceCount())};
  for (std::size_t q = 0; q < grid.quads.size(); q += 4)
    list.insert(list.end(), {4, grid.quads[q], grid.quads[q + 1], grid.quads[q + 2], grid.quads[q + 3]});
  return list;
}

std::string BinaryGrid(const Grid& grid) {
  std::string out = "xof 0303bin 0032";
  BinaryWriter w(out);
  const auto count = static_cast<std::uint32_t>(grid.vertexCount());
  const std::vector<std::uint32_t> faces = FaceList(grid);
  w.Name("Mesh");
  w.Name("Grid");
  w.Token(10);
  w.Ints({count});
  w.Floats(grid.positions);
  w.Ints(faces);
  w.Open("MeshNormals");
  w.Ints({count});
  w.Floats(grid.normals);
  w.Ints(faces);
  w.Close();
  w.Open("MeshTextureCoords");
  w.Ints({count});
  w.Floats(grid.uvs);
  w.Close();
  w.Open("MeshMaterialList");
  std::vector<std::uint32_t> list = {4, static_cast<std::uint32_t>(grid.faceCount())};
  list.insert(list.end(), grid.materials.begin(), grid.materials.end());
  w.Ints(list);
  for (int m = 0; m < 4; ++m) {
    w.Open("Material");
    w.Floats({0.8f, 0.8f, 0.8f, 1.0f, 10.0f, 0.2f, 0.2f, 0.2f, 0.0f, 0.0f, 0.0f});
    w.Open("TextureFilename");
    w.String("texture" + std::to_string(m) + ".jpg");
    w.Close();
    w.Close();
  }
  w.Close();
  w.Close();
  return out;
}

// The grid whose file comes closest to the wanted size (sizes grow with n squared), made
// once per kind and size.
const std::string& File(bool binary, std::size_t megabytes) {
  static std::map<std::pair<bool, std::size_t>, std::string> cache;
  std::string& file = cache[{binary, megabytes}];
  if (file.empty()) {
    const auto make = binary ? BinaryGrid : TextGrid;
    const double probe = static_cast<double>(make(Grid(32)).size());
    file = make(Grid(static_cast<int>(32 * std::sqrt((megabytes << 20) / probe))));
  }
  return file;
}

void Ours(benchmark::State& state, const std::string& file) {
  const auto bytes = std::as_bytes(std::span(file.data(), file.size()));
  std::size_t vertices = 0;
  for (auto _ : state) {
    const xfile::ReadResult result = xfile::ReadMesh(bytes);
    if (!result.mesh) {
      state.SkipWithError(result.error.c_str());
      return;
    }
    vertices = result.mesh->vertices.size();
    benchmark::DoNotOptimize(result.mesh->indices.data());
  }
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * file.size()));
  state.counters["vertices"] = static_cast<double>(vertices);
  state.counters["fileMB"] = static_cast<double>(file.size()) / (1 << 20);
}

void Assimp(benchmark::State& state, const std::string& file) {
  std::size_t vertices = 0;
  for (auto _ : state) {
    Assimp::Importer importer;
    const aiScene* scene = importer.ReadFileFromMemory(file.data(), file.size(), 0, "x");
    if (scene == nullptr || scene->mNumMeshes == 0) {
      state.SkipWithError(importer.GetErrorString());
      return;
    }
    vertices = 0;
    for (unsigned m = 0; m < scene->mNumMeshes; ++m) vertices += scene->mMeshes[m]->mNumVertices;
    benchmark::DoNotOptimize(scene);
  }
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * file.size()));
  state.counters["vertices"] = static_cast<double>(vertices);
  state.counters["fileMB"] = static_cast<double>(file.size()) / (1 << 20);
}

void RegisterAll() {
  for (std::size_t mb : {1, 20}) {
    const std::string size = std::to_string(mb) + "MB";
    benchmark::RegisterBenchmark(("text_" + size + "/ours").c_str(),
                                 [mb](benchmark::State& s) { Ours(s, File(false, mb)); })
        ->Unit(benchmark::kMillisecond);
    benchmark::RegisterBenchmark(("text_" + size + "/assimp").c_str(),
                                 [mb](benchmark::State& s) { Assimp(s, File(false, mb)); })
        ->Unit(benchmark::kMillisecond);
    benchmark::RegisterBenchmark(("binary_" + size + "/ours").c_str(),
                                 [mb](benchmark::State& s) { Ours(s, File(true, mb)); })
        ->Unit(benchmark::kMillisecond);
    benchmark::RegisterBenchmark(("binary_" + size + "/assimp").c_str(),
                                 [mb](benchmark::State& s) { Assimp(s, File(true, mb)); })
        ->Unit(benchmark::kMillisecond);
  }
}

}  // namespace

int main(int argc, char** argv) {
  RegisterAll();
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
