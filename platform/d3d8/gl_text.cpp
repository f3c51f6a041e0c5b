#include "platform/d3d8/gl_text.h"

#include <algorithm>
#include <cstring>
#include <string_view>

namespace d3d8 {

namespace {

constexpr DWORD kFormatVerticalCentre = 0x0004;  // DT_VCENTER, single lines only
constexpr DWORD kFormatBottom = 0x0008;          // DT_BOTTOM, single lines only
constexpr DWORD kFormatSingleLine = 0x0020;
constexpr DWORD kFormatCalcRect = 0x0400;

constexpr const char* kVertexShader = R"(#version 330 core
layout(location = 0) in vec4 aVertex;  // pixel x, y (downwards), atlas texel u, v
uniform vec2 uTargetSize;
uniform vec2 uAtlasSize;
out vec2 vTexCoord;
void main() {
  vTexCoord = aVertex.zw / uAtlasSize;
  gl_Position = vec4(aVertex.x * 2.0 / uTargetSize.x - 1.0, 1.0 - aVertex.y * 2.0 / uTargetSize.y, 0.0, 1.0);
}
)";

constexpr const char* kFragmentShader = R"(#version 330 core
in vec2 vTexCoord;
uniform sampler2D uAtlas;
uniform vec4 uColour;
out vec4 fragColour;
void main() {
  fragColour = vec4(uColour.rgb, uColour.a * texture(uAtlas, vTexCoord).r);
}
)";

constexpr GLuint kAtlasUnit = 1;  // unit 0 belongs to the scene's texture stage

// The next line of the text and what follows it; a line ends at "\n", "\r\n" or "\r".
std::string_view NextLine(std::string_view& rest, bool singleLine) {
  if (singleLine) return std::exchange(rest, std::string_view());
  const auto end = rest.find_first_of("\r\n");
  std::string_view line = rest.substr(0, end);
  if (end == std::string_view::npos) {
    rest = {};
  } else {
    const bool crlf = rest[end] == '\r' && end + 1 < rest.size() && rest[end + 1] == '\n';
    rest.remove_prefix(end + (crlf ? 2 : 1));
  }
  return line;
}

}  // namespace

std::unique_ptr<GlFont> GlFont::Create(d3dx::GlyphAtlas atlas, GlStateCache& cache) {
  auto font = std::make_unique<GlFont>();
  font->texture_ = MakeGlTexture();
  cache.BindTexture(kAtlasUnit, font->texture_.get());
  glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
  glTexImage2D(GL_TEXTURE_2D, 0, GL_R8, atlas.width, atlas.height, 0, GL_RED, GL_UNSIGNED_BYTE,
               atlas.coverage.data());
  // Glyphs are drawn at whole pixels, one texel per pixel.
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_NEAREST);
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_NEAREST);
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, GL_CLAMP_TO_EDGE);
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, GL_CLAMP_TO_EDGE);
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAX_LEVEL, 0);
  font->atlas_ = std::move(atlas);
  return font;
}

bool TextRenderer::Create(std::string* error) {
  program_ = LinkGlProgram(kVertexShader, kFragmentShader, error);
  if (!program_) return false;
  targetSize_ = glGetUniformLocation(program_.get(), "uTargetSize");
  atlasSize_ = glGetUniformLocation(program_.get(), "uAtlasSize");
  colour_ = glGetUniformLocation(program_.get(), "uColour");
  atlasUnit_ = glGetUniformLocation(program_.get(), "uAtlas");

  vertices_.assign(static_cast<std::size_t>(kGlyphsPerBatch) * kFloatsPerGlyph, 0.0f);
  vertexArray_ = MakeGlVertexArray();
  vertexBuffer_ = MakeGlBuffer();
  glBindVertexArray(vertexArray_.get());
  glBindBuffer(GL_ARRAY_BUFFER, vertexBuffer_.get());
  glBufferData(GL_ARRAY_BUFFER, static_cast<GLsizeiptr>(vertices_.size() * sizeof(float)), nullptr,
               GL_DYNAMIC_DRAW);
  glEnableVertexAttribArray(0);
  glVertexAttribPointer(0, 4, GL_FLOAT, GL_FALSE, 4 * sizeof(float), nullptr);
  glBindVertexArray(0);
  glBindBuffer(GL_ARRAY_BUFFER, 0);
  return true;
}

void TextRenderer::Flush(int glyphs) {
  if (glyphs == 0) return;
  glBindBuffer(GL_ARRAY_BUFFER, vertexBuffer_.get());
  glBufferSubData(GL_ARRAY_BUFFER, 0, static_cast<GLsizeiptr>(glyphs) * kFloatsPerGlyph * sizeof(float),
                  vertices_.data());
  glDrawArrays(GL_TRIANGLES, 0, glyphs * 6);
}

INT TextRenderer::Draw(const GlFont& font, const char* text, INT count, RECT& rect, DWORD format,
                       D3DCOLOR colour, int targetWidth, int targetHeight, GlStateCache& cache) {
  const d3dx::GlyphAtlas& atlas = font.atlas();
  const std::size_t length = count < 0 ? std::strlen(text) : static_cast<std::size_t>(count);
  const bool singleLine = (format & kFormatSingleLine) != 0;
  const int lineHeight = atlas.LineHeight();

  // Measure first: the number of lines places single lines vertically, and DT_CALCRECT
  // only measures.
  int lines = 0, widest = 0;
  for (std::string_view rest(text, length); !rest.empty() || lines == 0;) {
    widest = std::max(widest, atlas.TextWidth(NextLine(rest, singleLine)));
    ++lines;
  }
  const int height = lines * lineHeight;
  if ((format & kFormatCalcRect) != 0) {
    if ((format & DT_CENTER) != 0) {
      const LONG centre = (rect.left + rect.right) / 2;
      rect.left = centre - widest / 2;
      rect.right = rect.left + widest;
    } else if ((format & DT_RIGHT) != 0) {
      rect.left = rect.right - widest;
    } else {
      rect.right = rect.left + widest;
    }
    rect.bottom = rect.top + height;
    return height;
  }

  cache.UseProgram(program_.get());
  cache.BindVertexArray(vertexArray_.get());
  cache.BindTexture(kAtlasUnit, font.texture());
  cache.BindSampler(kAtlasUnit, 0);
  cache.Enable(GL_DEPTH_TEST, false);
  cache.Enable(GL_CULL_FACE, false);
  cache.Enable(GL_BLEND, true);
  cache.BlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
  cache.PolygonMode(GL_FILL);
  cache.ColorMask(true, true, true, false);  // the back buffer has no alpha to keep
  cache.Viewport(0, 0, targetWidth, targetHeight);
  const bool clip = (format & DT_NOCLIP) == 0;
  cache.Enable(GL_SCISSOR_TEST, clip);
  if (clip) {
    const LONG width = std::max<LONG>(0, rect.right - rect.left);
    const LONG clipHeight = std::max<LONG>(0, rect.bottom - rect.top);
    cache.Scissor(rect.left, targetHeight - rect.bottom, width, clipHeight);
  }
  glUniform1i(atlasUnit_, static_cast<GLint>(kAtlasUnit));
  glUniform2f(targetSize_, static_cast<float>(targetWidth), static_cast<float>(targetHeight));
  glUniform2f(atlasSize_, static_cast<float>(atlas.width), static_cast<float>(atlas.height));
  glUniform4f(colour_, static_cast<float>((colour >> 16) & 0xFF) / 255.0f,
              static_cast<float>((colour >> 8) & 0xFF) / 255.0f, static_cast<float>(colour & 0xFF) / 255.0f,
              static_cast<float>((colour >> 24) & 0xFF) / 255.0f);

  int top = rect.top;
  if (singleLine && (format & kFormatVerticalCentre) != 0) top = (rect.top + rect.bottom - lineHeight) / 2;
  if (singleLine && (format & kFormatBottom) != 0) top = rect.bottom - lineHeight;

  int glyphs = 0;
  std::string_view rest(text, length);
  for (int line = 0; line < lines; ++line) {
    const std::string_view run = NextLine(rest, singleLine);
    const int width = atlas.TextWidth(run);
    int pen = rect.left;
    if ((format & DT_CENTER) != 0)
      pen = (rect.left + rect.right - width) / 2;
    else if ((format & DT_RIGHT) != 0)
      pen = rect.right - width;
    const int baseline = top + line * lineHeight + atlas.ascent;
    for (char c : run) {
      const d3dx::Glyph& glyph = atlas.glyphs[static_cast<unsigned char>(c)];
      if (glyph.width > 0 && glyph.height > 0) {
        const float x0 = static_cast<float>(pen + glyph.left);
        const float y0 = static_cast<float>(baseline - glyph.top);
        const float x1 = x0 + static_cast<float>(glyph.width);
        const float y1 = y0 + static_cast<float>(glyph.height);
        const float u0 = static_cast<float>(glyph.atlasX), v0 = static_cast<float>(glyph.atlasY);
        const float u1 = u0 + static_cast<float>(glyph.width), v1 = v0 + static_cast<float>(glyph.height);
        const float quad[kFloatsPerGlyph] = {x0, y0, u0, v0, x1, y0, u1, v0, x1, y1, u1, v1,
                                             x0, y0, u0, v0, x1, y1, u1, v1, x0, y1, u0, v1};
        std::copy(std::begin(quad), std::end(quad),
                  vertices_.begin() + static_cast<std::ptrdiff_t>(glyphs) * kFloatsPerGlyph);
        if (++glyphs == kGlyphsPerBatch) {
          Flush(glyphs);
          glyphs = 0;
        }
      }
      pen += glyph.advance;
    }
  }
  Flush(glyphs);
  return height;
}

}  // namespace d3d8
