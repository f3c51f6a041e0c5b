// Where things stand in the exterior world, shared by the meshes and textures that must agree
// on it: the ground height, the chapel, the monk's knoll and every tree of the orchard.
// World units, +z up; the cameras of the exterior shots pass along fixed paths, and the
// layout keeps clear of them.
#pragma once

#include <vector>

#include "tools/datagen/vec.h"

namespace datagen::world {

// The chapel: a bell tower centred here, the nave running south (-y) from it.
inline constexpr double kTowerX = 31.5, kTowerY = 24.0;
inline constexpr double kTowerHalf = 2.3;       // half the side of the tower's square
inline constexpr double kTowerTop = 16.8;       // top of the masonry
inline constexpr double kSpireTop = 20.2;       // tip of the pyramid roof
inline constexpr double kNaveHalfWidth = 4.2;   // x from kTowerX - 4.2 to kTowerX + 4.2
inline constexpr double kNaveSouth = 8.5;       // the south gable
inline constexpr double kNaveEaves = 6.2, kNaveRidge = 10.2;
inline constexpr double kChapelFloor = 1.0;     // ground level around the chapel

// The monk keeps watch on a small knoll north of the orchard, facing +y.
inline constexpr double kMonkX = -2.0, kMonkY = 33.0;
inline constexpr double kMonkGround = 1.62;

// The old tree.
inline constexpr double kOldTreeX = -19.3, kOldTreeY = -20.5;

// Height of the ground at (x, y). Gently rolling (0.3 to 1.7) within about 80 units of the
// origin, rising to hills beyond 150 and a ring of high hills towards the edge at 600.
double TerrainHeight(double x, double y);

// The extent of the terrain mesh: x and y from -kTerrainHalf to kTerrainHalf.
inline constexpr double kTerrainHalf = 640.0;

enum class TreeKind { kApple, kBlossom, kYoung, kOld };

struct Tree {
  double x, y;
  TreeKind kind;
  double height;   // top of the sprite above the ground
  double angle;    // rotation of the crossed quads, radians
  bool mirrored;   // sprite flipped left to right, for variety
};

// Every tree of the exterior, in a fixed order.
const std::vector<Tree>& Trees();

// Width of a tree's sprite for its height (the sprites are drawn in cells of this aspect).
double TreeWidth(const Tree& tree);

// The directions (radians) of the upright quads that show a tree, each through its middle:
// two crossed ones, three for the old tree.
std::vector<double> TreeQuadAngles(const Tree& tree);

}  // namespace datagen::world
