// The generators of the data pack, one per family of assets. Each returns its files with
// their names inside Data/; every generator is deterministic and independent of the others,
// so they may run on any thread in any order.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

#include "platform/d3dx/xfile.h"

namespace datagen {

struct OutputFile {
  std::string name;  // inside Data/, e.g. "jesus.x"
  std::vector<std::byte> bytes;
};
using Files = std::vector<OutputFile>;

// The chapel inside (kapelle_innen.x) and outside (kapelle.x) and their shared texture atlas
// (kapelle_gesamt2.jpg).
Files MakeBuildings();
// The two statues (jesus.x, woman.x) and the monk (moench.x), with a texture each.
Files MakeFigures();
// terrain.x and terrain2.jpg.
Files MakeLandscape();
// The evening sky (skydome.x, sky.jpg) and the heavenly one (skydome2.x, heaven.jpg).
Files MakeSkies();
// tree.x and Treemaps.jpg.
Files MakeTrees();
// heavensgate.x and heavensgate.jpg.
Files MakeGate();
// picture.x and the three pictures.
Files MakePictures();

// The music: `seconds` of the piece (the whole piece is 294 s) as an MP3 file. A shorter
// length renders the beginning of the same piece.
inline constexpr double kMusicSeconds = 294.0;
Files MakeMusic(double seconds = kMusicSeconds);

// The file bytes of a mesh as we store it.
std::vector<std::byte> MeshFileBytes(const xfile::Mesh& mesh);

}  // namespace datagen
