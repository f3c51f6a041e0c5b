// D3DX text on GL: a font is a glyph atlas made once; drawing lays a string out as GDI's
// DrawText does (whole-pixel advances, lines at explicit breaks, DT_CENTER / DT_RIGHT,
// clipped to the rectangle unless DT_NOCLIP) and blends white glyph coverage, modulated by
// the colour, over the back buffer.
#pragma once

#include <string>
#include <vector>

#include "platform/d3d8/d3d8types.h"
#include "platform/d3d8/gl_objects.h"
#include "platform/d3d8/gl_state_cache.h"
#include "platform/d3dx/font_rasterizer.h"
#include "render/device.h"

namespace d3d8 {

class GlFont final : public ID3DXFont {
 public:
  static std::unique_ptr<GlFont> Create(d3dx::GlyphAtlas atlas, GlStateCache& cache);

  const d3dx::GlyphAtlas& atlas() const { return atlas_; }
  GLuint texture() const { return texture_.get(); }

 private:
  d3dx::GlyphAtlas atlas_;
  GlTexture texture_;
};

// Measures and, unless DT_CALCRECT, draws. Returns the height of the text.
class TextRenderer {
 public:
  bool Create(std::string* error);

  // The back buffer must be bound for drawing; the caller re-applies its own state after.
  INT Draw(const GlFont& font, const char* text, INT count, RECT& rect, DWORD format, D3DCOLOR colour,
           int targetWidth, int targetHeight, GlStateCache& cache);

 private:
  static constexpr int kGlyphsPerBatch = 256;
  static constexpr int kFloatsPerGlyph = 6 * 4;  // two triangles of (x, y, u, v)

  void Flush(int glyphs);

  GlProgram program_;
  GLint targetSize_ = -1, atlasSize_ = -1, colour_ = -1, atlasUnit_ = -1;
  GlVertexArray vertexArray_;
  GlBuffer vertexBuffer_;
  std::vector<float> vertices_;  // one batch, sized once
};

}  // namespace d3d8
