// The glyphs of a GDI font description, rasterised once into one coverage atlas: what
// D3DXCreateFont needs to draw text. The face is found by fontconfig (a Windows face name
// such as "Arial" resolves to a metric-compatible face) and rasterised by FreeType with
// hinting, antialiased unless the description asks for non-antialiased output.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace d3dx {

// The parts of a LOGFONT that shape the glyphs.
struct FontDescription {
  std::string face;        // e.g. "Arial"; empty: the default sans-serif face
  int height = 0;          // GDI meaning: < 0 character (em) height, > 0 cell height, 0 default
  int weight = 400;        // 100 (thin) … 900 (black); 0 means normal
  bool italic = false;
  bool antialiased = true;
};

// One character of the atlas. Positions are in pixels, y downwards.
struct Glyph {
  int atlasX = 0, atlasY = 0;  // top-left of its bitmap in the atlas
  int width = 0, height = 0;   // bitmap size (0 for blanks)
  int left = 0;                // pen position to the bitmap's left edge
  int top = 0;                 // baseline to the bitmap's top edge (positive: above)
  int advance = 0;             // pen movement, whole pixels as GDI lays text out
};

struct GlyphAtlas {
  int width = 0, height = 0;
  std::vector<std::uint8_t> coverage;  // one byte per texel, rows from the top
  int ascent = 0;                      // top of the cell to the baseline
  int descent = 0;                     // baseline to the bottom of the cell
  std::array<Glyph, 256> glyphs;       // by ANSI (Windows-1252) character code
  std::string fontFile;                // the file fontconfig chose

  int LineHeight() const { return ascent + descent; }
  // The width of a run of characters (no line breaks) as GDI measures it: the sum of the
  // advances.
  int TextWidth(std::string_view text) const;
};

struct GlyphAtlasResult {
  std::optional<GlyphAtlas> atlas;  // empty on failure
  std::string error;
};

// Finds the face and rasterises the printable ANSI characters. Never throws.
GlyphAtlasResult RasterizeFont(const FontDescription& description);

}  // namespace d3dx
