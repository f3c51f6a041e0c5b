// The chapel's texture atlas, shared by the chapel inside and outside: sixteen cells of
// plaster, roof tiles, stone, wood, glass and the altar's things.
#pragma once

#include "tools/datagen/canvas.h"
#include "tools/datagen/mesh_builder.h"

namespace datagen::chapel {

enum class Cell {
  kPlasterInside, kWhitewash, kRoofTiles, kStone,
  kFloor, kWood, kDarkWood, kCeiling,
  kLancetA, kLancetB, kRose, kWindowOutside,
  kAltarCloth, kGold, kRetable, kDoorOutside,
};

// The cell's rectangle in texture space, inset so that filtering stays inside it.
UvRect Rect(Cell cell);

// The whole atlas, 1024 x 1024. The first eight cells and the gold tile seamlessly.
Canvas PaintAtlas();

}  // namespace datagen::chapel
