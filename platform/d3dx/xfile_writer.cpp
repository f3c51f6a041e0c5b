#include "platform/d3dx/xfile_writer.h"

#include <charconv>
#include <cstdint>
#include <cstring>

namespace xfile {
namespace {

// Material index of every triangle, from the subsets; uncovered triangles keep 0.
std::vector<std::uint32_t> FaceMaterials(const Mesh& mesh) {
  std::vector<std::uint32_t> faceMaterial(mesh.indices.size() / 3, 0);
  for (std::size_t s = 0; s < mesh.subsets.size(); ++s) {
    const Subset& subset = mesh.subsets[s];
    const std::size_t first = subset.firstIndex / 3;
    const std::size_t count = subset.indexCount / 3;
    for (std::size_t f = first; f < first + count && f < faceMaterial.size(); ++f)
      faceMaterial[f] = static_cast<std::uint32_t>(s);
  }
  return faceMaterial;
}

std::vector<Material> MaterialsToWrite(const Mesh& mesh) {
  if (!mesh.materials.empty()) return mesh.materials;
  Material white;
  white.material.Diffuse = {1, 1, 1, 1};
  return {white};
}

// Fixed notation, at most six decimals, no trailing zeros, no "-0".
void AppendNumber(std::string& out, float value) {
  char buffer[64];
  auto [end, error] = std::to_chars(buffer, buffer + sizeof buffer, static_cast<double>(value),
                                    std::chars_format::fixed, 6);
  if (error != std::errc()) {
    out += '0';
    return;
  }
  char* last = end;
  if (std::memchr(buffer, '.', static_cast<std::size_t>(end - buffer))) {
    while (last[-1] == '0') --last;
    if (last[-1] == '.') --last;
  }
  std::string_view text(buffer, static_cast<std::size_t>(last - buffer));
  if (text == "-0") text = "0";
  out += text;
}

void AppendInteger(std::string& out, std::uint64_t value) {
  char buffer[24];
  auto [end, error] = std::to_chars(buffer, buffer + sizeof buffer, value);
  (void)error;
  out.append(buffer, end);
}

void AppendFloats(std::string& out, std::initializer_list<float> values) {
  for (float v : values) {
    AppendNumber(out, v);
    out += ';';
  }
}

// Texture names hold no quote in a valid file: a quote would end the string early.
std::string SafeTextureName(const std::string& name) {
  std::string safe = name;
  for (char& c : safe)
    if (c == '"') c = '_';
  return safe;
}

constexpr std::string_view kTemplates =
    "template Header {\n <3D82AB43-62DA-11cf-AB39-0020AF71E433>\n WORD major;\n WORD minor;\n"
    " DWORD flags;\n}\n\n"
    "template Vector {\n <3D82AB5E-62DA-11cf-AB39-0020AF71E433>\n FLOAT x;\n FLOAT y;\n"
    " FLOAT z;\n}\n\n"
    "template Coords2d {\n <F6F23F44-7686-11cf-8F52-0040333594A3>\n FLOAT u;\n FLOAT v;\n}\n\n"
    "template ColorRGBA {\n <35FF44E0-6C7C-11cf-8F52-0040333594A3>\n FLOAT red;\n"
    " FLOAT green;\n FLOAT blue;\n FLOAT alpha;\n}\n\n"
    "template ColorRGB {\n <D3E16E81-7835-11cf-8F52-0040333594A3>\n FLOAT red;\n"
    " FLOAT green;\n FLOAT blue;\n}\n\n"
    "template IndexedColor {\n <1630B820-7842-11cf-8F52-0040333594A3>\n DWORD index;\n"
    " ColorRGBA indexColor;\n}\n\n"
    "template TextureFilename {\n <A42790E1-7810-11cf-8F52-0040333594A3>\n STRING filename;\n}\n\n"
    "template Material {\n <3D82AB4D-62DA-11cf-AB39-0020AF71E433>\n ColorRGBA faceColor;\n"
    " FLOAT power;\n ColorRGB specularColor;\n ColorRGB emissiveColor;\n [...]\n}\n\n"
    "template MeshFace {\n <3D82AB5F-62DA-11cf-AB39-0020AF71E433>\n DWORD nFaceVertexIndices;\n"
    " array DWORD faceVertexIndices[nFaceVertexIndices];\n}\n\n"
    "template MeshTextureCoords {\n <F6F23F40-7686-11cf-8F52-0040333594A3>\n"
    " DWORD nTextureCoords;\n array Coords2d textureCoords[nTextureCoords];\n}\n\n"
    "template MeshVertexColors {\n <1630B821-7842-11cf-8F52-0040333594A3>\n"
    " DWORD nVertexColors;\n array IndexedColor vertexColors[nVertexColors];\n}\n\n"
    "template MeshMaterialList {\n <F6F23F42-7686-11cf-8F52-0040333594A3>\n DWORD nMaterials;\n"
    " DWORD nFaceIndexes;\n array DWORD faceIndexes[nFaceIndexes];\n"
    " [Material <3D82AB4D-62DA-11cf-AB39-0020AF71E433>]\n}\n\n"
    "template MeshNormals {\n <F6F23F43-7686-11cf-8F52-0040333594A3>\n DWORD nNormals;\n"
    " array Vector normals[nNormals];\n DWORD nFaceNormals;\n"
    " array MeshFace faceNormals[nFaceNormals];\n}\n\n"
    "template Mesh {\n <3D82AB44-62DA-11cf-AB39-0020AF71E433>\n DWORD nVertices;\n"
    " array Vector vertices[nVertices];\n DWORD nFaces;\n array MeshFace faces[nFaces];\n"
    " [...]\n}\n\n";

// "3;a,b,c;" for every triangle, the list closed by ";" after the last one.
void AppendFaces(std::string& out, const Mesh& mesh) {
  const std::size_t faces = mesh.indices.size() / 3;
  AppendInteger(out, faces);
  out += ";\n";
  for (std::size_t f = 0; f < faces; ++f) {
    out += "  3;";
    AppendInteger(out, mesh.indices[3 * f]);
    out += ',';
    AppendInteger(out, mesh.indices[3 * f + 1]);
    out += ',';
    AppendInteger(out, mesh.indices[3 * f + 2]);
    out += f + 1 < faces ? ";,\n" : ";;\n";
  }
}

// Little-endian fields of the binary format.
void PutU16(std::vector<std::byte>& out, std::uint16_t v) {
  out.push_back(std::byte(v & 0xFF));
  out.push_back(std::byte(v >> 8));
}
void PutU32(std::vector<std::byte>& out, std::uint32_t v) {
  for (int i = 0; i < 4; ++i) out.push_back(std::byte((v >> (8 * i)) & 0xFF));
}

class BinaryStream {
 public:
  std::vector<std::byte> bytes;

  void Name(std::string_view name) {
    PutU16(bytes, 1);
    PutU32(bytes, static_cast<std::uint32_t>(name.size()));
    for (char c : name) bytes.push_back(std::byte(c));
  }
  void String(std::string_view text) {
    PutU16(bytes, 2);
    PutU32(bytes, static_cast<std::uint32_t>(text.size()));
    for (char c : text) bytes.push_back(std::byte(c));
    PutU16(bytes, 20);  // ';'
  }
  void IntegerList(const std::vector<std::uint32_t>& values) {
    PutU16(bytes, 6);
    PutU32(bytes, static_cast<std::uint32_t>(values.size()));
    for (auto v : values) PutU32(bytes, v);
  }
  void FloatList(const std::vector<float>& values) {
    PutU16(bytes, 7);
    PutU32(bytes, static_cast<std::uint32_t>(values.size()));
    for (float v : values) {
      std::uint32_t bits;
      std::memcpy(&bits, &v, sizeof bits);
      PutU32(bytes, bits);
    }
  }
  void Open(std::string_view type) {
    Name(type);
    PutU16(bytes, 10);
  }
  void Close() { PutU16(bytes, 11); }
};

std::vector<std::uint32_t> FaceList(const Mesh& mesh) {
  const std::size_t faces = mesh.indices.size() / 3;
  std::vector<std::uint32_t> list;
  list.reserve(1 + 4 * faces);
  list.push_back(static_cast<std::uint32_t>(faces));
  for (std::size_t f = 0; f < faces; ++f) {
    list.push_back(3);
    for (int k = 0; k < 3; ++k) list.push_back(mesh.indices[3 * f + k]);
  }
  return list;
}

}  // namespace

std::string WriteText(const Mesh& mesh) {
  const std::size_t n = mesh.vertices.size();
  std::string out;
  out.reserve(256 + n * 96 + mesh.indices.size() * 16);
  out += "xof 0303txt 0032\n\n";
  out += kTemplates;
  out += "Header {\n 1;\n 0;\n 1;\n}\n\n";

  out += "Mesh {\n ";
  AppendInteger(out, n);
  out += ";\n";
  for (std::size_t i = 0; i < n; ++i) {
    const auto& p = mesh.vertices[i].position;
    out += "  ";
    AppendFloats(out, {p.x, p.y, p.z});
    out += i + 1 < n ? ",\n" : ";\n";
  }
  out += ' ';
  AppendFaces(out, mesh);

  out += "\n MeshNormals {\n ";
  AppendInteger(out, n);
  out += ";\n";
  for (std::size_t i = 0; i < n; ++i) {
    const auto& v = mesh.vertices[i].normal;
    out += "  ";
    AppendFloats(out, {v.x, v.y, v.z});
    out += i + 1 < n ? ",\n" : ";\n";
  }
  out += ' ';
  AppendFaces(out, mesh);
  out += " }\n";

  out += "\n MeshTextureCoords {\n ";
  AppendInteger(out, n);
  out += ";\n";
  for (std::size_t i = 0; i < n; ++i) {
    out += "  ";
    AppendFloats(out, {mesh.vertices[i].u, mesh.vertices[i].v});
    out += i + 1 < n ? ",\n" : ";\n";
  }
  out += " }\n";

  if (mesh.hasVertexColors) {
    out += "\n MeshVertexColors {\n ";
    AppendInteger(out, n);
    out += ";\n";
    for (std::size_t i = 0; i < n; ++i) {
      const D3DCOLOR c = mesh.vertices[i].diffuse;
      out += "  ";
      AppendInteger(out, i);
      out += ';';
      AppendFloats(out, {((c >> 16) & 0xFF) / 255.0f, ((c >> 8) & 0xFF) / 255.0f,
                         (c & 0xFF) / 255.0f, (c >> 24) / 255.0f});
      out += i + 1 < n ? ";,\n" : ";;\n";
    }
    out += " }\n";
  }

  const auto materials = MaterialsToWrite(mesh);
  const auto faceMaterial = FaceMaterials(mesh);
  out += "\n MeshMaterialList {\n ";
  AppendInteger(out, materials.size());
  out += ";\n ";
  AppendInteger(out, faceMaterial.size());
  out += ";\n";
  for (std::size_t f = 0; f < faceMaterial.size(); ++f) {
    out += "  ";
    AppendInteger(out, faceMaterial[f]);
    out += f + 1 < faceMaterial.size() ? ",\n" : ";\n";
  }
  for (const auto& m : materials) {
    const auto& d = m.material;
    out += "\n  Material {\n   ";
    AppendFloats(out, {d.Diffuse.r, d.Diffuse.g, d.Diffuse.b, d.Diffuse.a});
    out += ";\n   ";
    AppendNumber(out, d.Power);
    out += ";\n   ";
    AppendFloats(out, {d.Specular.r, d.Specular.g, d.Specular.b});
    out += ";\n   ";
    AppendFloats(out, {d.Emissive.r, d.Emissive.g, d.Emissive.b});
    out += ";\n";
    if (!m.textureFileName.empty()) {
      out += "   TextureFilename {\n    \"";
      out += SafeTextureName(m.textureFileName);
      out += "\";\n   }\n";
    }
    out += "  }\n";
  }
  out += " }\n}\n";
  return out;
}

std::vector<std::byte> WriteBinary(const Mesh& mesh) {
  BinaryStream s;
  const std::string_view header = "xof 0303bin 0032";
  for (char c : header) s.bytes.push_back(std::byte(c));

  s.Open("Header");
  s.IntegerList({1, 0, 1});
  s.Close();

  const auto n = static_cast<std::uint32_t>(mesh.vertices.size());
  const auto faces = FaceList(mesh);
  std::vector<float> floats;

  s.Open("Mesh");
  s.IntegerList({n});
  floats.clear();
  for (const auto& v : mesh.vertices) floats.insert(floats.end(), {v.position.x, v.position.y, v.position.z});
  s.FloatList(floats);
  s.IntegerList(faces);

  s.Open("MeshNormals");
  s.IntegerList({n});
  floats.clear();
  for (const auto& v : mesh.vertices) floats.insert(floats.end(), {v.normal.x, v.normal.y, v.normal.z});
  s.FloatList(floats);
  s.IntegerList(faces);
  s.Close();

  s.Open("MeshTextureCoords");
  s.IntegerList({n});
  floats.clear();
  for (const auto& v : mesh.vertices) floats.insert(floats.end(), {v.u, v.v});
  s.FloatList(floats);
  s.Close();

  if (mesh.hasVertexColors) {
    s.Open("MeshVertexColors");
    s.IntegerList({n});
    for (std::uint32_t i = 0; i < n; ++i) {
      const D3DCOLOR c = mesh.vertices[i].diffuse;
      s.IntegerList({i});
      s.FloatList({((c >> 16) & 0xFF) / 255.0f, ((c >> 8) & 0xFF) / 255.0f, (c & 0xFF) / 255.0f,
                   (c >> 24) / 255.0f});
    }
    s.Close();
  }

  const auto materials = MaterialsToWrite(mesh);
  const auto faceMaterial = FaceMaterials(mesh);
  s.Open("MeshMaterialList");
  std::vector<std::uint32_t> list{static_cast<std::uint32_t>(materials.size()),
                                  static_cast<std::uint32_t>(faceMaterial.size())};
  list.insert(list.end(), faceMaterial.begin(), faceMaterial.end());
  s.IntegerList(list);
  for (const auto& m : materials) {
    const auto& d = m.material;
    s.Open("Material");
    s.FloatList({d.Diffuse.r, d.Diffuse.g, d.Diffuse.b, d.Diffuse.a, d.Power, d.Specular.r,
                 d.Specular.g, d.Specular.b, d.Emissive.r, d.Emissive.g, d.Emissive.b});
    if (!m.textureFileName.empty()) {
      s.Open("TextureFilename");
      s.String(m.textureFileName);
      s.Close();
    }
    s.Close();
  }
  s.Close();  // MeshMaterialList
  s.Close();  // Mesh
  return std::move(s.bytes);
}

}  // namespace xfile
