// Dialog units and the base units of a dialog's font. A horizontal dialog unit is a quarter
// of the font's average character width, a vertical one an eighth of its height.
#pragma once

#include "platform/win32/win32.h"

namespace win32 {

struct BaseUnits {
  int x = 6;  // classic values of an 8-point sans-serif font at 96 DPI
  int y = 13;
};

// GDI's recipe: baseX = (width of "A".."Z" "a".."z" / 26 + 1) / 2, in integers; baseY is the
// font's height (ascent plus descent).
BaseUnits BaseUnitsFromMetrics(int widthOf52Letters, int fontHeight);

// The pixel rectangle of x, y, cx, cy dialog units (left, top, right, bottom), each term
// converted with MulDiv, so halves round up.
RECT DialogRectToPixels(int x, int y, int cx, int cy, BaseUnits units);

}  // namespace win32
