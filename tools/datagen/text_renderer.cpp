#include "tools/datagen/text_renderer.h"

#include <fontconfig/fontconfig.h>
#include <ft2build.h>
#include FT_FREETYPE_H

#include <cstdint>
#include <vector>

#include "tools/datagen/dmath.h"

namespace datagen {

struct TextRenderer::Library {
  FT_Library library = nullptr;
  FT_Face face = nullptr;
  ~Library() {
    if (face) FT_Done_Face(face);
    if (library) FT_Done_FreeType(library);
  }
};

namespace {

std::string FindFontFile(const char* pattern) {
  FcConfig* config = FcInitLoadConfigAndFonts();
  if (!config) return {};
  std::string file;
  FcPattern* query = FcNameParse(reinterpret_cast<const FcChar8*>(pattern));
  if (query) {
    FcConfigSubstitute(config, query, FcMatchPattern);
    FcDefaultSubstitute(query);
    FcResult result;
    FcPattern* match = FcFontMatch(config, query, &result);
    if (match) {
      FcChar8* path = nullptr;
      FcChar8* family = nullptr;
      // Only accept the family asked for: fontconfig always matches something.
      FcPattern* asked = FcNameParse(reinterpret_cast<const FcChar8*>(pattern));
      FcChar8* askedFamily = nullptr;
      const bool familyOk =
          !asked || FcPatternGetString(asked, FC_FAMILY, 0, &askedFamily) != FcResultMatch ||
          (FcPatternGetString(match, FC_FAMILY, 0, &family) == FcResultMatch &&
           FcStrCmpIgnoreCase(family, askedFamily) == 0) ||
          FcStrCmpIgnoreCase(askedFamily, reinterpret_cast<const FcChar8*>("serif")) == 0;
      if (familyOk && FcPatternGetString(match, FC_FILE, 0, &path) == FcResultMatch)
        file = reinterpret_cast<const char*>(path);
      if (asked) FcPatternDestroy(asked);
      FcPatternDestroy(match);
    }
    FcPatternDestroy(query);
  }
  FcConfigDestroy(config);
  return file;
}

// Decodes one code point; malformed bytes become U+FFFD.
char32_t NextCodePoint(std::string_view text, std::size_t& i) {
  const auto c = static_cast<unsigned char>(text[i++]);
  if (c < 0x80) return c;
  int extra = c >= 0xF0 ? 3 : (c >= 0xE0 ? 2 : (c >= 0xC0 ? 1 : -1));
  if (extra < 0) return 0xFFFD;
  char32_t value = c & (0x3F >> extra);
  for (int k = 0; k < extra; ++k) {
    if (i >= text.size() || (static_cast<unsigned char>(text[i]) & 0xC0) != 0x80) return 0xFFFD;
    value = (value << 6) | (static_cast<unsigned char>(text[i++]) & 0x3F);
  }
  return value;
}

}  // namespace

std::unique_ptr<TextRenderer> TextRenderer::Open(std::initializer_list<const char*> patterns) {
  for (const char* pattern : patterns) {
    const std::string file = FindFontFile(pattern);
    if (file.empty()) continue;
    std::unique_ptr<TextRenderer> renderer(new TextRenderer);
    renderer->library_ = std::make_unique<Library>();
    if (FT_Init_FreeType(&renderer->library_->library) != 0) return nullptr;
    if (FT_New_Face(renderer->library_->library, file.c_str(), 0, &renderer->library_->face) != 0)
      continue;
    renderer->file_ = file;
    return renderer;
  }
  return nullptr;
}

TextRenderer::~TextRenderer() = default;

double TextRenderer::Run(Mask* mask, double x, double baseline, std::string_view utf8,
                         double size, double tracking, double xScale) const {
  FT_Face face = library_->face;
  FT_Set_Char_Size(face, 0, static_cast<FT_F26Dot6>(dm::Floor(size * 64 + 0.5)), 72, 72);
  FT_Matrix matrix{static_cast<FT_Fixed>(dm::Floor(xScale * 65536 + 0.5)), 0, 0, 0x10000};
  double pen = x;
  FT_UInt previous = 0;
  for (std::size_t i = 0; i < utf8.size();) {
    const char32_t code = NextCodePoint(utf8, i);
    const FT_UInt glyph = FT_Get_Char_Index(face, code);
    if (previous && glyph && FT_HAS_KERNING(face)) {
      FT_Vector kern;
      if (FT_Get_Kerning(face, previous, glyph, FT_KERNING_UNFITTED, &kern) == 0)
        pen += kern.x / 64.0 * xScale;
    }
    previous = glyph;
    // The fractional part of the pen goes into the outline, the whole part into the bitmap.
    const double whole = dm::Floor(pen);
    FT_Vector delta{static_cast<FT_Pos>(dm::Floor((pen - whole) * 64 + 0.5)), 0};
    FT_Set_Transform(face, &matrix, &delta);
    if (FT_Load_Glyph(face, glyph, FT_LOAD_NO_HINTING | FT_LOAD_RENDER) != 0) continue;
    const FT_GlyphSlot slot = face->glyph;
    if (mask) {
      const FT_Bitmap& bitmap = slot->bitmap;
      const int left = static_cast<int>(whole) + slot->bitmap_left;
      const int top = static_cast<int>(dm::Floor(baseline + 0.5)) - slot->bitmap_top;
      for (unsigned row = 0; row < bitmap.rows; ++row)
        for (unsigned col = 0; col < bitmap.width; ++col) {
          const int px = left + static_cast<int>(col), py = top + static_cast<int>(row);
          if (px < 0 || py < 0 || px >= mask->width() || py >= mask->height()) continue;
          const float value = bitmap.buffer[row * bitmap.pitch + col] / 255.0f;
          float& target = mask->At(px, py);
          if (value > target) target = value;
        }
    }
    pen += slot->advance.x / 64.0 + tracking;
  }
  FT_Set_Transform(face, nullptr, nullptr);
  return pen - x;
}

double TextRenderer::Measure(std::string_view utf8, double size, double xScale) const {
  return Run(nullptr, 0, 0, utf8, size, 0, xScale);
}
double TextRenderer::Draw(Mask& mask, double x, double baseline, std::string_view utf8,
                          double size, double xScale) const {
  return Run(&mask, x, baseline, utf8, size, 0, xScale);
}
double TextRenderer::DrawTracked(Mask& mask, double x, double baseline, std::string_view utf8,
                                 double size, double tracking, double xScale) const {
  return Run(&mask, x, baseline, utf8, size, tracking, xScale);
}
double TextRenderer::MeasureTracked(std::string_view utf8, double size, double tracking,
                                    double xScale) const {
  return Run(nullptr, 0, 0, utf8, size, tracking, xScale);
}

}  // namespace datagen
