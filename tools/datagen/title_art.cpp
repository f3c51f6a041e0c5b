// The title picture of the settings dialog and the program icon, painted procedurally: an
// evening sky from crimson to gold with a low sun and thin lit clouds, a dark hill line with
// the chapel and round orchard trees, the hooded monk in the lower right with the sun on
// his edge, and for the title the name in blue italic letters with a pale outline. The
// picture is painted in full colour and then reduced to a palette by median cut.
#include "tools/datagen/title_art.h"

#include <fontconfig/fontconfig.h>
#include <ft2build.h>
#include FT_FREETYPE_H

#include <algorithm>
#include <array>
#include <cmath>
#include <cstring>
#include <string>

namespace datagen {

namespace {

constexpr int kTitleSize = 200;
constexpr int kIconSize = 32;
constexpr std::uint32_t kPixelsPerMetre = 3780;  // 96 DPI
constexpr const char* kTitle = "Quiet Orchard";

struct Colour {
  float r = 0, g = 0, b = 0;
};

Colour Mix(Colour a, Colour b, float t) {
  t = std::clamp(t, 0.0f, 1.0f);
  return {a.r + (b.r - a.r) * t, a.g + (b.g - a.g) * t, a.b + (b.b - a.b) * t};
}

float SmoothStep(float edge0, float edge1, float x) {
  const float t = std::clamp((x - edge0) / (edge1 - edge0), 0.0f, 1.0f);
  return t * t * (3 - 2 * t);
}

// Inside an axis-aligned ellipse: < 1 inside.
float Ellipse(float x, float y, float cx, float cy, float rx, float ry) {
  const float dx = (x - cx) / rx, dy = (y - cy) / ry;
  return dx * dx + dy * dy;
}

// ---- the scene, in the coordinates of the 200 x 200 picture --------------------------------

constexpr Colour kSunColour{255, 238, 178};
constexpr float kSunX = 62, kSunY = 136, kSunRadius = 15;

Colour Sky(float x, float y) {
  static constexpr std::array<std::pair<float, Colour>, 5> kStops{{{0, {140, 36, 72}},
                                                                   {45, {198, 58, 52}},
                                                                   {95, {232, 92, 40}},
                                                                   {130, {246, 138, 48}},
                                                                   {155, {255, 188, 96}}}};
  Colour sky = kStops.back().second;
  for (std::size_t i = 1; i < kStops.size(); ++i) {
    if (y < kStops[i].first) {
      sky = Mix(kStops[i - 1].second, kStops[i].second,
                (y - kStops[i - 1].first) / (kStops[i].first - kStops[i - 1].first));
      break;
    }
  }
  // The glow around the sun.
  const float distance = std::hypot(x - kSunX, y - kSunY);
  sky = Mix(sky, Colour{255, 214, 130}, 0.55f * std::exp(-distance / 34.0f));
  // Thin clouds lit from below: soft horizontal streaks, pink-gold.
  struct Streak {
    float cx, cy, rx, ry;
  };
  static constexpr Streak kStreaks[] = {{128, 64, 48, 2.6f},
                                        {150, 70, 30, 1.8f},
                                        {36, 92, 34, 2.2f},
                                        {150, 108, 44, 2.8f},
                                        {90, 118, 26, 1.6f}};
  for (const Streak& s : kStreaks) {
    const float e = Ellipse(x, y, s.cx, s.cy, s.rx, s.ry);
    sky = Mix(sky, Colour{255, 176, 150}, 0.55f * (1.0f - SmoothStep(0.3f, 1.0f, e)));
  }
  if (distance < kSunRadius + 0.5f)
    sky = Mix(sky, kSunColour, SmoothStep(kSunRadius + 0.5f, kSunRadius - 0.5f, distance));
  return sky;
}

float HorizonAt(float x) {
  return 151 + 5 * std::sin(x * 0.031f) + 3 * std::sin(x * 0.077f + 1.3f);
}

// The chapel on the left of the hill line, and round trees: one silhouette against the sky.
bool DistantSilhouette(float x, float y) {
  const bool nave = x >= 18 && x <= 42 && y >= 138 && y <= 156;
  const bool roof = y >= 130 && y < 138 && std::abs(x - 30) <= 12 - (138 - y) * 1.2f;
  const bool tower = x >= 20 && x <= 26 && y >= 122 && y <= 140;
  const bool spire = y >= 112 && y < 122 && std::abs(x - 23) <= (y - 112) * 0.3f;
  const bool trees = Ellipse(x, y, 92, 147, 7, 6) < 1 || Ellipse(x, y, 106, 150, 5, 4.5f) < 1 ||
                     Ellipse(x, y, 124, 146, 8, 7) < 1 || Ellipse(x, y, 60, 152, 6, 5) < 1;
  return nave || roof || tower || spire || trees;
}

// The monk: a bell-shaped robe, rounded shoulders and a deep hood with a point at the back.
bool MonkBody(float x, float y) {
  const float centre = 160;
  if (y >= 124) {
    const float halfWidth = 15 + (y - 124) * 0.34f;
    if (std::abs(x - centre) <= halfWidth) return true;
  }
  if (Ellipse(x, y, centre, 127, 19, 8) < 1) return true;          // shoulders
  if (Ellipse(x, y, centre + 1, 110, 13, 15.5f) < 1) return true;  // hood
  const bool hoodPoint = y >= 92 && y <= 104 && x >= centre + 2 &&
                         x <= centre + 12 - (104 - y) * 0.45f &&
                         x >= centre + 2 + (104 - y) * 0.35f;
  return hoodPoint;
}

Colour Monk(float x, float y) {
  Colour robe = Mix(Colour{54, 35, 28}, Colour{22, 14, 12}, (y - 100) / 100);
  // Long folds falling from the shoulders.
  if (y > 130) {
    const float halfWidth = 15 + (y - 124) * 0.34f;
    const float across = (x - 160) / halfWidth;
    robe = Mix(robe, Colour{12, 8, 8},
               0.3f * std::max(0.0f, std::sin(across * 9.0f + 0.6f)) * SmoothStep(130, 170, y));
  }
  // The face in the shadow of the hood, turned towards the sun.
  if (Ellipse(x, y, 154, 112, 6.5f, 8.5f) < 1) robe = Colour{10, 6, 8};
  // Folded sleeves.
  if (std::abs(y - 149) < 3.5f && Ellipse(x, y, 157, 149, 14, 9) < 1) robe = Colour{62, 41, 32};
  // The rope belt.
  if (std::abs(y - 164) < 1.0f) robe = Colour{118, 90, 58};
  // Rim light on the side that faces the sun, strongest on the hood and shoulders.
  if (!MonkBody(x - 2.0f, y) || !MonkBody(x - 1.5f, y + 1.5f))
    robe = Mix(robe, Colour{240, 130, 56}, 0.75f * (1.0f - SmoothStep(125, 185, y)));
  return robe;
}

Colour Scene(float x, float y) {
  if (MonkBody(x, y)) return Monk(x, y);
  const float horizon = HorizonAt(x);
  if (y >= horizon) {
    Colour ground = Mix(Colour{104, 46, 60}, Colour{58, 28, 42}, (y - horizon) / 50);
    // The last light on the crest of the hill.
    ground = Mix(ground, Colour{150, 64, 52}, 0.5f * (1.0f - SmoothStep(0, 2.5f, y - horizon)));
    return ground;
  }
  if (DistantSilhouette(x, y)) return Colour{112, 48, 62};
  return Sky(x, y);
}

// Averages n x n samples per pixel; `scale` and the origin map pixels to scene coordinates.
std::vector<Colour> PaintScene(int size, float originX, float originY, float scale, int n) {
  std::vector<Colour> image(static_cast<std::size_t>(size) * size);
  for (int py = 0; py < size; ++py) {
    for (int px = 0; px < size; ++px) {
      Colour sum;
      for (int sy = 0; sy < n; ++sy) {
        for (int sx = 0; sx < n; ++sx) {
          const Colour c = Scene(originX + (px + (sx + 0.5f) / n) * scale,
                                 originY + (py + (sy + 0.5f) / n) * scale);
          sum.r += c.r;
          sum.g += c.g;
          sum.b += c.b;
        }
      }
      const float count = static_cast<float>(n * n);
      image[static_cast<std::size_t>(py) * size + px] = {sum.r / count, sum.g / count,
                                                         sum.b / count};
    }
  }
  return image;
}

// ---- the title lettering ------------------------------------------------------------------

std::string FindItalicFont() {
  if (FcInit() == FcFalse) return {};
  FcPattern* pattern = FcPatternCreate();
  for (const char* family : {"Liberation Sans", "DejaVu Sans", "sans-serif"})
    FcPatternAddString(pattern, FC_FAMILY, reinterpret_cast<const FcChar8*>(family));
  FcPatternAddInteger(pattern, FC_SLANT, FC_SLANT_ITALIC);
  FcPatternAddInteger(pattern, FC_WEIGHT, FC_WEIGHT_BOLD);
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

// Coverage (0..1) of the title text over the picture; empty when no font can be loaded.
std::vector<float> TitleCoverage() {
  std::vector<float> coverage;
  const std::string file = FindItalicFont();
  FT_Library library = nullptr;
  FT_Face face = nullptr;
  if (file.empty() || FT_Init_FreeType(&library) != 0) return coverage;
  if (FT_New_Face(library, file.c_str(), 0, &face) == 0) {
    // A face without a real italic is slanted.
    if ((face->style_flags & FT_STYLE_FLAG_ITALIC) == 0) {
      FT_Matrix shear{0x10000, 0x3800, 0, 0x10000};
      FT_Set_Transform(face, &shear, nullptr);
    }
    const auto measure = [&](int pixels) {
      FT_Set_Pixel_Sizes(face, 0, static_cast<FT_UInt>(pixels));
      long width = 0;
      for (const char* c = kTitle; *c != '\0'; ++c)
        if (FT_Load_Char(face, static_cast<FT_ULong>(*c), FT_LOAD_NO_HINTING) == 0)
          width += face->glyph->advance.x;
      return static_cast<int>(width >> 6);
    };
    int pixels = 40;
    while (pixels > 8 && measure(pixels) > kTitleSize - 20) --pixels;
    measure(pixels);

    coverage.assign(static_cast<std::size_t>(kTitleSize) * kTitleSize, 0.0f);
    const int baseline = 10 + static_cast<int>(face->size->metrics.ascender >> 6);
    int penX = (kTitleSize - measure(pixels)) / 2 - 2;
    for (const char* c = kTitle; *c != '\0'; ++c) {
      if (FT_Load_Char(face, static_cast<FT_ULong>(*c), FT_LOAD_RENDER | FT_LOAD_NO_HINTING) != 0)
        continue;
      const FT_GlyphSlot slot = face->glyph;
      for (unsigned row = 0; row < slot->bitmap.rows; ++row) {
        for (unsigned column = 0; column < slot->bitmap.width; ++column) {
          const int x = penX + slot->bitmap_left + static_cast<int>(column);
          const int y = baseline - slot->bitmap_top + static_cast<int>(row);
          if (x < 0 || y < 0 || x >= kTitleSize || y >= kTitleSize) continue;
          const float value =
              slot->bitmap.buffer[row * static_cast<unsigned>(slot->bitmap.pitch) + column] /
              255.0f;
          float& cell = coverage[static_cast<std::size_t>(y) * kTitleSize + x];
          cell = std::max(cell, value);
        }
      }
      penX += static_cast<int>(slot->advance.x >> 6);
    }
    FT_Done_Face(face);
  }
  FT_Done_FreeType(library);
  return coverage;
}

// Blue letters over a pale outline, so they read against the red sky.
void DrawTitle(std::vector<Colour>& image) {
  const std::vector<float> letters = TitleCoverage();
  if (letters.empty()) return;
  std::vector<float> outline(letters.size(), 0.0f);
  constexpr int kRadius = 2;
  for (int y = 0; y < kTitleSize; ++y) {
    for (int x = 0; x < kTitleSize; ++x) {
      float best = 0;
      for (int dy = -kRadius; dy <= kRadius; ++dy)
        for (int dx = -kRadius; dx <= kRadius; ++dx) {
          const int sx = x + dx, sy = y + dy;
          if (dx * dx + dy * dy > kRadius * kRadius + 1 || sx < 0 || sy < 0 || sx >= kTitleSize ||
              sy >= kTitleSize)
            continue;
          best = std::max(best, letters[static_cast<std::size_t>(sy) * kTitleSize + sx]);
        }
      outline[static_cast<std::size_t>(y) * kTitleSize + x] = best;
    }
  }
  for (int y = 0; y < kTitleSize; ++y) {
    const Colour blue = Mix(Colour{72, 118, 240}, Colour{18, 38, 168}, (y - 10) / 30.0f);
    for (int x = 0; x < kTitleSize; ++x) {
      const std::size_t i = static_cast<std::size_t>(y) * kTitleSize + x;
      image[i] = Mix(image[i], Colour{255, 244, 214}, 0.92f * outline[i]);
      image[i] = Mix(image[i], blue, letters[i]);
    }
  }
}

// ---- palettes ------------------------------------------------------------------------------

using Rgb = std::array<std::uint8_t, 3>;

std::vector<Rgb> ToBytes(const std::vector<Colour>& image) {
  std::vector<Rgb> bytes;
  bytes.reserve(image.size());
  const auto byte = [](float v) {
    return static_cast<std::uint8_t>(std::lround(std::clamp(v, 0.0f, 255.0f)));
  };
  for (const Colour& c : image) bytes.push_back({byte(c.r), byte(c.g), byte(c.b)});
  return bytes;
}

// Median cut: the box with the widest channel range is split at its median until there are
// `count` boxes; each box gives the mean of its colours.
std::vector<Rgb> MedianCutPalette(std::vector<Rgb> colours, std::size_t count) {
  struct Box {
    std::size_t begin, end;
  };
  const auto widest = [&](const Box& box) {
    std::array<int, 3> low{255, 255, 255}, high{0, 0, 0};
    for (std::size_t i = box.begin; i < box.end; ++i)
      for (int c = 0; c < 3; ++c) {
        low[static_cast<std::size_t>(c)] = std::min<int>(low[static_cast<std::size_t>(c)],
                                                         colours[i][static_cast<std::size_t>(c)]);
        high[static_cast<std::size_t>(c)] = std::max<int>(high[static_cast<std::size_t>(c)],
                                                          colours[i][static_cast<std::size_t>(c)]);
      }
    int channel = 0;
    for (int c = 1; c < 3; ++c)
      if (high[static_cast<std::size_t>(c)] - low[static_cast<std::size_t>(c)] >
          high[static_cast<std::size_t>(channel)] - low[static_cast<std::size_t>(channel)])
        channel = c;
    return std::pair{
        channel, high[static_cast<std::size_t>(channel)] - low[static_cast<std::size_t>(channel)]};
  };
  std::vector<Box> boxes{{0, colours.size()}};
  while (boxes.size() < count) {
    std::size_t pick = boxes.size();
    int pickRange = 0;
    for (std::size_t b = 0; b < boxes.size(); ++b) {
      const int range = widest(boxes[b]).second;
      if (boxes[b].end - boxes[b].begin > 1 && range > pickRange) {
        pick = b;
        pickRange = range;
      }
    }
    if (pick == boxes.size()) break;  // every box holds a single colour
    const Box box = boxes[pick];
    const auto channel = static_cast<std::size_t>(widest(box).first);
    const auto first = colours.begin() + static_cast<std::ptrdiff_t>(box.begin);
    const auto last = colours.begin() + static_cast<std::ptrdiff_t>(box.end);
    std::sort(first, last, [&](const Rgb& a, const Rgb& b) {
      return a[channel] != b[channel] ? a[channel] < b[channel] : a < b;
    });
    std::size_t middle = box.begin + (box.end - box.begin) / 2;
    boxes[pick] = {box.begin, middle};
    boxes.push_back({middle, box.end});
  }
  std::vector<Rgb> palette;
  for (const Box& box : boxes) {
    std::array<std::uint64_t, 3> sum{};
    for (std::size_t i = box.begin; i < box.end; ++i)
      for (std::size_t c = 0; c < 3; ++c) sum[c] += colours[i][c];
    const std::uint64_t n = box.end - box.begin;
    palette.push_back({static_cast<std::uint8_t>((sum[0] + n / 2) / n),
                       static_cast<std::uint8_t>((sum[1] + n / 2) / n),
                       static_cast<std::uint8_t>((sum[2] + n / 2) / n)});
  }
  std::sort(palette.begin(), palette.end(), [](const Rgb& a, const Rgb& b) {
    const int la = a[0] * 299 + a[1] * 587 + a[2] * 114, lb = b[0] * 299 + b[1] * 587 + b[2] * 114;
    return la != lb ? la < lb : a < b;
  });
  palette.resize(count, Rgb{0, 0, 0});
  return palette;
}

std::uint8_t Nearest(const std::vector<Rgb>& palette, const Rgb& colour) {
  std::size_t best = 0;
  int bestDistance = 1 << 30;
  for (std::size_t i = 0; i < palette.size(); ++i) {
    const int dr = palette[i][0] - colour[0], dg = palette[i][1] - colour[1],
              db = palette[i][2] - colour[2];
    const int distance = dr * dr * 3 + dg * dg * 4 + db * db * 2;
    if (distance < bestDistance) {
      bestDistance = distance;
      best = i;
    }
  }
  return static_cast<std::uint8_t>(best);
}

// ---- file writing --------------------------------------------------------------------------

void Put16(std::vector<std::uint8_t>& out, std::uint32_t v) {
  out.push_back(static_cast<std::uint8_t>(v));
  out.push_back(static_cast<std::uint8_t>(v >> 8));
}
void Put32(std::vector<std::uint8_t>& out, std::uint32_t v) {
  Put16(out, v & 0xFFFF);
  Put16(out, v >> 16);
}

// BITMAPINFOHEADER followed by the palette (blue, green, red, 0).
void PutInfoHeader(std::vector<std::uint8_t>& out, int width, int height, int bits,
                   std::uint32_t imageSize, const std::vector<Rgb>& palette) {
  Put32(out, 40);
  Put32(out, static_cast<std::uint32_t>(width));
  Put32(out, static_cast<std::uint32_t>(height));
  Put16(out, 1);
  Put16(out, static_cast<std::uint32_t>(bits));
  Put32(out, 0);  // BI_RGB, uncompressed
  Put32(out, imageSize);
  Put32(out, kPixelsPerMetre);
  Put32(out, kPixelsPerMetre);
  Put32(out, static_cast<std::uint32_t>(palette.size()));
  Put32(out, 0);
  for (const Rgb& c : palette) {
    out.push_back(c[2]);
    out.push_back(c[1]);
    out.push_back(c[0]);
    out.push_back(0);
  }
}

}  // namespace

std::vector<std::uint8_t> MakeTitleBitmap() {
  std::vector<Colour> image = PaintScene(kTitleSize, 0, 0, 1, 3);
  DrawTitle(image);
  const std::vector<Rgb> pixels = ToBytes(image);
  const std::vector<Rgb> palette = MedianCutPalette(pixels, 256);

  constexpr std::uint32_t kHeaders = 14 + 40 + 256 * 4;
  constexpr std::uint32_t kImageSize = kTitleSize * kTitleSize;  // rows of 200 need no padding
  std::vector<std::uint8_t> file;
  file.reserve(kHeaders + kImageSize);
  file.push_back('B');
  file.push_back('M');
  Put32(file, kHeaders + kImageSize);
  Put32(file, 0);
  Put32(file, kHeaders);
  PutInfoHeader(file, kTitleSize, kTitleSize, 8, kImageSize, palette);
  for (int y = kTitleSize - 1; y >= 0; --y)  // bottom-up
    for (int x = 0; x < kTitleSize; ++x)
      file.push_back(Nearest(palette, pixels[static_cast<std::size_t>(y) * kTitleSize + x]));
  return file;
}

std::vector<std::uint8_t> MakeIconFile() {
  // The sun and the monk, cut from the lower part of the picture, in a rounded square.
  constexpr float kOriginX = 48, kOriginY = 84, kSpan = 140;
  const std::vector<Rgb> pixels =
      ToBytes(PaintScene(kIconSize, kOriginX, kOriginY, kSpan / kIconSize, 4));
  const auto inside = [](int x, int y) {
    constexpr float kCorner = 6;
    const float cx = std::clamp(x + 0.5f, kCorner, kIconSize - kCorner);
    const float cy = std::clamp(y + 0.5f, kCorner, kIconSize - kCorner);
    return std::hypot(x + 0.5f - cx, y + 0.5f - cy) <= kCorner;
  };
  std::vector<Rgb> opaque;
  for (int y = 0; y < kIconSize; ++y)
    for (int x = 0; x < kIconSize; ++x)
      if (inside(x, y)) opaque.push_back(pixels[static_cast<std::size_t>(y) * kIconSize + x]);
  // Entry 0 is black: the colour under the transparent corners, where the screen shows
  // through unchanged (the mask ANDs, the colour then XORs).
  std::vector<Rgb> palette = MedianCutPalette(opaque, 15);
  palette.insert(palette.begin(), Rgb{0, 0, 0});

  constexpr std::uint32_t kXorSize = kIconSize * kIconSize / 2;  // 4 bits per pixel
  constexpr std::uint32_t kAndSize = kIconSize * 4;              // 1 bit per pixel, rows of 4 bytes
  constexpr std::uint32_t kImageBytes = 40 + 16 * 4 + kXorSize + kAndSize;
  std::vector<std::uint8_t> file;
  Put16(file, 0);  // ICONDIR: reserved, type 1 (icon), one image
  Put16(file, 1);
  Put16(file, 1);
  file.push_back(kIconSize);  // ICONDIRENTRY
  file.push_back(kIconSize);
  file.push_back(16);  // colours
  file.push_back(0);
  Put16(file, 1);  // planes
  Put16(file, 4);  // bits per pixel
  Put32(file, kImageBytes);
  Put32(file, 6 + 16);
  // The image: its header gives twice the height, the colour rows and then the mask.
  PutInfoHeader(file, kIconSize, 2 * kIconSize, 4, kXorSize + kAndSize, palette);
  for (int y = kIconSize - 1; y >= 0; --y) {
    for (int x = 0; x < kIconSize; x += 2) {
      const auto index = [&](int px) -> std::uint8_t {
        return inside(px, y)
                   ? Nearest(palette, pixels[static_cast<std::size_t>(y) * kIconSize + px])
                   : 0;
      };
      file.push_back(static_cast<std::uint8_t>(index(x) << 4 | index(x + 1)));
    }
  }
  for (int y = kIconSize - 1; y >= 0; --y) {
    std::uint32_t bits = 0;  // a set bit is transparent
    for (int x = 0; x < kIconSize; ++x)
      if (!inside(x, y)) bits |= 1u << (31 - x);
    for (int shift = 24; shift >= 0; shift -= 8)
      file.push_back(static_cast<std::uint8_t>(bits >> shift));
  }
  return file;
}

}  // namespace datagen
