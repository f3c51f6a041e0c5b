// The colour key of D3DXCreateTextureFromFileEx: a texel whose full ARGB equals the key
// becomes transparent black. Alpha takes part in the compare, so opaque black (0xFF000000)
// matches only texels that are exactly (0, 0, 0) in an opaque picture.
#include "platform/d3dx/image.h"

namespace d3dx {

void ApplyColorKey(Image& image, D3DCOLOR colorKey) {
  if (colorKey == 0) return;
  auto& texels = image.rgba;
  for (std::size_t i = 0; i + 3 < texels.size(); i += 4) {
    const D3DCOLOR argb = D3DCOLOR{texels[i + 3]} << 24 | D3DCOLOR{texels[i]} << 16 |
                          D3DCOLOR{texels[i + 1]} << 8 | D3DCOLOR{texels[i + 2]};
    if (argb == colorKey) {
      texels[i] = texels[i + 1] = texels[i + 2] = texels[i + 3] = 0;
    }
  }
}

}  // namespace d3dx
