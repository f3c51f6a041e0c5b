// The body of a compressed .X file (formats "tzip" and "bzip"): a u32 total size that
// counts the 16-byte header, then chunks of (u16 unpacked size, u16 packed size counting
// the "CK" signature, "CK", raw deflate data). Every chunk is a complete deflate stream,
// but its back-references may reach up to 32 KiB into the output of earlier chunks.
#pragma once

#include <cstddef>
#include <span>
#include <vector>

namespace xfile {

// Returns the unpacked body (what follows the header of the equivalent "txt " or "bin "
// file). Fails with ReadError on any inconsistency; never unpacks more than the declared
// size, nor more than kMaxInflatedBytes.
std::vector<char> InflateMszipBody(std::span<const std::byte> packed);

}  // namespace xfile
