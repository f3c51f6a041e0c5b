#include "platform/d3d8/gl_resources.h"

#include <algorithm>
#include <cstddef>

namespace d3d8 {

namespace {

// The reader's vertex is uploaded as it is: position, normal, texture coordinates and the
// diffuse colour, 36 bytes.
static_assert(std::is_standard_layout_v<xfile::Vertex>);

void Attribute(GLuint location, GLint size, GLenum type, GLboolean normalized, std::size_t offset) {
  glEnableVertexAttribArray(location);
  glVertexAttribPointer(location, size, type, normalized, sizeof(xfile::Vertex),
                        reinterpret_cast<const void*>(offset));
}

}  // namespace

std::unique_ptr<GlMesh> GlMesh::Create(const xfile::Mesh& mesh, GlStateCache& cache, std::string* error) {
  const std::size_t vertexCount = mesh.vertices.size();
  if (std::any_of(mesh.indices.begin(), mesh.indices.end(),
                  [&](std::uint32_t index) { return index >= vertexCount; })) {
    *error = "an index points past the vertices";
    return nullptr;
  }
  auto result = std::make_unique<GlMesh>();
  for (const xfile::Subset& subset : mesh.subsets) {
    if (subset.firstIndex > mesh.indices.size() ||
        subset.indexCount > mesh.indices.size() - subset.firstIndex) {
      *error = "a subset points past the indices";
      return nullptr;
    }
    result->subsets_.push_back(
        {static_cast<GLsizei>(subset.indexCount), subset.firstIndex * sizeof(std::uint32_t)});
  }
  result->hasVertexColours_ = mesh.hasVertexColors;

  result->vertexArray_ = MakeGlVertexArray();
  result->vertices_ = MakeGlBuffer();
  result->indices_ = MakeGlBuffer();
  cache.BindVertexArray(result->vertexArray_.get());
  glBindBuffer(GL_ARRAY_BUFFER, result->vertices_.get());
  glBufferData(GL_ARRAY_BUFFER, static_cast<GLsizeiptr>(vertexCount * sizeof(xfile::Vertex)),
               mesh.vertices.data(), GL_STATIC_DRAW);
  glBindBuffer(GL_ELEMENT_ARRAY_BUFFER, result->indices_.get());
  glBufferData(GL_ELEMENT_ARRAY_BUFFER, static_cast<GLsizeiptr>(mesh.indices.size() * sizeof(std::uint32_t)),
               mesh.indices.data(), GL_STATIC_DRAW);
  Attribute(0, 3, GL_FLOAT, GL_FALSE, offsetof(xfile::Vertex, position));
  Attribute(1, 3, GL_FLOAT, GL_FALSE, offsetof(xfile::Vertex, normal));
  Attribute(2, 2, GL_FLOAT, GL_FALSE, offsetof(xfile::Vertex, u));
  // A D3DCOLOR lies in memory as B, G, R, A bytes.
  Attribute(3, GL_BGRA, GL_UNSIGNED_BYTE, GL_TRUE, offsetof(xfile::Vertex, diffuse));
  cache.BindVertexArray(0);
  glBindBuffer(GL_ARRAY_BUFFER, 0);
  return result;
}

std::unique_ptr<GlTexture2D> GlTexture2D::Create(const std::vector<d3dx::Image>& levels, GlStateCache& cache,
                                                 std::string* error) {
  if (levels.empty() || levels[0].width < 1 || levels[0].height < 1) {
    *error = "the picture is empty";
    return nullptr;
  }
  GLint maxSize = 0;
  glGetIntegerv(GL_MAX_TEXTURE_SIZE, &maxSize);
  if (levels[0].width > maxSize || levels[0].height > maxSize) {
    *error = "the picture is larger than the driver's textures";
    return nullptr;
  }
  auto result = std::make_unique<GlTexture2D>();
  result->texture_ = MakeGlTexture();
  cache.BindTexture(0, result->texture_.get());
  glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
  int width = levels[0].width, height = levels[0].height;
  for (const d3dx::Image& level : levels) {
    if (level.width != width || level.height != height ||
        level.rgba.size() != static_cast<std::size_t>(width) * static_cast<std::size_t>(height) * 4)
      break;
    // Rows go up top first: texture coordinate v = 0 is the top of the picture, as in
    // Direct3D.
    glTexImage2D(GL_TEXTURE_2D, result->levelCount_, GL_RGBA8, width, height, 0, GL_RGBA,
                 GL_UNSIGNED_BYTE, level.rgba.data());
    ++result->levelCount_;
    if (width == 1 && height == 1) break;
    width = std::max(1, width / 2);
    height = std::max(1, height / 2);
  }
  if (result->levelCount_ == 0) {
    *error = "the picture's pixels do not match its size";
    return nullptr;
  }
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_BASE_LEVEL, 0);
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAX_LEVEL, result->levelCount_ - 1);
  return result;
}

}  // namespace d3d8
