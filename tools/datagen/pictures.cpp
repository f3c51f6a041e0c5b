// The three still pictures between the scenes and the quad that shows them.
//
// The quad stands in the plane y = 0 and fills the frame of the camera at (0, 60.3, 0) that
// looks at the origin: that camera's right is world -x, so u grows towards -x. The pictures
// are painted at 4:3 and squeezed into square textures; the quad stretches them back.
#include <algorithm>

#include "tools/datagen/assets.h"
#include "tools/datagen/canvas.h"
#include "tools/datagen/jpeg_encoder.h"
#include "tools/datagen/mesh_builder.h"
#include "tools/datagen/noise.h"
#include "tools/datagen/text_renderer.h"

namespace datagen {
namespace {

constexpr int kPaintWidth = 1365, kPaintHeight = 1024;  // 4:3
constexpr int kTextureSize = 1024;

// The visible frame at the picture's distance: 60.3 tan(pi/8) high (half), times the aspect
// 1.3333 wide; the quad reaches a hair beyond so that no edge shows.
constexpr double kHalfHeight = 25.0;
constexpr double kHalfWidth = 33.34;

xfile::Mesh PictureQuad() {
  MeshBuilder mesh;
  mesh.AddMaterial("pic_sentry.jpg");
  // From the camera's top left (world +x, +z) along its right (world -x) and down (-z).
  // Cut into cells so that the light's fall-off across the picture is smooth.
  mesh.Panel({kHalfWidth, 0, kHalfHeight}, {-2 * kHalfWidth, 0, 0}, {0, 0, -2 * kHalfHeight},
             {0, 1, 0}, {0, 0, 1, 1}, 0, 0, 6.0);
  return mesh.Build();
}

// ---- painting helpers ----------------------------------------------------------------

Color VerticalGradient(double y, std::initializer_list<std::pair<double, Color>> stops) {
  auto it = stops.begin();
  if (y <= it->first) return it->second;
  for (auto next = it + 1; next != stops.end(); ++it, ++next)
    if (y <= next->first) return Mix(it->second, next->second, dm::Smoothstep(it->first, next->first, y));
  return (stops.end() - 1)->second;
}

// A ridge line across the picture from noise: points along x at height base +- amplitude.
std::vector<Point> Ridge(double base, double amplitude, double scale, std::uint64_t seed,
                         double bottom) {
  std::vector<Point> points;
  for (int x = -20; x <= kPaintWidth + 20; x += 6)
    points.push_back({static_cast<double>(x), base - amplitude * Fbm2(x / scale, 0.5, seed, 4)});
  points.push_back({kPaintWidth + 20.0, bottom});
  points.push_back({-20.0, bottom});
  return points;
}

void Glow(Canvas& canvas, Point center, double radius, Color color, double strength) {
  const int x0 = std::max(0, static_cast<int>(center.x - radius * 3));
  const int x1 = std::min(canvas.width() - 1, static_cast<int>(center.x + radius * 3));
  const int y0 = std::max(0, static_cast<int>(center.y - radius * 3));
  const int y1 = std::min(canvas.height() - 1, static_cast<int>(center.y + radius * 3));
  for (int y = y0; y <= y1; ++y)
    for (int x = x0; x <= x1; ++x) {
      const double d2 = ((x - center.x) * (x - center.x) + (y - center.y) * (y - center.y)) / (radius * radius);
      canvas.Set(x, y, canvas.At(x, y) + color * (strength * dm::Exp(-d2)));
    }
}

// A round-crowned tree: trunk and a lumpy crown, as one mask.
void TreeShape(Mask& mask, Point foot, double height, Random& random) {
  const double crown = height * 0.36;
  mask.Stroke({foot, {foot.x + random.Range(-0.03, 0.03) * height, foot.y - height * 0.45}},
              height * 0.06, height * 0.04);
  const Point c{foot.x, foot.y - height + crown};
  mask.FillEllipse(c, crown * 1.05, crown * 0.85);
  for (int i = 0; i < 9; ++i) {
    double s, co;
    dm::SinCos(random.Range(0, dm::kTwoPi), s, co);
    mask.FillCircle({c.x + co * crown * 0.75, c.y + s * crown * 0.55}, crown * random.Range(0.35, 0.5));
  }
}

// A standing robed figure in profile, facing right: normalised outline (x across, y up from
// the feet) scaled to `height` pixels.
std::vector<Point> MonkOutline(Point feet, double height) {
  static const double outline[][2] = {
      {-0.21, 0.0},  {0.18, 0.0},   {0.14, 0.25},  {0.11, 0.5},   {0.15, 0.55},
      {0.16, 0.62},  {0.1, 0.66},   {0.085, 0.73}, {0.1, 0.79},   {0.105, 0.87},
      {0.07, 0.95},  {0.0, 0.99},   {-0.07, 0.97}, {-0.12, 0.92}, {-0.15, 0.86},
      {-0.11, 0.8},  {-0.13, 0.72}, {-0.14, 0.5},  {-0.17, 0.25}, {-0.23, 0.02}};
  std::vector<Point> points;
  for (const auto& p : outline) points.push_back({feet.x + p[0] * height, feet.y - p[1] * height});
  return points;
}

// A cloaked woman seen from the front, hands together.
std::vector<Point> CloakOutline(Point feet, double height) {
  static const double outline[][2] = {
      {-0.2, 0.0},   {0.2, 0.0},   {0.16, 0.3},  {0.13, 0.55}, {0.14, 0.7},  {0.12, 0.78},
      {0.07, 0.82},  {0.06, 0.86}, {0.07, 0.92}, {0.04, 0.98}, {0.0, 1.0},   {-0.04, 0.98},
      {-0.07, 0.92}, {-0.06, 0.86}, {-0.07, 0.82}, {-0.12, 0.78}, {-0.14, 0.7}, {-0.13, 0.55},
      {-0.16, 0.3}};
  std::vector<Point> points;
  for (const auto& p : outline) points.push_back({feet.x + p[0] * height, feet.y - p[1] * height});
  return points;
}

// Brush marks and canvas: the pixels are flattened into patches, then given a fine streaky
// texture that follows the stroke direction, and a weave.
void Painterly(Canvas& canvas, int radius, std::uint64_t seed) {
  canvas.Kuwahara(radius);
  canvas.Shade([&](int x, int y, Color c) {
    const double stroke = ValueNoise2(x / 14.0 + y / 40.0, y / 3.0, seed) - 0.5;
    const double dab = ValueNoise2(x / 5.0, y / 5.0, seed + 1) - 0.5;
    const double weave = ((x % 3 == 0) ? 0.012 : 0) + ((y % 3 == 0) ? 0.012 : 0);
    return c * (1 + 0.07 * stroke + 0.04 * dab - weave);
  });
}

void Vignette(Canvas& canvas, double strength) {
  canvas.Shade([&](int x, int y, Color c) {
    const double dx = (x - canvas.width() / 2.0) / (canvas.width() / 2.0);
    const double dy = (y - canvas.height() / 2.0) / (canvas.height() / 2.0);
    return c * (1 - strength * dm::Smoothstep(0.4, 1.5, dx * dx * 0.7 + dy * dy));
  });
}

// ---- the sentry: the monk watching over the chapel at dusk -----------------------------

Canvas PaintSentry() {
  Canvas canvas(kPaintWidth, kPaintHeight);
  const double horizon = 700;
  canvas.Shade([&](int x, int y, Color) {
    Color c = VerticalGradient(y, {{0, Hex(0x1E1838)}, {260, Hex(0x3A2A58)}, {480, Hex(0x7A4A70)},
                                   {620, Hex(0xD88068)}, {horizon, Hex(0xF8C078)}});
    // Streaks of cloud lit from below.
    const double streak = Fbm2(x / 260.0, y / 18.0, 301, 4);
    const double band = dm::Smoothstep(380, 470, y) * (1 - dm::Smoothstep(560, 650, y));
    c = Mix(c, Mix(Hex(0x6A3E62), Hex(0xF0A078), dm::Smoothstep(450, 620, y)),
            dm::Smoothstep(0.55, 0.72, streak) * band * 0.8);
    return c;
  });
  Glow(canvas, {330, horizon - 10}, 150, Color{1.0, 0.6, 0.3}, 0.45);
  Glow(canvas, {330, horizon - 5}, 40, Color{1.0, 0.85, 0.6}, 0.6);
  // The moon and a few stars.
  Random random(0x5E47);
  {
    Mask moon(kPaintWidth, kPaintHeight), bite(kPaintWidth, kPaintHeight);
    moon.FillCircle({1110, 170}, 34);
    bite.FillCircle({1124, 160}, 31);
    for (int y = 100; y < 240; ++y)
      for (int x = 1040; x < 1180; ++x) moon.At(x, y) = std::max(0.0f, moon.At(x, y) - bite.At(x, y));
    canvas.Composite(moon, Hex(0xF4EAD0));
    Glow(canvas, {1100, 172}, 60, Color{0.5, 0.45, 0.6}, 0.12);
    Mask stars(kPaintWidth, kPaintHeight);
    for (int i = 0; i < 40; ++i)
      stars.FillCircle({random.Range(0, kPaintWidth), random.Range(0, 380)}, random.Range(0.8, 1.8));
    canvas.Composite(stars, Hex(0xE8E0F8), 0.8);
  }
  // Far hills, then the dark orchard along the horizon.
  {
    Mask hills(kPaintWidth, kPaintHeight);
    hills.FillPolygon(Ridge(horizon + 5, 70, 300, 302, kPaintHeight + 10));
    canvas.Composite(hills, [&](int, int y) { return Mix(Hex(0x6A4E78), Hex(0x3E3254), dm::Smoothstep(630, 760, y)); });
    Mask trees(kPaintWidth, kPaintHeight);
    for (int i = 0; i < 26; ++i) {
      const double x = i * 56 + random.Range(-18, 18);
      if (x > 820 && x < 1230) continue;  // the chapel stands there
      TreeShape(trees, {x, 760 + random.Range(-8, 8)}, random.Range(70, 95), random);
    }
    canvas.Composite(trees, [&](int x, int) { return Mix(Hex(0x2E2A3A), Hex(0x3A3040), x / 1365.0); });
  }
  // The chapel on the rise to the right: nave, tower, spire, one lit window.
  {
    const double base = 790;
    Mask walls(kPaintWidth, kPaintHeight), roof(kPaintWidth, kPaintHeight);
    walls.FillPolygon({{880, base}, {1210, base}, {1210, 600}, {880, 600}});          // nave
    walls.FillPolygon({{1060, base}, {1160, base}, {1160, 380}, {1060, 380}});        // tower
    roof.FillPolygon({{862, 604}, {1045, 520}, {1228, 604}});                          // nave roof
    roof.FillPolygon({{1052, 384}, {1110, 262}, {1168, 384}});                         // spire
    roof.Stroke({{1110, 262}, {1110, 222}}, 4, 4);
    roof.Stroke({{1096, 236}, {1124, 236}}, 4, 4);
    canvas.Composite(walls, [&](int x, int y) {
      const double rim = 1 - dm::Smoothstep(0, 30, x - (x < 1060 ? 880 : 1060));
      return Mix(Mix(Hex(0x5A4E66), Hex(0x4A4058), dm::Smoothstep(400, 790, y)), Hex(0xE0A080), rim * 0.6);
    });
    canvas.Composite(roof, Hex(0x3A2A34));
    Mask window(kPaintWidth, kPaintHeight), door(kPaintWidth, kPaintHeight), belfry(kPaintWidth, kPaintHeight);
    window.FillPolygon({{950, 720}, {980, 720}, {980, 670}, {965, 650}, {950, 670}});
    door.FillPolygon({{1092, base}, {1128, base}, {1128, 735}, {1110, 718}, {1092, 735}});
    belfry.FillPolygon({{1094, 460}, {1126, 460}, {1126, 425}, {1110, 410}, {1094, 425}});
    canvas.Composite(window, Hex(0xFFC860));
    canvas.Composite(door, Hex(0x2A1E1A));
    canvas.Composite(belfry, Hex(0x1E1820));
    Glow(canvas, {965, 690}, 45, Color{1.0, 0.7, 0.3}, 0.35);
  }
  // The meadow in front, a path winding up to the door.
  {
    Mask ground(kPaintWidth, kPaintHeight);
    ground.FillPolygon(Ridge(800, 50, 420, 303, kPaintHeight + 10));
    canvas.Composite(ground, [&](int x, int y) {
      const double grass = Fbm2(x / 30.0, y / 8.0, 304, 3);
      return Mix(Hex(0x2A3024), Hex(0x1A1E1A), dm::Smoothstep(780, 1024, y)) * (0.85 + 0.3 * grass);
    });
    Mask path(kPaintWidth, kPaintHeight);
    std::vector<Point> line;
    for (int i = 0; i <= 20; ++i) {
      const double t = i / 20.0;
      line.push_back({1110 - 520 * t * t + 60 * dm::Sin(t * 4), 792 + 240 * t});
    }
    path.Stroke(line, 8, 90);
    canvas.Composite(path, Hex(0x5A5046), 0.8);
  }
  // The monk, hooded, a lantern at his side, the last light on his back.
  {
    const Point feet{430, 930};
    const double h = 340;
    Mask robe(kPaintWidth, kPaintHeight);
    robe.FillPolygon(MonkOutline(feet, h));
    canvas.Composite(robe, [&](int x, int y) {
      const double rim = 1 - dm::Smoothstep(0, 14, x - (feet.x - 0.2 * h) - (feet.y - y) * 0.02);
      const double folds = 0.85 + 0.25 * ValueNoise2(x / 9.0, y / 90.0, 305);
      return Mix(Hex(0x2A1C16) * folds, Hex(0xC07850), rim * 0.7);
    });
    Mask face(kPaintWidth, kPaintHeight);
    face.FillEllipse({feet.x + 0.075 * h, feet.y - 0.85 * h}, 0.022 * h, 0.045 * h);
    canvas.Composite(face, Hex(0x5A3A2C));
    Mask lantern(kPaintWidth, kPaintHeight);
    const Point hand{feet.x + 0.2 * h, feet.y - 0.55 * h};
    lantern.Stroke({hand, {hand.x, hand.y + 40}}, 2.5, 2.5);
    lantern.FillPolygon({{hand.x - 12, hand.y + 40}, {hand.x + 12, hand.y + 40}, {hand.x + 10, hand.y + 72}, {hand.x - 10, hand.y + 72}});
    canvas.Composite(lantern, Hex(0xFFD070));
    Glow(canvas, {hand.x, hand.y + 56}, 70, Color{1.0, 0.65, 0.25}, 0.35);
    Glow(canvas, {hand.x, hand.y + 56}, 16, Color{1.0, 0.9, 0.6}, 0.6);
  }
  Painterly(canvas, 3, 306);
  Vignette(canvas, 0.45);
  return canvas;
}

// ---- waiting: a figure on the path between the trees, the sun low behind them ----------

Canvas PaintWaiting() {
  Canvas canvas(kPaintWidth, kPaintHeight);
  const Point vanish{690, 610};
  const Point sun{800, 560};
  canvas.Shade([&](int x, int y, Color) {
    Color c = VerticalGradient(y, {{0, Hex(0x5A4A78)}, {300, Hex(0xC08080)}, {500, Hex(0xF4B870)},
                                   {vanish.y, Hex(0xFFE0A0)}});
    const double streak = Fbm2(x / 300.0, y / 20.0, 401, 4);
    c = Mix(c, Hex(0xF8C890), dm::Smoothstep(0.6, 0.78, streak) * dm::Smoothstep(150, 300, y) *
                                  (1 - dm::Smoothstep(420, 560, y)) * 0.7);
    return c;
  });
  Glow(canvas, sun, 220, Color{1.0, 0.7, 0.35}, 0.4);
  Glow(canvas, sun, 36, Color{1.0, 0.95, 0.8}, 0.9);
  // Ground: the meadow and the path running to the sun.
  {
    Mask ground(kPaintWidth, kPaintHeight);
    ground.FillPolygon({{-10, vanish.y}, {kPaintWidth + 10.0, vanish.y}, {kPaintWidth + 10.0, kPaintHeight + 10.0}, {-10, kPaintHeight + 10.0}});
    canvas.Composite(ground, [&](int x, int y) {
      const double depth = dm::Smoothstep(vanish.y, kPaintHeight, y);
      const double grass = Fbm2(x / (10 + 50 * depth), y / (3 + 20 * depth), 402, 3);
      Color c = Mix(Hex(0xB0A050), Hex(0x4A5A24), dm::Smoothstep(0.0, 0.6, depth));
      // Light through the trees lies in warm bands across the grass.
      const double dx = (x - sun.x) / dm::Max(y - vanish.y + 10, 10.0);
      const double ray = 0.5 + 0.5 * dm::Sin(dx * 9);
      return c * (0.8 + 0.35 * grass) + Color{0.25, 0.16, 0.05} * (ray * (1 - depth) * 0.8);
    });
    Mask path(kPaintWidth, kPaintHeight);
    path.FillPolygon({{vanish.x - 6, vanish.y}, {vanish.x + 6, vanish.y}, {vanish.x + 300, kPaintHeight + 10.0}, {vanish.x - 200, kPaintHeight + 10.0}});
    canvas.Composite(path, [&](int x, int y) {
      const double depth = dm::Smoothstep(vanish.y, kPaintHeight, y);
      return Mix(Hex(0xF0D090), Hex(0x9A7A50), depth) * (0.9 + 0.2 * ValueNoise2(x / 6.0, y / 4.0, 403));
    }, 0.85);
  }
  // Two rows of trees receding to the light, dark against it with a bright rim.
  Random random(0xAA17);
  for (int side = -1; side <= 1; side += 2) {
    for (int i = 9; i >= 0; --i) {  // far to near
      const double depth = 1.0 / (1 + i * 0.55);  // 1 near, small far
      const double x = vanish.x + side * (90 + 760 * depth) + random.Range(-10, 10) * depth;
      const double foot = vanish.y + 420 * depth;
      const double h = 560 * depth;
      Mask tree(kPaintWidth, kPaintHeight);
      TreeShape(tree, {x, foot}, h, random);
      const double haze = 1 - depth;
      canvas.Composite(tree, [&](int px, int py) {
        const double towardSun = dm::Clamp((sun.x - px) * side * -1 / (h * 0.5) + 0.5, 0, 1);
        Color c = Mix(Hex(0x24341A), Hex(0x48622A), 0.5 * ValueNoise2(px / 7.0, py / 7.0, 404));
        c = Mix(c, Hex(0xE8A050), towardSun * 0.12);
        return Mix(c, Hex(0xB88A60), haze * 0.5);
      });
      // Blossom on some of the nearer crowns.
      if (i < 6 && random.Uniform() < 0.6) {
        Mask petals(kPaintWidth, kPaintHeight);
        for (int k = 0; k < 60; ++k)
          petals.FillCircle({x + random.Range(-0.35, 0.35) * h, foot - h * random.Range(0.45, 0.95)},
                            random.Range(1.0, 3.0) * depth + 0.5);
        for (int y = 0; y < kPaintHeight; ++y)
          for (int px = 0; px < kPaintWidth; ++px)
            if (tree.At(px, y) < 0.5) petals.At(px, y) = 0;
        canvas.Composite(petals, Mix(Hex(0xF8E0E4), Hex(0xE8C090), haze * 0.6), 0.9);
      }
      // Its shadow, thrown long towards the viewer.
      Mask shadow(kPaintWidth, kPaintHeight);
      const double sx = x + (x - sun.x) * 0.5;
      shadow.FillPolygon({{x - h * 0.04, foot}, {x + h * 0.04, foot}, {sx + h * 0.15, foot + 140 * depth}, {sx - h * 0.15, foot + 140 * depth}});
      shadow.Blur(3, 2);
      canvas.Composite(shadow, Hex(0x2A301A), 0.45);
    }
  }
  // The waiting figure on the path, small, facing us, the light behind her.
  {
    const Point feet{vanish.x + 18, vanish.y + 150};
    const double h = 150;
    Mask cloak(kPaintWidth, kPaintHeight);
    cloak.FillPolygon(CloakOutline(feet, h));
    canvas.Composite(cloak, [&](int x, int y) {
      const double edge = dm::Abs(x - feet.x) / (0.2 * h);
      const double rim = dm::Smoothstep(0.5, 1.0, edge) * dm::Smoothstep(feet.y, feet.y - h, y);
      return Mix(Hex(0x34324A) * (0.85 + 0.2 * ValueNoise2(x / 4.0, y / 30.0, 405)), Hex(0xFFD890), rim * 0.7);
    });
    Mask face(kPaintWidth, kPaintHeight);
    face.FillEllipse({feet.x, feet.y - 0.93 * h}, 0.035 * h, 0.045 * h);
    canvas.Composite(face, Hex(0x9A6A50));
    Mask shadow(kPaintWidth, kPaintHeight);
    shadow.FillPolygon({{feet.x - 10, feet.y}, {feet.x + 10, feet.y}, {feet.x - 40, feet.y + 110}, {feet.x - 80, feet.y + 110}});
    shadow.Blur(3, 2);
    canvas.Composite(shadow, Hex(0x3A3020), 0.5);
  }
  // Petals drifting in the air.
  {
    Mask petals(kPaintWidth, kPaintHeight);
    for (int i = 0; i < 90; ++i)
      petals.FillEllipse({random.Range(0, kPaintWidth), random.Range(300, 1000)}, random.Range(2, 4),
                         random.Range(1, 2), 1, random.Range(0, dm::kPi));
    canvas.Composite(petals, Hex(0xFFF0F0), 0.75);
  }
  Painterly(canvas, 3, 406);
  Vignette(canvas, 0.35);
  return canvas;
}

// ---- greetings: a page of warm words on dark ----------------------------------------------

void CenteredLine(const TextRenderer& font, Mask& mask, std::string_view text, double baseline,
                  double size, double tracking = 0) {
  const double width = font.MeasureTracked(text, size, tracking);
  font.DrawTracked(mask, (kPaintWidth - width) / 2, baseline, text, size, tracking);
}

Canvas PaintGreetings() {
  Canvas canvas(kPaintWidth, kPaintHeight);
  const Point center{kPaintWidth / 2.0, kPaintHeight * 0.48};
  canvas.Shade([&](int x, int y, Color) {
    const double dx = (x - center.x) / kPaintWidth, dy = (y - center.y) / kPaintHeight;
    const double light = dm::Exp(-(dx * dx * 2.2 + dy * dy * 3.0));
    const double cloth = Fbm2(x / 90.0, y / 70.0, 501, 4);
    return Mix(Hex(0x120C10), Hex(0x4A2E1E), light * (0.75 + 0.4 * cloth));
  });
  Painterly(canvas, 4, 502);

  // A double rule around the page with small diamonds at the corners.
  {
    Mask frame(kPaintWidth, kPaintHeight);
    for (double inset : {46.0, 56.0}) {
      const double w = inset == 46.0 ? 2.4 : 1.2;
      frame.Stroke({{inset, inset}, {kPaintWidth - inset, inset}, {kPaintWidth - inset, kPaintHeight - inset},
                    {inset, kPaintHeight - inset}, {inset, inset}}, w, w);
    }
    for (double x : {51.0, kPaintWidth - 51.0})
      for (double y : {51.0, kPaintHeight - 51.0})
        frame.FillPolygon({{x, y - 14}, {x + 14, y}, {x, y + 14}, {x - 14, y}});
    canvas.Composite(frame, Hex(0xC89A58), 0.85);
  }

  const auto title = TextRenderer::Open({"Liberation Serif:italic", "DejaVu Serif:italic", "serif:italic"});
  const auto body = TextRenderer::Open({"Liberation Serif", "DejaVu Serif", "serif"});
  Mask text(kPaintWidth, kPaintHeight);
  if (title) CenteredLine(*title, text, "Greetings", 195, 118);
  // An ornament under the title: a rule broken by a diamond.
  Mask ornament(kPaintWidth, kPaintHeight);
  ornament.Stroke({{center.x - 230, 250}, {center.x - 22, 250}}, 1.6, 1.6);
  ornament.Stroke({{center.x + 22, 250}, {center.x + 230, 250}}, 1.6, 1.6);
  ornament.FillPolygon({{center.x, 238}, {center.x + 12, 250}, {center.x, 262}, {center.x - 12, 250}});
  static const char* const kLines[] = {
      "to everyone who makes pictures move in real time,",
      "to the coders counting cycles long after midnight,",
      "to the musicians of trackers and tiny synthesisers,",
      "to the pixel painters and the polygon pushers,",
      "to the organisers who gather us in one hall each year,",
      "to the groups old and new, near and far away,",
      "to all who share their tricks and their tools,",
      "to those who finish with seconds to spare,",
      "to the keepers of the archives and the memories,",
      "to the newcomers showing their very first work,",
      "to the viewers who stay until the final fade,",
      "and to you, for watching the orchard fall asleep.",
  };
  if (body) {
    double baseline = 320;
    for (const char* line : kLines) {
      CenteredLine(*body, text, line, baseline, 37);
      baseline += 50;
    }
  }
  if (title) CenteredLine(*title, text, "with quiet gratitude", 930, 30, 1.0);
  // Warm light on the letters, a faint glow under them.
  Mask halo = text;
  halo.Blur(6, 3);
  canvas.Composite(halo, Hex(0xB07030), 0.35);
  canvas.Composite(ornament, Hex(0xD8A860));
  canvas.Composite(text, [&](int x, int y) {
    const double dx = (x - center.x) / kPaintWidth, dy = (y - center.y) / kPaintHeight;
    return Mix(Hex(0xFFE8B8), Hex(0xE0A860), dm::Clamp(dx * dx * 3 + dy * dy * 4, 0, 1));
  });
  Vignette(canvas, 0.4);
  return canvas;
}

std::vector<std::byte> PictureFile(const Canvas& painted) {
  return EncodeJpeg(painted.Resized(kTextureSize, kTextureSize), {.quality = 92});
}

}  // namespace

Files MakePictures() {
  return {{"picture.x", MeshFileBytes(PictureQuad())},
          {"pic_sentry.jpg", PictureFile(PaintSentry())},
          {"pic_waiting.jpg", PictureFile(PaintWaiting())},
          {"pic_greetings.jpg", PictureFile(PaintGreetings())}};
}

}  // namespace datagen
