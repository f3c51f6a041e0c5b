// orchard xinfo: what the .X reader makes of each file, one JSON line per file.
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <limits>
#include <string>
#include <string_view>

#include "platform/d3dx/xfile.h"
#include "tools/args.h"
#include "tools/command.h"

namespace orchard {

const Command kXinfoCommand{
    "xinfo",
    "read .X mesh files as the demo does and print what each holds, as JSON Lines",
    "usage: orchard xinfo [--] FILE.x...\n"
    "\n"
    "Reads each file with the demo's .X reader (text, binary or compressed) and prints one\n"
    "JSON object per file, in the order given:\n"
    "\n"
    "  {\"file\":..., \"ok\":true, \"materials\":M, \"vertices\":V, \"faces\":F,\n"
    "   \"subsetFaces\":[...], \"bbox\":[minx,miny,minz,maxx,maxy,maxz]}\n"
    "  {\"file\":..., \"ok\":false, \"error\":\"why the file cannot be read\"}\n"
    "\n"
    "vertices counts the vertices after splitting those that carry several normals; faces\n"
    "counts triangles; subsetFaces gives the triangles of each material's subset.\n"
    "Exits 0 when every file was read, 1 when any failed, 2 on a usage error.\n",
    RunXinfo};

namespace {

// Length of the valid UTF-8 sequence at text[i], or 0 if there is none.
std::size_t Utf8Length(std::string_view text, std::size_t i) {
  const auto byte = [&](std::size_t k) { return static_cast<unsigned char>(text[k]); };
  const unsigned char lead = byte(i);
  std::size_t length = 0;
  std::uint32_t code = 0;
  if (lead >= 0xC2 && lead <= 0xDF) length = 2, code = lead & 0x1F;
  else if (lead >= 0xE0 && lead <= 0xEF) length = 3, code = lead & 0x0F;
  else if (lead >= 0xF0 && lead <= 0xF4) length = 4, code = lead & 0x07;
  else return 0;
  if (i + length > text.size()) return 0;
  for (std::size_t k = 1; k < length; ++k) {
    if ((byte(i + k) & 0xC0) != 0x80) return 0;
    code = code << 6 | (byte(i + k) & 0x3F);
  }
  const bool overlong = (length == 3 && code < 0x800) || (length == 4 && code < 0x10000);
  const bool invalid = code > 0x10FFFF || (code >= 0xD800 && code <= 0xDFFF);
  return overlong || invalid ? 0 : length;
}

// A JSON string; bytes that are not UTF-8 become U+FFFD.
std::string JsonString(std::string_view text) {
  std::string out = "\"";
  for (std::size_t i = 0; i < text.size();) {
    const auto c = static_cast<unsigned char>(text[i]);
    if (c == '"' || c == '\\') {
      out += '\\';
      out += static_cast<char>(c);
    } else if (c < 0x20 || c == 0x7F) {
      char escape[8];
      std::snprintf(escape, sizeof escape, "\\u%04x", c);
      out += escape;
    } else if (c < 0x80) {
      out += static_cast<char>(c);
    } else if (const std::size_t length = Utf8Length(text, i); length > 0) {
      out.append(text.substr(i, length));
      i += length;
      continue;
    } else {
      out += "\\ufffd";
    }
    ++i;
  }
  return out + "\"";
}

// Nine significant digits read back to the same float; JSON has no NaN or infinity.
std::string JsonNumber(float value) {
  if (!std::isfinite(value)) return "null";
  char text[32];
  std::snprintf(text, sizeof text, "%.9g", static_cast<double>(value));
  return text;
}

std::string Describe(const std::string& file, const xfile::ReadResult& result) {
  std::string line = "{\"file\":" + JsonString(file);
  if (!result.mesh) return line + ",\"ok\":false,\"error\":" + JsonString(result.error) + "}";
  const xfile::Mesh& mesh = *result.mesh;
  line += ",\"ok\":true,\"materials\":" + std::to_string(mesh.materials.size()) +
          ",\"vertices\":" + std::to_string(mesh.vertices.size()) +
          ",\"faces\":" + std::to_string(mesh.faceCount) + ",\"subsetFaces\":[";
  for (std::size_t i = 0; i < mesh.subsets.size(); ++i)
    line += (i ? "," : "") + std::to_string(mesh.subsets[i].indexCount / 3);
  float low[3], high[3];
  std::fill(low, low + 3, std::numeric_limits<float>::infinity());
  std::fill(high, high + 3, -std::numeric_limits<float>::infinity());
  for (const auto& vertex : mesh.vertices) {
    const float p[3] = {vertex.position.x, vertex.position.y, vertex.position.z};
    for (int k = 0; k < 3; ++k) {
      low[k] = std::fmin(low[k], p[k]);
      high[k] = std::fmax(high[k], p[k]);
    }
  }
  line += "],\"bbox\":[";
  for (int k = 0; k < 6; ++k) line += (k ? "," : "") + JsonNumber(k < 3 ? low[k] : high[k - 3]);
  return line + "]}";
}

}  // namespace

int RunXinfo(std::span<const std::string_view> args) {
  const ParsedArgs parsed = ParseArgs(args, {}, {});
  if (!parsed.error.empty()) return UsageError("xinfo", parsed.error);
  if (parsed.help) {
    std::fputs(kXinfoCommand.usage.data(), stdout);
    return kExitOk;
  }
  if (parsed.positional.empty()) return UsageError("xinfo", "no file given");
  bool allRead = true;
  for (const std::string& file : parsed.positional) {
    const xfile::ReadResult result = xfile::ReadMeshFile(file);
    allRead = allRead && result.mesh.has_value();
    const std::string line = Describe(file, result);
    std::fwrite(line.data(), 1, line.size(), stdout);
    std::fputc('\n', stdout);
  }
  if (std::fflush(stdout) != 0) return kExitFailure;
  return allRead ? kExitOk : kExitFailure;
}

}  // namespace orchard
