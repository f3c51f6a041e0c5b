#include "platform/win32/dialog_font.h"

#include <fontconfig/fontconfig.h>
#include <ft2build.h>
#include FT_FREETYPE_H

namespace win32 {

struct DialogFont::Library {
  FT_Library library = nullptr;
  FT_Face face = nullptr;
  ~Library() {
    if (face != nullptr) FT_Done_Face(face);
    if (library != nullptr) FT_Done_FreeType(library);
  }
};

namespace {

// The file fontconfig picks for `face`. The old bitmap faces of dialogs are not on this
// system; after them come their metric-compatible TrueType successors, so dialog units
// come out near the sizes the templates were laid out with.
std::string FindFontFile(const std::string& face) {
  if (FcInit() == FcFalse) return {};
  FcPattern* pattern = FcPatternCreate();
  for (const char* family : {face.c_str(), "Microsoft Sans Serif", "Arial", "sans-serif"})
    FcPatternAddString(pattern, FC_FAMILY, reinterpret_cast<const FcChar8*>(family));
  FcPatternAddInteger(pattern, FC_WEIGHT, FC_WEIGHT_REGULAR);
  FcPatternAddInteger(pattern, FC_SLANT, FC_SLANT_ROMAN);
  FcPatternAddBool(pattern, FC_SCALABLE, FcTrue);
  FcConfigSubstitute(nullptr, pattern, FcMatchPattern);
  FcDefaultSubstitute(pattern);
  FcResult result = FcResultNoMatch;
  FcPattern* match = FcFontMatch(nullptr, pattern, &result);
  std::string file;
  FcChar8* path = nullptr;
  if (match != nullptr && FcPatternGetString(match, FC_FILE, 0, &path) == FcResultMatch)
    file = reinterpret_cast<const char*>(path);
  if (match != nullptr) FcPatternDestroy(match);
  FcPatternDestroy(pattern);
  return file;
}

}  // namespace

DialogFont::~DialogFont() = default;

std::unique_ptr<DialogFont> DialogFont::Open(const std::string& face, int emPixels) {
  const std::string file = FindFontFile(face);
  if (file.empty()) return nullptr;
  std::unique_ptr<DialogFont> font(new DialogFont);
  font->library_ = std::make_unique<Library>();
  Library& lib = *font->library_;
  if (FT_Init_FreeType(&lib.library) != 0 ||
      FT_New_Face(lib.library, file.c_str(), 0, &lib.face) != 0 ||
      FT_Set_Pixel_Sizes(lib.face, 0, static_cast<FT_UInt>(emPixels)) != 0)
    return nullptr;
  font->file_ = file;
  // FreeType rounds the scaled ascender up and the descender down to whole pixels, as
  // GDI's text metrics do.
  font->ascent_ = static_cast<int>(lib.face->size->metrics.ascender >> 6);
  font->descent_ = static_cast<int>(-(lib.face->size->metrics.descender >> 6));

  // Dialog text is ASCII; every printable glyph is rendered once. Monochrome rendering of
  // the hinted outlines gives the crisp look of the classic bitmap faces.
  for (int code = 32; code < 127; ++code) {
    if (FT_Load_Char(lib.face, static_cast<FT_ULong>(code), FT_LOAD_RENDER | FT_LOAD_TARGET_MONO) !=
        0)
      continue;
    const FT_GlyphSlot slot = lib.face->glyph;
    Glyph& glyph = font->glyphs_[static_cast<std::size_t>(code)];
    glyph.left = slot->bitmap_left;
    glyph.top = slot->bitmap_top;
    glyph.width = static_cast<int>(slot->bitmap.width);
    glyph.rows = static_cast<int>(slot->bitmap.rows);
    glyph.advance = static_cast<int>((slot->advance.x + 32) >> 6);
    glyph.coverage.resize(static_cast<std::size_t>(glyph.width) * glyph.rows);
    for (int y = 0; y < glyph.rows; ++y) {
      const unsigned char* row =
          slot->bitmap.buffer + static_cast<std::ptrdiff_t>(y) * slot->bitmap.pitch;
      for (int x = 0; x < glyph.width; ++x) {
        const bool on = slot->bitmap.pixel_mode == FT_PIXEL_MODE_MONO
                            ? ((row[x >> 3] >> (7 - (x & 7))) & 1) != 0
                            : row[x] >= 128;
        glyph.coverage[static_cast<std::size_t>(y) * glyph.width + x] = on ? 255 : 0;
      }
    }
  }
  return font;
}

int DialogFont::WidthOf52Letters() const {
  int width = 0;
  for (char c = 'A'; c <= 'Z'; ++c) width += glyphs_[static_cast<std::size_t>(c)].advance;
  for (char c = 'a'; c <= 'z'; ++c) width += glyphs_[static_cast<std::size_t>(c)].advance;
  return width;
}

int DialogFont::Measure(std::string_view text) const {
  int width = 0;
  for (char c : text) {
    const auto code = static_cast<unsigned char>(c);
    if (code < glyphs_.size()) width += glyphs_[code].advance;
  }
  return width;
}

void DialogFont::Draw(Canvas& canvas, int x, int top, std::string_view text,
                      std::uint32_t colour) const {
  const int baseline = top + ascent_;
  for (char c : text) {
    const auto code = static_cast<unsigned char>(c);
    if (code >= glyphs_.size()) continue;
    const Glyph& glyph = glyphs_[code];
    for (int row = 0; row < glyph.rows; ++row)
      for (int column = 0; column < glyph.width; ++column)
        canvas.Blend(x + glyph.left + column, baseline - glyph.top + row, colour,
                     glyph.coverage[static_cast<std::size_t>(row) * glyph.width + column]);
    x += glyph.advance;
  }
}

}  // namespace win32
