#include "platform/d3dx/xfile/scene_parser.h"

#include <algorithm>
#include <cmath>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <utility>

#include "platform/d3dx/xfile/binary_lexer.h"
#include "platform/d3dx/xfile/limits.h"
#include "platform/d3dx/xfile/read_error.h"
#include "platform/d3dx/xfile/text_lexer.h"
#include "platform/d3dx/xfile/transform.h"

namespace xfile {

namespace {

// Type names are matched without regard to case, as D3DX does: files written by some
// exporters say TextureFileName.
bool TypeIs(std::string_view type, std::string_view name) {
  return type.size() == name.size() &&
         std::equal(type.begin(), type.end(), name.begin(),
                    [](char a, char b) { return (a | 0x20) == (b | 0x20); });
}

std::string Quoted(std::string_view name) { return "\"" + Printable(name) + "\""; }

D3DCOLOR ToColor(float r, float g, float b, float a) {
  const auto channel = [](float value) {
    const float clamped = std::clamp(std::isnan(value) ? 0.0f : value, 0.0f, 1.0f);
    return static_cast<DWORD>(clamped * 255.0f + 0.5f);
  };
  return D3DCOLOR_ARGB(channel(a), channel(r), channel(g), channel(b));
}

struct ObjectHead {
  std::string_view type;
  std::string_view name;  // empty for an unnamed object
  std::optional<Guid> guid;
  int depth = 0;  // 1 for a top-level object
};

struct Reference {
  std::string_view name;
  std::optional<Guid> guid;
};

// Named (or GUID-tagged) objects that later references may point to.
template <class Value>
class Registry {
 public:
  void Add(const ObjectHead& head, Value value) {
    if (!head.name.empty()) byName_[head.name] = value;
    if (head.guid) byGuid_[*head.guid] = value;
  }
  std::optional<Value> Find(const Reference& ref) const {
    if (!ref.name.empty()) {
      if (const auto it = byName_.find(ref.name); it != byName_.end()) return it->second;
    }
    if (ref.guid) {
      if (const auto it = byGuid_.find(*ref.guid); it != byGuid_.end()) return it->second;
    }
    return std::nullopt;
  }

 private:
  // The views point into the body, which outlives the parse.
  std::unordered_map<std::string_view, Value> byName_;
  std::map<Guid, Value> byGuid_;
};

template <class Lexer>
class SceneParser {
 public:
  explicit SceneParser(Lexer& lexer) : lex_(lexer) {}

  Scene Parse() {
    for (;;) {
      const Token token = lex_.Next();
      switch (token.kind) {
        case TokenKind::End:
          return std::move(scene_);
        case TokenKind::Template:
          SkipTemplate();
          break;
        case TokenKind::Name:
          TopLevelObject(Open(token.text, 1));
          break;
        case TokenKind::CloseBrace:
          lex_.Fail("a '}' closes nothing");
        case TokenKind::OpenBrace:
          lex_.Fail("a '{' outside any object");
        default:
          break;  // stray values or strings between objects
      }
    }
  }

 private:
  void SkipTemplate() {
    const Token name = lex_.Next();
    if (name.kind != TokenKind::Name && name.kind != TokenKind::Value)
      lex_.Fail("a template declaration without a name");
    if (lex_.Next().kind != TokenKind::OpenBrace)
      lex_.Fail("expected '{' after template " + Quoted(name.text));
    lex_.SkipObjectBody(1);
  }

  // Reads what follows an object's type: an optional name, '{' and an optional GUID.
  ObjectHead Open(std::string_view type, int depth) {
    if (depth > kMaxNesting) lex_.Fail("objects nest deeper than the reader allows");
    ObjectHead head{type, {}, std::nullopt, depth};
    Token token = lex_.Next();
    if (token.kind == TokenKind::Name || token.kind == TokenKind::Value ||
        token.kind == TokenKind::Template) {
      head.name = token.text;
      token = lex_.Next();
    }
    if (token.kind != TokenKind::OpenBrace)
      lex_.Fail("expected '{' after " + Printable(type) +
                (head.name.empty() ? "" : " " + Printable(head.name)));
    head.guid = lex_.TryGuid();
    return head;
  }

  Reference ReadReference() {
    Reference ref;
    Token token = lex_.Next();
    if (token.kind == TokenKind::Name || token.kind == TokenKind::Value) {
      ref.name = token.text;
      token = lex_.Next();
    }
    if (token.kind == TokenKind::Guid) {
      ref.guid = token.guid;
      token = lex_.Next();
    }
    if (token.kind != TokenKind::CloseBrace) lex_.Fail("a malformed reference");
    if (ref.name.empty() && !ref.guid) lex_.Fail("a reference that names nothing");
    return ref;
  }

  // Calls onObject(head) for each child object and onReference(ref) for each reference,
  // up to the brace that closes the parent.
  template <class OnObject, class OnReference>
  void Children(const ObjectHead& parent, OnObject&& onObject, OnReference&& onReference) {
    for (;;) {
      const Token token = lex_.Next();
      switch (token.kind) {
        case TokenKind::CloseBrace:
          return;
        case TokenKind::OpenBrace:
          onReference(ReadReference());
          break;
        case TokenKind::Name:
          onObject(Open(token.text, parent.depth + 1));
          break;
        case TokenKind::End:
          lex_.Fail("the file ends inside " + Printable(parent.type));
        case TokenKind::Template:
          lex_.Fail("a template declaration inside " + Printable(parent.type));
        default:
          break;  // values beyond the ones the template declares
      }
    }
  }

  void CheckCount(std::uint32_t count, std::size_t valuesEach, const char* what) {
    if (count > lex_.Remaining() / (Lexer::kMinValueBytes * valuesEach))
      lex_.Fail("the file is too short for the " + std::to_string(count) + " " + what +
                " it declares");
  }

  D3DVECTOR ReadVector() {
    D3DVECTOR v;
    v.x = lex_.ReadFloat();
    v.y = lex_.ReadFloat();
    v.z = lex_.ReadFloat();
    return v;
  }

  void TopLevelObject(const ObjectHead& head) {
    if (TypeIs(head.type, "Mesh")) {
      Place(ParseMesh(head), IdentityMatrix(), true);
    } else if (TypeIs(head.type, "Frame")) {
      ParseFrame(head, IdentityMatrix(), true);
    } else if (TypeIs(head.type, "Material")) {
      ParseMaterial(head);
    } else {
      lex_.SkipObjectBody(head.depth);
    }
  }

  void Place(std::uint32_t mesh, const D3DMATRIX& world, bool identity) {
    scene_.placements.push_back({mesh, world, identity});
  }

  // A frame's transform starts as its parent's; each FrameTransformMatrix multiplies into
  // it (local first, then parent) and moves only the meshes and frames that follow it.
  void ParseFrame(const ObjectHead& frame, D3DMATRIX world, bool identity) {
    Children(
        frame,
        [&](const ObjectHead& head) {
          if (TypeIs(head.type, "FrameTransformMatrix")) {
            D3DMATRIX local;
            for (auto& row : local.m)
              for (float& value : row) value = lex_.ReadFloat();
            lex_.SkipObjectBody(head.depth);
            world = Multiply(local, world);
            identity = false;
          } else if (TypeIs(head.type, "Mesh")) {
            Place(ParseMesh(head), world, identity);
          } else if (TypeIs(head.type, "Frame")) {
            ParseFrame(head, world, identity);
          } else if (TypeIs(head.type, "Material")) {
            ParseMaterial(head);
          } else {
            lex_.SkipObjectBody(head.depth);
          }
        },
        [&](const Reference& ref) {
          // `{ MeshName }` draws that mesh here again; references to anything else (frames,
          // materials) add nothing to the mesh.
          if (const auto mesh = meshes_.Find(ref)) Place(*mesh, world, identity);
        });
  }

  std::uint32_t ParseMesh(const ObjectHead& head) {
    MeshData mesh;
    const std::uint32_t vertexCount = lex_.ReadUint();
    CheckCount(vertexCount, 3, "vertices");
    mesh.positions.resize(vertexCount);
    for (D3DVECTOR& position : mesh.positions) position = ReadVector();

    const std::uint32_t faceCount = lex_.ReadUint();
    CheckCount(faceCount, 1, "faces");
    mesh.faceSizes.resize(faceCount);
    mesh.faceCorners.reserve(
        std::min<std::size_t>(std::size_t{faceCount} * 3, lex_.Remaining() / Lexer::kMinValueBytes));
    for (std::uint32_t face = 0; face < faceCount; ++face) {
      const std::uint32_t corners = lex_.ReadUint();
      CheckCount(corners, 1, "face corners");
      mesh.faceSizes[face] = corners;
      for (std::uint32_t i = 0; i < corners; ++i) {
        const std::uint32_t vertex = lex_.ReadUint();
        if (vertex >= vertexCount)
          lex_.Fail("face " + std::to_string(face) + " uses vertex " + std::to_string(vertex) +
                    ", but the mesh has " + std::to_string(vertexCount));
        mesh.faceCorners.push_back(vertex);
      }
    }

    Children(
        head,
        [&](const ObjectHead& child) {
          if (TypeIs(child.type, "MeshNormals")) {
            ParseNormals(child, mesh);
          } else if (TypeIs(child.type, "MeshTextureCoords")) {
            ParseTextureCoords(child, mesh);
          } else if (TypeIs(child.type, "MeshVertexColors")) {
            ParseVertexColors(child, mesh);
          } else if (TypeIs(child.type, "MeshMaterialList")) {
            ParseMaterialList(child, mesh);
          } else {
            lex_.SkipObjectBody(child.depth);
          }
        },
        [](const Reference&) {});

    const auto index = static_cast<std::uint32_t>(scene_.meshes.size());
    scene_.meshes.push_back(std::move(mesh));
    meshes_.Add(head, index);
    return index;
  }

  // Normals have their own index list per face, corner for corner with the positions.
  void ParseNormals(const ObjectHead& head, MeshData& mesh) {
    const std::uint32_t normalCount = lex_.ReadUint();
    CheckCount(normalCount, 3, "normals");
    mesh.normals.resize(normalCount);
    for (D3DVECTOR& normal : mesh.normals) normal = Normalized(ReadVector());

    const std::uint32_t faceCount = lex_.ReadUint();
    if (faceCount != mesh.faceSizes.size())
      lex_.Fail("MeshNormals lists " + std::to_string(faceCount) + " faces, but the mesh has " +
                std::to_string(mesh.faceSizes.size()));
    mesh.normalCorners.clear();
    mesh.normalCorners.reserve(mesh.faceCorners.size());
    for (std::uint32_t face = 0; face < faceCount; ++face) {
      const std::uint32_t corners = lex_.ReadUint();
      if (corners != mesh.faceSizes[face])
        lex_.Fail("MeshNormals gives face " + std::to_string(face) + " " +
                  std::to_string(corners) + " normals for its " +
                  std::to_string(mesh.faceSizes[face]) + " corners");
      for (std::uint32_t i = 0; i < corners; ++i) {
        const std::uint32_t normal = lex_.ReadUint();
        if (normal >= normalCount)
          lex_.Fail("face " + std::to_string(face) + " uses normal " + std::to_string(normal) +
                    ", but MeshNormals has " + std::to_string(normalCount));
        mesh.normalCorners.push_back(normal);
      }
    }
    mesh.hasNormals = true;
    lex_.SkipObjectBody(head.depth);
  }

  void ParseTextureCoords(const ObjectHead& head, MeshData& mesh) {
    const std::uint32_t count = lex_.ReadUint();
    if (count != mesh.positions.size())
      lex_.Fail("MeshTextureCoords has " + std::to_string(count) + " entries for " +
                std::to_string(mesh.positions.size()) + " vertices");
    mesh.textureCoords.resize(count);
    for (auto& uv : mesh.textureCoords) {
      uv[0] = lex_.ReadFloat();
      uv[1] = lex_.ReadFloat();
    }
    mesh.hasTextureCoords = true;
    lex_.SkipObjectBody(head.depth);
  }

  // Colours are given for listed vertices only; the others are white with alpha 0.
  void ParseVertexColors(const ObjectHead& head, MeshData& mesh) {
    const std::uint32_t count = lex_.ReadUint();
    CheckCount(count, 5, "vertex colours");
    mesh.colors.clear();
    mesh.colors.reserve(count);
    for (std::uint32_t i = 0; i < count; ++i) {
      const std::uint32_t vertex = lex_.ReadUint();
      const float r = lex_.ReadFloat(), g = lex_.ReadFloat(), b = lex_.ReadFloat();
      const float a = lex_.ReadFloat();
      if (vertex >= mesh.positions.size())
        lex_.Fail("MeshVertexColors colours vertex " + std::to_string(vertex) +
                  ", but the mesh has " + std::to_string(mesh.positions.size()));
      mesh.colors.emplace_back(vertex, ToColor(r, g, b, a));
    }
    mesh.hasVertexColors = true;
    lex_.SkipObjectBody(head.depth);
  }

  // One material index per face, then the materials: inline Material objects or
  // references to earlier ones. Indices beyond the face count are ignored.
  void ParseMaterialList(const ObjectHead& head, MeshData& mesh) {
    const std::uint32_t materialCount = lex_.ReadUint();
    const std::uint32_t indexCount = lex_.ReadUint();
    CheckCount(indexCount, 1, "face material indices");
    const std::size_t faceCount = mesh.faceSizes.size();
    mesh.faceMaterials.clear();
    mesh.faceMaterials.reserve(std::min<std::size_t>(indexCount, faceCount));
    for (std::uint32_t i = 0; i < indexCount; ++i) {
      const std::uint32_t material = lex_.ReadUint();
      if (i >= faceCount) continue;
      if (material >= materialCount)
        lex_.Fail("face " + std::to_string(i) + " uses material " + std::to_string(material) +
                  ", but the material list has " + std::to_string(materialCount));
      mesh.faceMaterials.push_back(material);
    }

    mesh.materials.clear();
    Children(
        head,
        [&](const ObjectHead& child) {
          if (TypeIs(child.type, "Material")) {
            mesh.materials.push_back(ParseMaterial(child));
          } else {
            lex_.SkipObjectBody(child.depth);
          }
        },
        [&](const Reference& ref) {
          const auto material = materials_.Find(ref);
          if (!material)
            lex_.Fail("the material reference {" + Printable(ref.name) +
                      "} names no earlier Material");
          mesh.materials.push_back(*material);
        });
    if (mesh.materials.size() != materialCount)
      lex_.Fail("MeshMaterialList declares " + std::to_string(materialCount) +
                " materials but holds " + std::to_string(mesh.materials.size()));
  }

  // Returns the material's index in the scene's table.
  std::uint32_t ParseMaterial(const ObjectHead& head) {
    Material material;
    D3DMATERIAL8& m = material.material;
    m.Diffuse = {lex_.ReadFloat(), lex_.ReadFloat(), lex_.ReadFloat(), lex_.ReadFloat()};
    m.Power = lex_.ReadFloat();
    m.Specular = {lex_.ReadFloat(), lex_.ReadFloat(), lex_.ReadFloat(), 1.0f};
    m.Emissive = {lex_.ReadFloat(), lex_.ReadFloat(), lex_.ReadFloat(), 1.0f};
    m.Ambient = {0.0f, 0.0f, 0.0f, 1.0f};
    Children(
        head,
        [&](const ObjectHead& child) {
          if (TypeIs(child.type, "TextureFilename")) material.textureFileName = lex_.ReadString();
          lex_.SkipObjectBody(child.depth);
        },
        [](const Reference&) {});
    const auto index = static_cast<std::uint32_t>(scene_.materials.size());
    scene_.materials.push_back(std::move(material));
    materials_.Add(head, index);
    return index;
  }

  Lexer& lex_;
  Scene scene_;
  Registry<std::uint32_t> meshes_;     // into scene_.meshes
  Registry<std::uint32_t> materials_;  // into scene_.materials
};

}  // namespace

Scene ParseTextScene(std::span<const char> body) {
  TextLexer lexer(body);
  return SceneParser<TextLexer>(lexer).Parse();
}

Scene ParseBinaryScene(std::span<const char> body, bool doubleFloats) {
  BinaryLexer lexer(body, doubleFloats);
  return SceneParser<BinaryLexer>(lexer).Parse();
}

}  // namespace xfile
