// A contact sheet: frames laid out in a grid, each with a caption under it.
#pragma once

#include <string>
#include <vector>

#include "platform/d3dx/image.h"

namespace orchard {

// The frames must share one size. Rows fill left to right, `columns` frames wide; every
// caption is centred in a band under its frame. Captions need a serif or sans face that
// fontconfig can find; without one the bands stay empty.
d3dx::Image ContactSheet(const std::vector<d3dx::Image>& frames, const std::vector<std::string>& captions,
                         int columns);

}  // namespace orchard
