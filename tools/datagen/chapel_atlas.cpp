#include "tools/datagen/chapel_atlas.h"

#include <algorithm>

#include "tools/datagen/noise.h"

namespace datagen::chapel {
namespace {

constexpr int kCellSize = 256;
constexpr int kColumns = 4;

// Painting inside one cell, in the cell's own pixel coordinates.
class CellPainter {
 public:
  CellPainter(Canvas& canvas, Cell cell)
      : canvas_(canvas),
        x0_(static_cast<int>(cell) % kColumns * kCellSize),
        y0_(static_cast<int>(cell) / kColumns * kCellSize),
        mask_(kCellSize, kCellSize) {}

  void Shade(const std::function<Color(int x, int y)>& shader) {
    for (int y = 0; y < kCellSize; ++y)
      for (int x = 0; x < kCellSize; ++x) canvas_.Set(x0_ + x, y0_ + y, shader(x, y));
  }
  // Draws into a mask in cell coordinates, then mixes the colour in through it.
  void Fill(const std::function<void(Mask&)>& draw, const std::function<Color(int x, int y, Color under)>& color,
            double opacity = 1) {
    mask_.Clear();
    draw(mask_);
    for (int y = 0; y < kCellSize; ++y)
      for (int x = 0; x < kCellSize; ++x) {
        const double a = mask_.At(x, y) * opacity;
        if (a <= 0) continue;
        const Color under = canvas_.At(x0_ + x, y0_ + y);
        canvas_.Set(x0_ + x, y0_ + y, Mix(under, color(x, y, under), a));
      }
  }
  void Fill(const std::function<void(Mask&)>& draw, Color color, double opacity = 1) {
    Fill(draw, [color](int, int, Color) { return color; }, opacity);
  }
  Color At(int x, int y) const { return canvas_.At(x0_ + x, y0_ + y); }

 private:
  Canvas& canvas_;
  int x0_, y0_;
  Mask mask_;
};

// Tiling noise over the cell: `cells` lattice cells across it.
double TileNoise(double x, double y, int cells, std::uint64_t seed, int octaves = 1) {
  return Fbm2(x * cells / kCellSize, y * cells / kCellSize, seed, octaves, cells, cells);
}

// A pointed (Gothic) arch: straight sides from `bottom` up to `spring`, then two arcs that
// meet at `apex`. Pixel coordinates, y down.
std::vector<Point> PointedArch(double left, double right, double bottom, double spring, double apex) {
  std::vector<Point> points{{left, bottom}, {right, bottom}, {right, spring}};
  const double width = right - left;
  const double rise = spring - apex;
  const int steps = 24;
  if (rise < width / 2) {
    // Too low for a pointed arch: one segment of a circle through both springs and the apex.
    const double radius = (width * width / 4 + rise * rise) / (2 * rise);
    const Point center{(left + right) / 2, apex + radius};
    const double half = dm::Atan2(width / 2, radius - rise);
    for (int i = 1; i < 2 * steps; ++i) {
      const double a = half - 2 * half * i / (2 * steps);
      double s, c;
      dm::SinCos(a, s, c);
      points.push_back({center.x + radius * s, center.y - radius * c});
    }
  } else {
    // Each arc is centred on the springing line, on the far side, and passes the apex.
    const double radius = (width * width / 4 + rise * rise) / width;
    for (int i = 1; i <= steps; ++i) {
      const double dy = rise * i / steps;
      points.push_back({right - radius + dm::Sqrt(dm::Max(radius * radius - dy * dy, 0)), spring - dy});
    }
    for (int i = steps - 1; i >= 0; --i) {
      const double dy = rise * i / steps;
      points.push_back({left + radius - dm::Sqrt(dm::Max(radius * radius - dy * dy, 0)), spring - dy});
    }
  }
  points.push_back({left, spring});
  points.push_back({left, bottom});
  return points;
}

Color Plaster(int x, int y, Color base, std::uint64_t seed) {
  const double mottle = TileNoise(x, y, 4, seed, 3) - 0.5;
  const double grain = TileNoise(x, y, 64, seed + 7) - 0.5;
  return base * (1 + 0.07 * mottle + 0.03 * grain);
}

void PaintPlaster(Canvas& canvas) {
  CellPainter inside(canvas, Cell::kPlasterInside);
  inside.Shade([](int x, int y) { return Plaster(x, y, Hex(0xF2E8D4), 101); });
  CellPainter outside(canvas, Cell::kWhitewash);
  outside.Shade([](int x, int y) {
    Color c = Plaster(x, y, Hex(0xF4F0E6), 111);
    // Rain streaks: long vertical smears.
    const double streak = TileNoise(x, y * 0.125, 16, 112, 2);
    return c * (1 - 0.045 * dm::Smoothstep(0.55, 0.8, streak));
  });
}

void PaintRoofTiles(Canvas& canvas) {
  CellPainter cell(canvas, Cell::kRoofTiles);
  constexpr int kRows = 8, kPerRow = 6;
  const double rowH = kCellSize / static_cast<double>(kRows), tileW = kCellSize / static_cast<double>(kPerRow);
  cell.Shade([&](int x, int y) {
    const int row = static_cast<int>(y / rowH);
    const double offset = (row % 2) * tileW / 2;
    const double xs = x + offset;
    const int col = static_cast<int>(dm::Floor(xs / tileW)) % kPerRow;
    const double fx = xs / tileW - dm::Floor(xs / tileW);  // 0..1 across the tile
    const double fy = y / rowH - row;                      // 0 top .. 1 bottom of the row
    const double tone = Hash3(col, row, 0, 121);
    Color c = Mix(Hex(0xB0482C), Hex(0xCF7446), tone);
    c = Mix(c, Hex(0x8A4A34), 0.25 * Hash3(col, row, 1, 121));
    // Rounded lower edge: the tile's bottom is an arc; below it the tile underneath shows in
    // shadow.
    const double edge = 0.82 + 0.18 * dm::Sqrt(dm::Max(0.0, 1 - (2 * fx - 1) * (2 * fx - 1)));
    if (fy > edge) return Mix(Hex(0x5A2A1E), c, 0.3);
    // Curved surface: lighter in the middle, darker to the sides; shadow under the row above.
    const double curve = 1 - 0.25 * (2 * fx - 1) * (2 * fx - 1);
    const double overlap = 0.75 + 0.25 * dm::Smoothstep(0.0, 0.25, fy);
    const double grain = TileNoise(x, y, 32, 122) - 0.5;
    return c * (curve * overlap * (1 + 0.1 * grain));
  });
}

void PaintStone(Canvas& canvas) {
  CellPainter cell(canvas, Cell::kStone);
  constexpr int kRows = 4;
  const double rowH = kCellSize / static_cast<double>(kRows);
  cell.Shade([&](int x, int y) {
    const int row = static_cast<int>(y / rowH);
    const double blockW = kCellSize / 2.0;
    const double xs = x + (row % 2) * blockW / 2;
    const int col = static_cast<int>(dm::Floor(xs / blockW)) % 2;
    const double fx = xs / blockW - dm::Floor(xs / blockW), fy = y / rowH - row;
    const double mortar = dm::Min(dm::Min(fx, 1 - fx) * blockW, dm::Min(fy, 1 - fy) * rowH);
    const double tone = Hash3(col, row, 0, 131);
    Color c = Mix(Hex(0x9A958A), Hex(0xBAB2A0), tone);
    const double rough = TileNoise(x, y, 16, 132, 3) - 0.5;
    c = c * (1 + 0.18 * rough);
    // Bevelled edges: a light top-left, a dark bottom-right.
    if (mortar < 3) return Mix(Hex(0xD0C8B8), c, mortar / 3 * 0.5);
    if (fy < 0.06 || fx < 0.03) c = c * 1.08;
    if (fy > 0.94 || fx > 0.97) c = c * 0.85;
    return c;
  });
}

void PaintFloor(Canvas& canvas) {
  CellPainter cell(canvas, Cell::kFloor);
  cell.Shade([&](int x, int y) {
    const int col = x / 128, row = y / 128;
    const double fx = (x % 128) / 128.0, fy = (y % 128) / 128.0;
    const double joint = dm::Min(dm::Min(fx, 1 - fx), dm::Min(fy, 1 - fy)) * 128;
    const double tone = Hash3(col, row, 0, 141);
    Color c = Mix(Hex(0xB8AE98), Hex(0xD2C8B0), tone);
    c = Mix(c, Hex(0xA89C88), 0.3 * Hash3(col, row, 1, 141));
    const double wear = TileNoise(x, y, 8, 142, 3) - 0.5;
    const double speck = TileNoise(x, y, 128, 143) - 0.5;
    c = c * (1 + 0.14 * wear + 0.06 * speck);
    if (joint < 2.5) c = Mix(Hex(0x6A6256), c, joint / 2.5 * 0.6);
    return c;
  });
}

Color WoodGrain(int x, int y, Color light, Color dark, std::uint64_t seed, bool vertical) {
  const double along = vertical ? y : x, across = vertical ? x : y;
  const int plank = static_cast<int>(across / 32);
  const double warp = TileNoise(x, y, 4, seed, 2) * 6;
  const double rings = 0.5 + 0.5 * dm::Sin((across + warp + Hash3(plank, 0, 0, seed) * 40) * 0.9);
  const double streak = TileNoise(vertical ? x * 4.0 : along, vertical ? along : y * 4.0, 32, seed + 1) - 0.5;
  Color c = Mix(dark, light, 0.35 + 0.4 * rings + 0.3 * streak);
  c = c * (0.9 + 0.2 * Hash3(plank, 1, 0, seed));
  const double gap = dm::Min(dm::Fract(across / 32), 1 - dm::Fract(across / 32)) * 32;
  if (gap < 1.5) c = c * 0.55;
  return c;
}

void PaintWood(Canvas& canvas) {
  CellPainter light(canvas, Cell::kWood);
  light.Shade([](int x, int y) { return WoodGrain(x, y, Hex(0xB07A48), Hex(0x6A4426), 151, false); });
  CellPainter dark(canvas, Cell::kDarkWood);
  dark.Shade([](int x, int y) { return WoodGrain(x, y, Hex(0x6A4A32), Hex(0x36241A), 161, true); });
}

void PaintCeiling(Canvas& canvas) {
  CellPainter cell(canvas, Cell::kCeiling);
  cell.Shade([](int x, int y) {
    const double cloud = TileNoise(x, y, 4, 171, 3) - 0.5;
    return Hex(0x2E3E7E) * (1 + 0.12 * cloud);
  });
  // Gold stars on a staggered grid: the pattern tiles.
  cell.Fill([](Mask& m) {
    for (int j = 0; j < 4; ++j)
      for (int i = 0; i < 4; ++i) {
        const double cx = 32 + i * 64 + (j % 2) * 32, cy = 32 + j * 64;
        for (double ox : {0.0, -256.0}) {
          if (cx + ox < -20) continue;
          std::vector<Point> star;
          for (int k = 0; k < 16; ++k) {
            const double radius = k % 2 == 0 ? 11 : 4;
            double s, c;
            dm::SinCos(dm::kTwoPi * k / 16 - dm::kHalfPi, s, c);
            star.push_back({cx + ox + c * radius, cy + s * radius});
          }
          m.FillPolygon(star);
        }
      }
  }, [](int x, int y, Color) { return Mix(Hex(0xF0C860), Hex(0xFFE8A0), TileNoise(x, y, 32, 172)); });
}

// Stained glass: coloured panes between dark lead lines, inside a stone frame, on plaster.
Color GlassColor(int region) {
  static const std::uint32_t palette[] = {0x1E4AB8, 0xC82828, 0xE8B030, 0x2E8A4E,
                                          0x3A66D0, 0x9A2A6A, 0xF0D070, 0x1A3A90};
  return Hex(palette[region % 8]);
}

void PaintLancet(Canvas& canvas, Cell which, Color surround, bool medallions) {
  CellPainter cell(canvas, which);
  cell.Shade([&](int x, int y) { return Plaster(x, y, surround, 181); });
  const auto outer = PointedArch(58, 198, 250, 82, 6);
  const auto inner = PointedArch(72, 184, 240, 88, 22);
  cell.Fill([&](Mask& m) { m.FillPolygon(outer); }, [](int x, int y, Color) {
    return Hex(0xB8B0A0) * (0.9 + 0.2 * TileNoise(x, y, 32, 182));
  });
  // Panes: a region id per pixel from a pattern, then lead along region borders.
  auto region = [&](double x, double y) {
    const double cx = 128;
    if (medallions) {
      for (double my : {60.0, 130.0, 200.0}) {
        const double dx = x - cx, dy = y - my;
        const double d = dm::Sqrt(dx * dx + dy * dy);
        if (d < 26) return d < 12 ? 2 : 1 + static_cast<int>(my) % 3 * 2;
        if (d < 30) return 6;
      }
      return (static_cast<int>(dm::Floor((x + y) / 18)) + static_cast<int>(dm::Floor((x - y) / 18))) % 2 == 0 ? 0 : 7;
    }
    // A standing figure in a niche: robe, head with halo, on quarries of blue and red.
    const double dx = x - cx;
    if (y > 50 && y < 72 && dm::Abs(dx) < 12) return 6;                      // halo
    if (y > 70 && y < 86 && dm::Abs(dx) < 8) return 2;                       // head
    if (y > 86 && y < 225 && dm::Abs(dx) < 10 + (y - 86) * 0.22) return 3;   // robe
    if (y > 100 && y < 160 && dm::Abs(dx) < 30) return 5;                    // mantle
    return (static_cast<int>(dm::Floor(x / 20)) + static_cast<int>(dm::Floor(y / 24))) % 2 == 0 ? 0 : 4;
  };
  Mask glass(kCellSize, kCellSize);
  glass.FillPolygon(inner);
  cell.Fill([&](Mask& m) { m.FillPolygon(inner); }, [&](int x, int y, Color) {
    const int r = region(x + 0.5, y + 0.5);
    const bool lead = region(x - 1.5, y + 0.5) != r || region(x + 2.5, y + 0.5) != r ||
                      region(x + 0.5, y - 1.5) != r || region(x + 0.5, y + 2.5) != r;
    if (lead) return Hex(0x2A2622);
    // Old glass is uneven: brighter and darker streaks within each pane.
    const double wave = TileNoise(x, y * 0.5, 16, 183, 2);
    return GlassColor(r) * (0.8 + 0.45 * wave);
  });
}

void PaintRose(Canvas& canvas) {
  CellPainter cell(canvas, Cell::kRose);
  cell.Shade([&](int x, int y) { return Plaster(x, y, Hex(0xF2E8D4), 191); });
  const Point c{128, 128};
  cell.Fill([&](Mask& m) { m.FillCircle(c, 122); }, [](int x, int y, Color) {
    return Hex(0xB8B0A0) * (0.9 + 0.2 * TileNoise(x, y, 32, 192));
  });
  auto region = [&](double x, double y) {
    const double dx = x - c.x, dy = y - c.y;
    const double d = dm::Sqrt(dx * dx + dy * dy);
    const double a = dm::Atan2(dy, dx) / dm::kTwoPi * 12 + 12;
    const int petal = static_cast<int>(dm::Floor(a));
    if (d < 22) return 6;
    if (d < 28) return 9;  // lead ring
    if (d < 70) {
      const double f = dm::Fract(a) - 0.5;
      if (dm::Abs(f) * d < 3.5) return 9;
      return petal % 2 == 0 ? 0 : 1;
    }
    if (d < 75) return 9;
    if (d < 108) {
      const double f = dm::Fract(a * 2) - 0.5;
      if (dm::Abs(f) * d < 3.5) return 9;
      const int sub = static_cast<int>(dm::Floor(a * 2));
      return sub % 3 == 0 ? 2 : (sub % 3 == 1 ? 4 : 3);
    }
    return 7;
  };
  cell.Fill([&](Mask& m) { m.FillCircle(c, 112); }, [&](int x, int y, Color) {
    const int r = region(x + 0.5, y + 0.5);
    if (r == 9) return Hex(0x2A2622);
    const bool lead = region(x - 1.0, y + 0.5) != r || region(x + 2.0, y + 0.5) != r ||
                      region(x + 0.5, y - 1.0) != r || region(x + 0.5, y + 2.0) != r;
    if (lead) return Hex(0x2A2622);
    return GlassColor(r) * (0.8 + 0.45 * TileNoise(x, y, 16, 193, 2));
  });
}

void PaintWindowOutside(Canvas& canvas) {
  CellPainter cell(canvas, Cell::kWindowOutside);
  cell.Shade([&](int x, int y) { return Plaster(x, y, Hex(0xF4F0E6), 201); });
  cell.Fill([&](Mask& m) { m.FillPolygon(PointedArch(56, 200, 252, 84, 4)); }, [](int x, int y, Color) {
    return Hex(0xA8A296) * (0.9 + 0.2 * TileNoise(x, y, 32, 202));
  });
  // Leaded diamond quarries, dark, with the warm light of candles inside low in the window.
  cell.Fill([&](Mask& m) { m.FillPolygon(PointedArch(72, 184, 240, 90, 22)); }, [](int x, int y, Color) {
    const double a = dm::Fract((x + y) / 22.0), b = dm::Fract((x - y) / 22.0);
    if (dm::Min(dm::Min(a, 1 - a), dm::Min(b, 1 - b)) * 22 < 1.3) return Hex(0x1A1818);
    const double glow = dm::Smoothstep(90, 240, y);
    Color c = Mix(Hex(0x2A3A5A), Hex(0xE8A050), glow * 0.75);
    return c * (0.85 + 0.3 * TileNoise(x, y, 16, 203));
  });
}

void PaintAltarCloth(Canvas& canvas) {
  CellPainter cell(canvas, Cell::kAltarCloth);
  cell.Shade([](int x, int y) {
    const double weave = 0.97 + 0.03 * ((x + y) % 2);
    const double fold = 0.94 + 0.06 * dm::Sin(x * 0.15);
    Color c = Hex(0xF4F0E8) * (weave * fold);
    if (y > 200 && y < 236) c = Mix(Hex(0xC89838), Hex(0xE8C060), TileNoise(x, y, 32, 211));  // border
    if ((y > 196 && y < 200) || (y > 236 && y < 240)) c = Hex(0xA02020);
    return c;
  });
  // A cross in the middle of the front.
  cell.Fill([](Mask& m) {
    m.FillPolygon({{120, 50}, {136, 50}, {136, 170}, {120, 170}});
    m.FillPolygon({{90, 86}, {166, 86}, {166, 102}, {90, 102}});
  }, [](int x, int y, Color) { return Mix(Hex(0xC89838), Hex(0xF0D070), TileNoise(x, y, 32, 212)); });
}

void PaintGold(Canvas& canvas) {
  CellPainter cell(canvas, Cell::kGold);
  cell.Shade([](int x, int y) {
    const double brushed = TileNoise(x, y * 0.25, 32, 221, 2);
    const double glint = TileNoise(x, y, 8, 222, 2);
    return Mix(Hex(0x9A6A24), Hex(0xF0C860), 0.3 + 0.5 * brushed + 0.3 * dm::Smoothstep(0.6, 0.8, glint));
  });
}

void PaintRetable(Canvas& canvas) {
  CellPainter cell(canvas, Cell::kRetable);
  // Gilded ground with a punched pattern.
  cell.Shade([](int x, int y) {
    const double punch = ((x / 6 + y / 6) % 2 == 0) ? 1.04 : 0.97;
    return Mix(Hex(0xB08030), Hex(0xE8C060), TileNoise(x, y, 16, 231, 2)) * punch;
  });
  // Three arched panels; a figure in each: the middle one standing with a halo, the others
  // turned towards it.
  const double lefts[] = {10, 92, 174}, widths[] = {72, 72, 72};
  for (int p = 0; p < 3; ++p) {
    const double l = lefts[p], w = widths[p];
    const double top = p == 1 ? 16 : 46;
    cell.Fill([&](Mask& m) { m.FillPolygon(PointedArch(l, l + w, 246, top + 40, top)); },
              [&](int x, int y, Color) {
                return Mix(Hex(0x2A4A9A), Hex(0x6A8ACA), dm::Smoothstep(246, top, y)) *
                       (0.9 + 0.2 * TileNoise(x, y, 16, 232));
              });
    const double cx = l + w / 2;
    const double headY = p == 1 ? 78 : 104;
    cell.Fill([&](Mask& m) { m.FillCircle({cx, headY}, 13); }, Hex(0xF0C860));  // halo
    cell.Fill([&](Mask& m) {
      m.FillPolygon({{cx - 10, headY + 14}, {cx + 10, headY + 14}, {cx + 20, 238}, {cx - 20, 238}});
    }, p == 1 ? Hex(0xE8E0D0) : Hex(0xA02A2A));  // robe
    cell.Fill([&](Mask& m) {
      m.FillPolygon({{cx - 12, headY + 18}, {cx + 12, headY + 18}, {cx + 16, 180}, {cx - 16, 180}});
    }, p == 1 ? Hex(0xB02828) : Hex(0x2A3A8A), 0.9);  // mantle
    cell.Fill([&](Mask& m) { m.FillEllipse({cx, headY}, 7, 9); }, Hex(0xE0B090));  // face
  }
}

void PaintDoorOutside(Canvas& canvas) {
  CellPainter cell(canvas, Cell::kDoorOutside);
  // Stone surround, then the arched door of dark planks with iron straps.
  cell.Shade([](int x, int y) { return Hex(0xA8A296) * (0.9 + 0.2 * TileNoise(x, y, 16, 241, 2)); });
  const auto arch = PointedArch(34, 222, 256, 96, 20);
  cell.Fill([&](Mask& m) { m.FillPolygon(arch); },
            [](int x, int y, Color) { return WoodGrain(x, y, Hex(0x6A4A32), Hex(0x34221A), 242, true); });
  cell.Fill([](Mask& m) {
    for (double y : {80.0, 150.0, 220.0}) m.FillPolygon({{40, y}, {216, y}, {216, y + 8}, {40, y + 8}});
    m.FillCircle({176, 170}, 7);
  }, Hex(0x2A2A2C));
}

}  // namespace

UvRect Rect(Cell cell) {
  const int index = static_cast<int>(cell);
  return AtlasCell(index % kColumns, index / kColumns, kColumns, kColumns, 0.008);
}

Canvas PaintAtlas() {
  Canvas canvas(kCellSize * kColumns, kCellSize * kColumns);
  PaintPlaster(canvas);
  PaintRoofTiles(canvas);
  PaintStone(canvas);
  PaintFloor(canvas);
  PaintWood(canvas);
  PaintCeiling(canvas);
  PaintLancet(canvas, Cell::kLancetA, Hex(0xF2E8D4), true);
  PaintLancet(canvas, Cell::kLancetB, Hex(0xF2E8D4), false);
  PaintRose(canvas);
  PaintWindowOutside(canvas);
  PaintAltarCloth(canvas);
  PaintGold(canvas);
  PaintRetable(canvas);
  PaintDoorOutside(canvas);
  return canvas;
}

}  // namespace datagen::chapel
