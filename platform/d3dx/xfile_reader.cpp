// Placeholder until the .X reader lands.
#include "platform/d3dx/xfile.h"

namespace xfile {
ReadResult ReadMesh(std::span<const std::byte>) { return {std::nullopt, "the .X reader is not built yet"}; }
ReadResult ReadMeshFile(const std::string&) { return {std::nullopt, "the .X reader is not built yet"}; }
}  // namespace xfile
