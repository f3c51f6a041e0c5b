// GDI fonts: CreateFontA records the description; the text renderer of the device reads it.
#include <cstring>
#include <memory>
#include <vector>

#include "platform/win32/win32.h"

struct HFONT__ {
  LOGFONTA description;
};

namespace win32 {

namespace {

std::vector<std::unique_ptr<HFONT__>>& Fonts() {
  static std::vector<std::unique_ptr<HFONT__>> fonts;
  return fonts;
}

}  // namespace

const LOGFONTA* FontDescription(HFONT font) {
  for (const auto& known : Fonts()) {
    if (known.get() == font) return &known->description;
  }
  return nullptr;
}

}  // namespace win32

HFONT CreateFontA(int height, int width, int escapement, int orientation, int weight,
                  DWORD italic, DWORD underline, DWORD strikeOut, DWORD charSet,
                  DWORD outPrecision, DWORD clipPrecision, DWORD quality, DWORD pitchAndFamily,
                  LPCSTR faceName) {
  auto font = std::make_unique<HFONT__>();
  LOGFONTA& d = font->description;
  d.lfHeight = height;
  d.lfWidth = width;
  d.lfEscapement = escapement;
  d.lfOrientation = orientation;
  d.lfWeight = weight;
  d.lfItalic = static_cast<BYTE>(italic);
  d.lfUnderline = static_cast<BYTE>(underline);
  d.lfStrikeOut = static_cast<BYTE>(strikeOut);
  d.lfCharSet = static_cast<BYTE>(charSet);
  d.lfOutPrecision = static_cast<BYTE>(outPrecision);
  d.lfClipPrecision = static_cast<BYTE>(clipPrecision);
  d.lfQuality = static_cast<BYTE>(quality);
  d.lfPitchAndFamily = static_cast<BYTE>(pitchAndFamily);
  if (faceName != nullptr) std::strncpy(d.lfFaceName, faceName, sizeof d.lfFaceName - 1);
  HFONT handle = font.get();
  win32::Fonts().push_back(std::move(font));
  return handle;
}
