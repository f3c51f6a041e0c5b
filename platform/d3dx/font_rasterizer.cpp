#include "platform/d3dx/font_rasterizer.h"

#include <fontconfig/fontconfig.h>
#include <ft2build.h>
#include FT_FREETYPE_H
#include FT_SYNTHESIS_H
#include FT_TRUETYPE_TABLES_H

#include <algorithm>
#include <memory>

namespace d3dx {

namespace {

// Windows-1252 codes 0x80-0x9F as Unicode; 0 where the code page leaves the code unused.
constexpr char32_t kWindows1252High[32] = {
    0x20AC, 0,      0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
    0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0,      0x017D, 0,
    0,      0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
    0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0,      0x017E, 0x0178};

char32_t UnicodeOfAnsi(int code) {
  if (code >= 0x80 && code < 0xA0) return kWindows1252High[code - 0x80];
  return static_cast<char32_t>(code);  // ASCII and Latin-1 agree with the code page
}

struct LibraryDeleter {
  void operator()(FT_Library library) const { FT_Done_FreeType(library); }
};
struct FaceDeleter {
  void operator()(FT_Face face) const { FT_Done_Face(face); }
};
struct PatternDeleter {
  void operator()(FcPattern* pattern) const { FcPatternDestroy(pattern); }
};
using Library = std::unique_ptr<std::remove_pointer_t<FT_Library>, LibraryDeleter>;
using Face = std::unique_ptr<std::remove_pointer_t<FT_Face>, FaceDeleter>;
using Pattern = std::unique_ptr<FcPattern, PatternDeleter>;

struct FontFile {
  std::string path;
  int index = 0;
};

// fontconfig's best match for the description; its alias rules map the Windows faces to
// metric-compatible ones.
std::optional<FontFile> FindFontFile(const FontDescription& description) {
  if (FcInit() == FcFalse) return std::nullopt;
  Pattern pattern(FcPatternCreate());
  if (!pattern) return std::nullopt;
  const char* family = description.face.empty() ? "sans-serif" : description.face.c_str();
  FcPatternAddString(pattern.get(), FC_FAMILY, reinterpret_cast<const FcChar8*>(family));
  const int weight = description.weight > 0 ? std::clamp(description.weight, 1, 1000) : 400;
  FcPatternAddInteger(pattern.get(), FC_WEIGHT, FcWeightFromOpenType(weight));
  FcPatternAddInteger(pattern.get(), FC_SLANT, description.italic ? FC_SLANT_ITALIC : FC_SLANT_ROMAN);
  FcPatternAddBool(pattern.get(), FC_SCALABLE, FcTrue);
  FcConfigSubstitute(nullptr, pattern.get(), FcMatchPattern);
  FcDefaultSubstitute(pattern.get());
  FcResult result = FcResultNoMatch;
  Pattern match(FcFontMatch(nullptr, pattern.get(), &result));
  if (!match) return std::nullopt;
  FcChar8* file = nullptr;
  if (FcPatternGetString(match.get(), FC_FILE, 0, &file) != FcResultMatch || file == nullptr)
    return std::nullopt;
  FontFile found;
  found.path = reinterpret_cast<const char*>(file);
  FcPatternGetInteger(match.get(), FC_INDEX, 0, &found.index);
  return found;
}

int RoundFixed(FT_Pos value) { return static_cast<int>((value + 32) >> 6); }

// GDI's character height is the em size; its cell height is the Windows ascent plus
// descent of the face. Both are honoured; 0 asks for the usual 16-pixel cell.
bool SetHeight(FT_Face face, int height) {
  if (height < 0) return FT_Set_Pixel_Sizes(face, 0, static_cast<FT_UInt>(-height)) == 0;
  FT_Size_RequestRec request{};
  request.type = FT_SIZE_REQUEST_TYPE_CELL;
  request.height = static_cast<FT_Long>(height > 0 ? height : 16) * 64;
  return FT_Request_Size(face, &request) == 0;
}

// The cell of GDI: the Windows ascent and descent of the OS/2 table where the face has one.
void CellMetrics(FT_Face face, int& ascent, int& descent) {
  const auto* os2 = static_cast<const TT_OS2*>(FT_Get_Sfnt_Table(face, FT_SFNT_OS2));
  const FT_Fixed scale = face->size->metrics.y_scale;
  if (os2 != nullptr && os2->usWinAscent + os2->usWinDescent > 0) {
    ascent = RoundFixed(FT_MulFix(os2->usWinAscent, scale));
    descent = RoundFixed(FT_MulFix(os2->usWinDescent, scale));
  } else {
    ascent = RoundFixed(face->size->metrics.ascender);
    descent = RoundFixed(-face->size->metrics.descender);
  }
}

struct RenderedGlyph {
  Glyph glyph;
  std::vector<std::uint8_t> coverage;  // width * height
};

// One character: hinted outline, synthetic bold or slant where the face lacks them, and
// 8-bit coverage (monochrome output expanded to 0 or 255).
RenderedGlyph RenderGlyph(FT_Face face, char32_t codepoint, const FontDescription& description) {
  RenderedGlyph rendered;
  const FT_UInt index = FT_Get_Char_Index(face, codepoint);
  const FT_Int32 target = description.antialiased ? FT_LOAD_TARGET_NORMAL : FT_LOAD_TARGET_MONO;
  if (FT_Load_Glyph(face, index, FT_LOAD_DEFAULT | target) != 0) return rendered;
  FT_GlyphSlot slot = face->glyph;
  const bool faceIsBold = (face->style_flags & FT_STYLE_FLAG_BOLD) != 0;
  const bool faceIsItalic = (face->style_flags & FT_STYLE_FLAG_ITALIC) != 0;
  if (description.italic && !faceIsItalic) FT_GlyphSlot_Oblique(slot);
  if (description.weight >= 600 && !faceIsBold) FT_GlyphSlot_Embolden(slot);
  const FT_Render_Mode mode = description.antialiased ? FT_RENDER_MODE_NORMAL : FT_RENDER_MODE_MONO;
  if (FT_Render_Glyph(slot, mode) != 0) return rendered;

  const FT_Bitmap& bitmap = slot->bitmap;
  rendered.glyph.width = static_cast<int>(bitmap.width);
  rendered.glyph.height = static_cast<int>(bitmap.rows);
  rendered.glyph.left = slot->bitmap_left;
  rendered.glyph.top = slot->bitmap_top;
  rendered.glyph.advance = RoundFixed(slot->advance.x);
  rendered.coverage.resize(static_cast<std::size_t>(bitmap.width) * bitmap.rows);
  for (unsigned row = 0; row < bitmap.rows; ++row) {
    const unsigned char* source = bitmap.buffer + static_cast<std::ptrdiff_t>(row) * bitmap.pitch;
    std::uint8_t* target = rendered.coverage.data() + static_cast<std::size_t>(row) * bitmap.width;
    for (unsigned column = 0; column < bitmap.width; ++column) {
      if (bitmap.pixel_mode == FT_PIXEL_MODE_MONO)
        target[column] = (source[column / 8] & (0x80 >> (column % 8))) != 0 ? 255 : 0;
      else
        target[column] = source[column];
    }
  }
  return rendered;
}

// Shelf packing, one pixel of space around each bitmap so that no neighbour bleeds in.
void PackAtlas(std::array<RenderedGlyph, 256>& rendered, GlyphAtlas& atlas) {
  constexpr int kAtlasWidth = 256;
  int x = 1, y = 1, shelfHeight = 0;
  for (auto& entry : rendered) {
    Glyph& glyph = entry.glyph;
    if (glyph.width == 0 || glyph.height == 0) continue;
    if (x + glyph.width + 1 > kAtlasWidth) {
      x = 1;
      y += shelfHeight + 1;
      shelfHeight = 0;
    }
    glyph.atlasX = x;
    glyph.atlasY = y;
    x += glyph.width + 1;
    shelfHeight = std::max(shelfHeight, glyph.height);
  }
  atlas.width = kAtlasWidth;
  atlas.height = y + shelfHeight + 1;
  atlas.coverage.assign(static_cast<std::size_t>(atlas.width) * atlas.height, 0);
  for (std::size_t code = 0; code < rendered.size(); ++code) {
    const RenderedGlyph& entry = rendered[code];
    const Glyph& glyph = entry.glyph;
    for (int row = 0; row < glyph.height; ++row)
      std::copy_n(entry.coverage.data() + static_cast<std::size_t>(row) * glyph.width, glyph.width,
                  atlas.coverage.data() + static_cast<std::size_t>(glyph.atlasY + row) * atlas.width + glyph.atlasX);
    atlas.glyphs[code] = glyph;
  }
}

}  // namespace

int GlyphAtlas::TextWidth(std::string_view text) const {
  int width = 0;
  for (char c : text) width += glyphs[static_cast<unsigned char>(c)].advance;
  return width;
}

GlyphAtlasResult RasterizeFont(const FontDescription& description) {
  const std::optional<FontFile> file = FindFontFile(description);
  if (!file) return {std::nullopt, "no font matches \"" + description.face + "\""};

  FT_Library rawLibrary = nullptr;
  if (FT_Init_FreeType(&rawLibrary) != 0) return {std::nullopt, "FreeType did not start"};
  Library library(rawLibrary);
  FT_Face rawFace = nullptr;
  if (FT_New_Face(library.get(), file->path.c_str(), file->index, &rawFace) != 0)
    return {std::nullopt, "cannot open the font file " + file->path};
  Face face(rawFace);
  if (!SetHeight(face.get(), description.height))
    return {std::nullopt, "the font cannot be set to the height asked for"};

  GlyphAtlas atlas;
  atlas.fontFile = file->path;
  CellMetrics(face.get(), atlas.ascent, atlas.descent);

  // Control codes and the unused codes of the page draw the face's missing-glyph box, as
  // GDI does; line breaks are the layout's business.
  std::array<RenderedGlyph, 256> rendered;
  for (int code = 0; code < 256; ++code) {
    const char32_t codepoint = code < 0x20 || code == 0x7F ? 0 : UnicodeOfAnsi(code);
    rendered[static_cast<std::size_t>(code)] = RenderGlyph(face.get(), codepoint, description);
  }
  PackAtlas(rendered, atlas);
  return {std::move(atlas), {}};
}

}  // namespace d3dx
