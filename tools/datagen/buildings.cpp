// The chapel, inside and out. The two are separate models that never meet on screen: the
// nave inside is larger than the building outside, because the interior shots circle wide
// around the statues in the middle of the nave.
//
// Both are textured from one atlas. The scene materials light the chapel dimly (the inside
// gets an eighth of the light's diffuse colour), so every vertex carries a colour that takes
// the place of the material's diffuse colour: near white, darker where light would not reach
// (low down, in corners), which lets the rooms read at all.
#include "tools/datagen/assets.h"
#include "tools/datagen/chapel_atlas.h"
#include "tools/datagen/jpeg_encoder.h"
#include "tools/datagen/mesh_builder.h"
#include "tools/datagen/world.h"

namespace datagen {
namespace {

using chapel::Cell;
using chapel::Rect;
using PP = MeshBuilder::PlanePoint;

const Vec3 kX{1, 0, 0}, kY{0, 1, 0}, kZ{0, 0, 1};
const Vec3 kDown{0, 0, -1};

// An upright wall: u along `along` (unit), v downwards; the outline in (distance along,
// -height) coordinates relative to `origin`.
void Wall(MeshBuilder& m, Vec3 origin, Vec3 along, Vec3 normal, const std::vector<PP>& outline,
          Cell cell, double repeat, double maxCell) {
  m.Polygon(origin, along, kDown, normal, outline, Rect(cell), repeat, repeat, maxCell);
}

std::vector<PP> Rectangle(double s0, double s1, double z0, double z1) {
  return {{s0, -z0}, {s1, -z0}, {s1, -z1}, {s0, -z1}};
}

// A flat picture (window, door, painting) standing just in front of a wall: centre, width
// and height, facing `normal`; the cell stretched once over it.
void Picture(MeshBuilder& m, Vec3 center, Vec3 normal, double width, double height, Cell cell,
             double maxCell = 1.0) {
  const Vec3 right = Normalize(Cross(normal, kZ));  // u runs to the viewer's left? see below
  // Seen from the front (looking along -normal) with z up, the viewer's right is
  // cross(-normal, z) = -right; u must grow towards the viewer's right.
  const Vec3 viewerRight = -right;
  const Vec3 topLeft = center - viewerRight * (width / 2) + kZ * (height / 2);
  m.Panel(topLeft, viewerRight * width, kDown * height, normal, Rect(cell), 0, 0, maxCell);
}

// ---- the inside -----------------------------------------------------------------------

constexpr double kHalfWidth = 11.5;
constexpr double kSouth = -10.5, kNorth = 14.5;
constexpr double kWallTop = 11.0, kRidge = 16.5;

void Pew(MeshBuilder& m, double x0, double x1, double y) {
  const UvRect wood = Rect(Cell::kWood), dark = Rect(Cell::kDarkWood);
  // Seat, back rest (leaning a little), and the two end boards; the pew faces +y.
  m.Box({x0, y, 0.42}, {x1, y + 0.48, 0.5}, wood, 1.2, 1.0);
  m.Beam({x0, y - 0.02, 0.55}, {x1, y - 0.02, 0.55}, {0, 0.15, 1}, 0.08, 0.1, wood, 1.2, 1.0);
  m.Panel({x0, y - 0.08, 1.05}, {x1 - x0, 0, 0}, {0, 0.06, -0.5}, {0, 1, 0}, wood, 1.2, 0, 1.0);
  m.Panel({x1, y - 0.14, 1.05}, {x0 - x1, 0, 0}, {0, 0.06, -0.5}, {0, -1, 0}, wood, 1.2, 0, 1.0);
  m.Box({x0, y - 0.14, 1.0}, {x1, y - 0.02, 1.08}, wood, 1.2, 1.0);
  for (double x : {x0 - 0.06, x1 - 0.02}) m.Box({x, y - 0.2, 0}, {x + 0.08, y + 0.55, 1.12}, dark, 1.0, 1.0);
}

void CandleStand(MeshBuilder& m, Vec3 base, double height) {
  const UvRect gold = Rect(Cell::kGold);
  const double h = height;
  m.Lathe(base, {{0.0, 0.0}, {0.22, 0.0}, {0.2, 0.06}, {0.07, 0.14}, {0.045, 0.3 * h}, {0.07, 0.34 * h},
                 {0.035, 0.4 * h}, {0.03, 0.92 * h}, {0.12, 0.96 * h}, {0.1, h}, {0.0, h}},
          12, gold);
  m.Lathe(base + Vec3{0, 0, h}, {{0.045, 0.0}, {0.045, 0.5}, {0.0, 0.52}}, 10, Rect(Cell::kPlasterInside));
  m.Lathe(base + Vec3{0, 0, h + 0.52}, {{0.0, 0.0}, {0.03, 0.04}, {0.02, 0.1}, {0.0, 0.15}}, 8, gold);
}

xfile::Mesh Interior() {
  MeshBuilder m;
  m.AddMaterial("kapelle_gesamt2.jpg");
  // Light that the room would hold: darker near the floor and the corners.
  m.SetVertexShader([](Vec3 p, Vec3) {
    const double wall = dm::Min(dm::Min(kHalfWidth - dm::Abs(p.x), p.y - kSouth), kNorth - p.y);
    const double f = (1 - 0.32 * dm::Exp(-p.z / 1.3)) * (1 - 0.22 * dm::Exp(-dm::Max(wall, 0) / 1.6));
    return Rgb{f, f * 0.97, f * 0.92};
  });

  // Floor, walls, gables.
  m.Polygon({0, 0, 0}, kX, kY, kZ, {{-kHalfWidth, kSouth}, {kHalfWidth, kSouth}, {kHalfWidth, kNorth}, {-kHalfWidth, kNorth}},
            Rect(Cell::kFloor), 2.4, 2.4, 1.2);
  for (int side = -1; side <= 1; side += 2) {
    Wall(m, {side * kHalfWidth, 0, 0}, kY * -side, kX * -side,
         Rectangle(side > 0 ? -kNorth : kSouth, side > 0 ? -kSouth : kNorth, 0, kWallTop),
         Cell::kPlasterInside, 2.5, 1.25);
  }
  const std::vector<PP> gable{{-kHalfWidth, 0}, {kHalfWidth, 0}, {kHalfWidth, -kWallTop}, {0, -kRidge}, {-kHalfWidth, -kWallTop}};
  Wall(m, {0, kSouth, 0}, kX, kY, gable, Cell::kPlasterInside, 2.5, 1.25);
  std::vector<PP> mirrored;
  for (const PP& p : gable) mirrored.push_back({-p.s, p.t});
  Wall(m, {0, kNorth, 0}, -kX, -kY, mirrored, Cell::kPlasterInside, 2.5, 1.25);

  // A stone skirting round the walls.
  const UvRect stone = Rect(Cell::kStone);
  m.Box({-kHalfWidth, kSouth, 0}, {-kHalfWidth + 0.1, kNorth, 0.7}, stone, 1.4, 1.2, 2 | 32);
  m.Box({kHalfWidth - 0.1, kSouth, 0}, {kHalfWidth, kNorth, 0.7}, stone, 1.4, 1.2, 1 | 32);
  m.Box({-kHalfWidth, kSouth, 0}, {kHalfWidth, kSouth + 0.1, 0.7}, stone, 1.4, 1.2, 8 | 32);
  m.Box({-kHalfWidth, kNorth - 0.1, 0}, {kHalfWidth, kNorth, 0.7}, stone, 1.4, 1.2, 4 | 32);

  // The ceiling: two slopes painted blue with gold stars, rafters and a ridge beam.
  const double slope = dm::Sqrt(kHalfWidth * kHalfWidth + (kRidge - kWallTop) * (kRidge - kWallTop));
  for (int side = -1; side <= 1; side += 2) {
    const Vec3 up = Normalize({-side * kHalfWidth, 0, kRidge - kWallTop});
    const Vec3 normal = Normalize({-side * (kRidge - kWallTop), 0, -kHalfWidth});
    m.Polygon({side * kHalfWidth, 0, kWallTop}, kY, up, normal,
              {{kSouth, 0}, {kNorth, 0}, {kNorth, slope}, {kSouth, slope}}, Rect(Cell::kCeiling), 3.0, 3.0, 1.5);
    for (double y = kSouth + 1.25; y < kNorth; y += 2.5)
      m.Beam(Vec3{side * kHalfWidth, y, kWallTop} + normal * 0.14, Vec3{0, y, kRidge} + normal * 0.14, -normal,
             0.22, 0.28, Rect(Cell::kDarkWood), 2.0, 2.0);
  }
  m.Beam({0, kSouth, kRidge - 0.2}, {0, kNorth, kRidge - 0.2}, kZ, 0.35, 0.35, Rect(Cell::kDarkWood), 2.0, 2.0);
  // The beam across the chancel, high enough for the cameras that circle below it, and a
  // cross on it.
  m.Beam({-kHalfWidth, 10.5, 11.45}, {kHalfWidth, 10.5, 11.45}, kZ, 0.4, 0.45, Rect(Cell::kDarkWood), 2.0, 1.5);
  m.Beam({0, 10.5, 11.65}, {0, 10.5, 14.4}, kY, 0.2, 0.2, Rect(Cell::kGold), 1.0, 1.0);
  m.Beam({-0.85, 10.5, 13.5}, {0.85, 10.5, 13.5}, kZ, 0.2, 0.2, Rect(Cell::kGold), 1.0, 1.0);

  // Windows: stained-glass lancets along both sides, a rose over the altar and one over the
  // door. Their glass keeps its full colour.
  m.SetVertexColor({1, 1, 1});
  int alternate = 0;
  for (int side = -1; side <= 1; side += 2)
    for (double y : {-7.5, -2.5, 2.5, 7.5}) {
      Picture(m, {side * (kHalfWidth - 0.03), y, 6.0}, kX * -side, 4.2, 6.2,
              (alternate++ % 2) ? Cell::kLancetB : Cell::kLancetA);
    }
  Picture(m, {0, kNorth - 0.03, 9.2}, -kY, 5.2, 5.2, Cell::kRose);
  Picture(m, {0, kSouth + 0.03, 8.6}, kY, 4.6, 4.6, Cell::kRose);
  // A rosette of coloured stone let into the floor of the aisle before the altar rows.
  m.Panel({-1.3, 6.2, 0.012}, {2.6, 0, 0}, {0, -2.6, 0}, kZ, Rect(Cell::kRose), 0, 0, 0.65);
  m.SetVertexShader([](Vec3 p, Vec3) {
    const double f = 1 - 0.3 * dm::Exp(-p.z / 1.3);
    return Rgb{f, f * 0.97, f * 0.92};
  });
  // Stone sills under the lancets.
  for (int side = -1; side <= 1; side += 2)
    for (double y : {-7.5, -2.5, 2.5, 7.5}) {
      const double x = side * kHalfWidth;
      m.Box({dm::Min(x, x - side * 0.25), y - 1.4, 2.85}, {dm::Max(x, x - side * 0.25), y + 1.4, 3.05}, stone, 1.4, 1.0);
    }

  // The door in the south wall, with a stone frame.
  Picture(m, {0, kSouth + 0.04, 2.2}, kY, 2.8, 4.4, Cell::kDarkWood);
  m.Box({-1.7, kSouth, 0}, {-1.4, kSouth + 0.2, 4.7}, stone, 1.4, 1.0);
  m.Box({1.4, kSouth, 0}, {1.7, kSouth + 0.2, 4.7}, stone, 1.4, 1.0);
  m.Box({-1.7, kSouth, 4.4}, {1.7, kSouth + 0.2, 4.8}, stone, 1.4, 1.0);

  // The sanctuary: a raised floor, the altar with its cloth, candles, the painted retable
  // against the end wall, and two lamps hanging in front, beyond the widest circle of the
  // cameras round the statues.
  m.Box({-6, 10.8, 0}, {6, kNorth, 0.3}, stone, 1.4, 1.2, 1 | 2 | 4 | 32);
  m.Box({-4, 10.3, 0}, {4, 10.8, 0.15}, stone, 1.4, 1.2, 1 | 2 | 4 | 32);
  m.Box({-1.8, 12.2, 0.3}, {1.8, 13.2, 1.35}, Rect(Cell::kAltarCloth), 0, 1.0, 1 | 2 | 4 | 8);
  m.Box({-2.0, 12.1, 1.35}, {2.0, 13.3, 1.47}, stone, 1.4, 1.0);
  for (int side = -1; side <= 1; side += 2) {
    CandleStand(m, {side * 1.35, 12.7, 1.47}, 0.45);
    CandleStand(m, {side * 2.9, 11.5, 0.3}, 1.6);
  }
  Picture(m, {0, 13.98, 3.95}, -kY, 7.2, 5.0, Cell::kRetable, 0.8);
  const UvRect gold = Rect(Cell::kGold);
  m.Box({-3.6, 14.0, 1.45}, {3.6, kNorth, 6.45}, gold, 1.0, 1.0, 1 | 2 | 32);
  m.Box({-3.85, 13.85, 1.25}, {3.85, kNorth, 1.5}, gold, 1.0, 1.0);
  m.Box({-3.85, 13.85, 6.4}, {3.85, kNorth, 6.75}, gold, 1.0, 1.0);
  for (double x : {-3.85, -1.35, 1.1, 3.6}) m.Box({x, 13.85, 1.5}, {x + 0.25, kNorth, 6.4}, gold, 1.0, 1.0);
  for (double x : {-3.72, -1.22, 1.22, 3.72}) {
    const double tall = dm::Abs(x) < 2 ? 1.3 : 0.8;
    m.Lathe({x, 14.15, 6.75}, {{0.16, 0.0}, {0.16, 0.12}, {0.1, 0.16}, {0.0, tall}}, 8, gold);
  }
  m.Lathe({0, 14.15, 6.75}, {{0.25, 0.0}, {0.22, 0.2}, {0.12, 0.3}, {0.0, 1.8}}, 8, gold);
  for (int side = -1; side <= 1; side += 2) {
    const double x = side * 2.2, y = 11.3;
    const double ceiling = kWallTop + (kHalfWidth - dm::Abs(x)) * (kRidge - kWallTop) / kHalfWidth;
    m.Beam({x, y, ceiling}, {x, y, 7.05}, kY, 0.05, 0.05, gold, 1.0, 2.0);
    m.Lathe({x, y, 6.2}, {{0.0, 0.0}, {0.1, 0.05}, {0.32, 0.35}, {0.36, 0.62}, {0.3, 0.72}, {0.12, 0.8}, {0.05, 0.86}},
            12, gold);
    m.Lathe({x, y, 6.95}, {{0.06, 0.0}, {0.05, 0.12}, {0.0, 0.2}}, 8, Rect(Cell::kPlasterInside));
  }

  // Pews: behind the statues, and a few rows between them and the altar.
  for (int side = -1; side <= 1; side += 2) {
    const double x0 = side < 0 ? -9.6 : 1.8, x1 = side < 0 ? -1.8 : 9.6;
    for (double y = -9.0; y <= -1.4; y += 1.5) Pew(m, x0, x1, y);
    for (double y = 4.8; y <= 8.0; y += 1.6) Pew(m, x0, x1, y);
  }

  // The plinth of the statue group.
  m.Lathe({-0.15, 1.75, 0}, {{1.2, 0.0}, {1.2, 0.22}, {1.05, 0.32}, {0.95, 0.4}, {0.93, 1.28},
                             {1.05, 1.36}, {1.1, 1.46}, {1.05, 1.5}, {0.0, 1.5}},
          8, stone, dm::kPi / 8, dm::kTwoPi, 4);
  return m.Build();
}

// ---- the outside ----------------------------------------------------------------------

xfile::Mesh Exterior() {
  using namespace world;
  MeshBuilder m;
  m.AddMaterial("kapelle_gesamt2.jpg");
  m.SetVertexShader([](Vec3 p, Vec3) {
    const double f = 1 - 0.25 * dm::Exp(-(p.z - kChapelFloor) / 1.5);
    return Rgb{f, f, f};
  });
  const double base = 0.2;
  const UvRect stone = Rect(Cell::kStone);
  const double x0 = kTowerX - kNaveHalfWidth, x1 = kTowerX + kNaveHalfWidth;
  const double tx0 = kTowerX - kTowerHalf, tx1 = kTowerX + kTowerHalf;
  const double ty0 = kTowerY - kTowerHalf, ty1 = kTowerY + kTowerHalf;

  // Nave walls and gables.
  Wall(m, {x0, 0, 0}, -kY, -kX, Rectangle(-ty0, -kNaveSouth, base, kNaveEaves), Cell::kWhitewash, 2.5, 1.25);
  Wall(m, {x1, 0, 0}, kY, kX, Rectangle(kNaveSouth, ty0, base, kNaveEaves), Cell::kWhitewash, 2.5, 1.25);
  const std::vector<PP> gable{{x0, -base}, {x1, -base}, {x1, -kNaveEaves}, {kTowerX, -kNaveRidge}, {x0, -kNaveEaves}};
  Wall(m, {0, kNaveSouth, 0}, kX, -kY, gable, Cell::kWhitewash, 2.5, 1.25);
  std::vector<PP> north;
  for (const PP& p : gable) north.push_back({-p.s, p.t});
  Wall(m, {0, ty0, 0}, -kX, kY, north, Cell::kWhitewash, 2.5, 1.25);
  // Plinth and buttresses.
  m.Box({x0 - 0.1, kNaveSouth - 0.1, base}, {x1 + 0.1, ty0, 1.5}, stone, 1.4, 1.2, 1 | 2 | 4 | 32);
  for (double y : {kNaveSouth + 0.4, 13.2, 17.0})
    for (int side = -1; side <= 1; side += 2) {
      const double x = side < 0 ? x0 : x1;
      m.Box({dm::Min(x, x + side * 0.7), y - 0.35, base}, {dm::Max(x, x + side * 0.7), y + 0.35, 3.9}, stone, 1.4, 1.0, 63 & ~(side < 0 ? 2 : 1));
    }
  // Windows along the sides and a round one in the south gable.
  for (double y : {11.3, 15.1, 18.9}) {
    Picture(m, {x0 - 0.03, y, 3.9}, -kX, 2.6, 3.4, Cell::kWindowOutside);
    Picture(m, {x1 + 0.03, y, 3.9}, kX, 2.6, 3.4, Cell::kWindowOutside);
  }
  Picture(m, {kTowerX, kNaveSouth - 0.03, 7.5}, -kY, 2.2, 2.2, Cell::kRose);

  // Roof: two slopes of tiles with a little overhang, boards along the edges.
  const double eaveX = kNaveHalfWidth + 0.6, eaveZ = kNaveEaves - 0.3;
  const double ridgeZ = kNaveRidge + 0.25;
  const double slopeLength = dm::Sqrt(eaveX * eaveX + (ridgeZ - eaveZ) * (ridgeZ - eaveZ));
  for (int side = -1; side <= 1; side += 2) {
    const Vec3 up = Normalize({-side * eaveX, 0, ridgeZ - eaveZ});
    const Vec3 normal = Normalize({side * (ridgeZ - eaveZ), 0, eaveX});
    const Vec3 origin{kTowerX + side * eaveX, 0, eaveZ};
    m.Polygon(origin, kY, up, normal, {{kNaveSouth - 0.5, 0}, {ty0, 0}, {ty0, slopeLength}, {kNaveSouth - 0.5, slopeLength}},
              Rect(Cell::kRoofTiles), 2.0, 2.0, 1.5);
    // The underside, seen from below the eaves.
    m.Polygon(origin - normal * 0.12, kY, up, -normal, {{kNaveSouth - 0.5, 0}, {ty0, 0}, {ty0, slopeLength}, {kNaveSouth - 0.5, slopeLength}},
              Rect(Cell::kDarkWood), 2.0, 2.0, 2.0);
    m.Beam(origin + Vec3{0, kNaveSouth - 0.5, 0} - normal * 0.06, origin + Vec3{0, ty0, 0} - normal * 0.06, normal, 0.12, 0.22,
           Rect(Cell::kDarkWood), 2.0, 2.0);
    m.Beam(origin + Vec3{0, kNaveSouth - 0.5, 0} - normal * 0.06, Vec3{kTowerX, kNaveSouth - 0.5, ridgeZ} - normal * 0.06,
           Vec3{0, -1, 0}, 0.12, 0.25, Rect(Cell::kDarkWood), 2.0, 2.0);
  }
  m.Beam({kTowerX, kNaveSouth - 0.5, ridgeZ + 0.05}, {kTowerX, ty0, ridgeZ + 0.05}, kZ, 0.3, 0.2, Rect(Cell::kRoofTiles), 1.0, 1.5);

  // The tower: walls, stone corners, bands, belfry openings, door and windows.
  Wall(m, {tx0, 0, 0}, -kY, -kX, Rectangle(-ty1, -ty0, base, kTowerTop), Cell::kWhitewash, 2.5, 1.25);
  Wall(m, {tx1, 0, 0}, kY, kX, Rectangle(ty0, ty1, base, kTowerTop), Cell::kWhitewash, 2.5, 1.25);
  Wall(m, {0, ty0, 0}, kX, -kY, Rectangle(tx0, tx1, base, kTowerTop), Cell::kWhitewash, 2.5, 1.25);
  Wall(m, {0, ty1, 0}, -kX, kY, Rectangle(-tx1, -tx0, base, kTowerTop), Cell::kWhitewash, 2.5, 1.25);
  for (double cx : {tx0, tx1})
    for (double cy : {ty0, ty1})
      m.Box({cx - 0.32, cy - 0.32, base}, {cx + 0.32, cy + 0.32, kTowerTop}, stone, 1.2, 1.2, 1 | 2 | 4 | 8);
  m.Box({tx0 - 0.12, ty0 - 0.12, base}, {tx1 + 0.12, ty1 + 0.12, 1.7}, stone, 1.4, 1.2, 1 | 2 | 8 | 32);
  m.Box({tx0 - 0.4, ty0 - 0.4, 12.45}, {tx1 + 0.4, ty1 + 0.4, 12.75}, stone, 1.4, 1.2);
  m.Box({tx0 - 0.5, ty0 - 0.5, kTowerTop - 0.3}, {tx1 + 0.5, ty1 + 0.5, kTowerTop + 0.1}, stone, 1.4, 1.2);
  Picture(m, {kTowerX, ty1 + 0.03, 14.55}, kY, 1.8, 2.7, Cell::kDoorOutside);
  Picture(m, {kTowerX, ty0 - 0.03, 14.55}, -kY, 1.8, 2.7, Cell::kDoorOutside);
  Picture(m, {tx1 + 0.03, kTowerY, 14.55}, kX, 1.8, 2.7, Cell::kDoorOutside);
  Picture(m, {tx0 - 0.03, kTowerY, 14.55}, -kX, 1.8, 2.7, Cell::kDoorOutside);
  Picture(m, {tx1 + 0.03, kTowerY, 8.8}, kX, 1.3, 2.0, Cell::kWindowOutside);
  Picture(m, {tx0 - 0.03, kTowerY, 8.8}, -kX, 1.3, 2.0, Cell::kWindowOutside);
  Picture(m, {kTowerX, ty1 + 0.03, 8.8}, kY, 1.3, 2.0, Cell::kWindowOutside);
  Picture(m, {kTowerX, ty1 + 0.03, kChapelFloor + 1.55}, kY, 2.2, 3.1, Cell::kDoorOutside);
  m.Box({kTowerX - 1.5, ty1, base}, {kTowerX + 1.5, ty1 + 0.8, kChapelFloor + 0.12}, stone, 1.4, 1.0, 2 | 1 | 8 | 32);
  m.Box({kTowerX - 1.45, ty1, kChapelFloor}, {kTowerX - 1.15, ty1 + 0.12, kChapelFloor + 3.3}, stone, 1.4, 1.0);
  m.Box({kTowerX + 1.15, ty1, kChapelFloor}, {kTowerX + 1.45, ty1 + 0.12, kChapelFloor + 3.3}, stone, 1.4, 1.0);

  // The spire: four tiled faces up to the tip, and a gilt cross.
  const double eave = kTowerHalf + 0.7, spireBase = kTowerTop + 0.05;
  const Vec3 tip{kTowerX, kTowerY, kSpireTop};
  for (int face = 0; face < 4; ++face) {
    const double angle = face * dm::kHalfPi;
    const Vec3 out = RotateZ({0, -1, 0}, angle);
    const Vec3 along = RotateZ({1, 0, 0}, angle);
    const Vec3 left = Vec3{kTowerX, kTowerY, spireBase} + out * eave - along * eave;
    const Vec3 mid = Vec3{kTowerX, kTowerY, spireBase} + out * eave;
    const Vec3 up = Normalize(tip - mid);
    const double rise = Length(tip - mid);
    const Vec3 normal = Normalize(Cross(along, up));
    m.Polygon(left, along, up, normal, {{0, 0}, {2 * eave, 0}, {eave, rise}}, Rect(Cell::kRoofTiles), 1.6, 1.6, 1.2);
    m.Polygon(left + kZ * -0.12, along, up, -normal, {{0, 0}, {2 * eave, 0}, {eave, rise}}, Rect(Cell::kDarkWood), 0, 0, 2.0);
  }
  m.Beam(tip - kZ * 0.2, tip + kZ * 1.3, kY, 0.12, 0.12, Rect(Cell::kGold), 1.0, 1.0);
  m.Beam(tip + Vec3{-0.4, 0, 0.85}, tip + Vec3{0.4, 0, 0.85}, kZ, 0.1, 0.1, Rect(Cell::kGold), 1.0, 1.0);

  // The evening light comes from high in the north; walls turned away from it would be black
  // under the chapel material, whose ambient part is small. Leaning every normal towards the
  // light stands in for the light of the sky: the north side stays brightest, the south side
  // darkest, and every side reads.
  xfile::Mesh mesh = m.Build();
  const Vec3 toLight = Normalize(Vec3{50, 300, 300} - Vec3{kTowerX, 18, 6});
  for (auto& v : mesh.vertices) {
    const Vec3 n = Normalize(Vec3{v.normal.x, v.normal.y, v.normal.z} + toLight * 0.9);
    v.normal = {static_cast<float>(n.x), static_cast<float>(n.y), static_cast<float>(n.z)};
  }
  return mesh;
}

}  // namespace

Files MakeBuildings() {
  return {{"kapelle_innen.x", MeshFileBytes(Interior())},
          {"kapelle.x", MeshFileBytes(Exterior())},
          {"kapelle_gesamt2.jpg", EncodeJpeg(chapel::PaintAtlas(), {.quality = 90})}};
}

}  // namespace datagen
