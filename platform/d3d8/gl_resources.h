// The device's objects on GL: a mesh (one vertex and one index buffer, its subsets as
// index ranges) and a texture (RGBA8 with every level of its mip chain).
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "platform/d3d8/gl_objects.h"
#include "platform/d3d8/gl_state_cache.h"
#include "platform/d3dx/image.h"
#include "platform/d3dx/xfile.h"
#include "render/device.h"

namespace d3d8 {

class GlMesh final : public ID3DXMesh {
 public:
  struct Range {
    GLsizei count = 0;
    std::uintptr_t byteOffset = 0;
  };

  // Fails (empty) when an index or a subset points outside the mesh.
  static std::unique_ptr<GlMesh> Create(const xfile::Mesh& mesh, GlStateCache& cache, std::string* error);

  GLuint vertexArray() const { return vertexArray_.get(); }
  bool hasVertexColours() const { return hasVertexColours_; }
  std::size_t subsetCount() const { return subsets_.size(); }
  const Range& subset(std::size_t i) const { return subsets_[i]; }

 private:
  GlVertexArray vertexArray_;
  GlBuffer vertices_, indices_;
  std::vector<Range> subsets_;
  bool hasVertexColours_ = false;
};

class GlTexture2D final : public IDirect3DTexture8 {
 public:
  // levels[0] is the full picture; each later level must halve the one before (rounding
  // down, at least 1), and the chain stops at the first one that does not.
  static std::unique_ptr<GlTexture2D> Create(const std::vector<d3dx::Image>& levels, GlStateCache& cache,
                                             std::string* error);

  GLuint id() const { return texture_.get(); }
  int levelCount() const { return levelCount_; }

 private:
  GlTexture texture_;
  int levelCount_ = 0;
};

}  // namespace d3d8
