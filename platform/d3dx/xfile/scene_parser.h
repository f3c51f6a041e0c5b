// Walks the objects of a .X body and keeps what a static mesh needs: the Mesh objects with
// their normals, texture coordinates, vertex colours and materials, and where the frame
// hierarchy places each one. Everything else (templates, animation, skinning, vertex
// declarations, custom objects) is stepped over.
#pragma once

#include <span>

#include "platform/d3dx/xfile/scene.h"

namespace xfile {

Scene ParseTextScene(std::span<const char> body);
Scene ParseBinaryScene(std::span<const char> body, bool doubleFloats);

}  // namespace xfile
