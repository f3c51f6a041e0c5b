#include "platform/win32/dialog_units.h"

#include <cstdint>

int MulDiv(int number, int numerator, int denominator) {
  if (denominator == 0) return -1;
  const std::int64_t product = static_cast<std::int64_t>(number) * numerator;
  // Round half away from zero, as Windows does.
  const bool negative = (product < 0) != (denominator < 0);
  const std::int64_t magnitude = product < 0 ? -product : product;
  const std::int64_t divisor =
      denominator < 0 ? -static_cast<std::int64_t>(denominator) : denominator;
  const std::int64_t rounded = (magnitude + divisor / 2) / divisor;
  return static_cast<int>(negative ? -rounded : rounded);
}

namespace win32 {

BaseUnits BaseUnitsFromMetrics(int widthOf52Letters, int fontHeight) {
  BaseUnits units;
  units.x = (widthOf52Letters / 26 + 1) / 2;
  units.y = fontHeight;
  return units;
}

RECT DialogRectToPixels(int x, int y, int cx, int cy, BaseUnits units) {
  RECT rect;
  rect.left = MulDiv(x, units.x, 4);
  rect.top = MulDiv(y, units.y, 8);
  rect.right = rect.left + MulDiv(cx, units.x, 4);
  rect.bottom = rect.top + MulDiv(cy, units.y, 8);
  return rect;
}

}  // namespace win32
