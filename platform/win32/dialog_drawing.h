// The classic look of a dialog and its controls (the standard Windows scheme: grey 3-D
// face, white and dark-grey bevels, black text), drawn into a Canvas.
#pragma once

#include <cstdint>
#include <optional>
#include <vector>

#include "platform/win32/canvas.h"
#include "platform/win32/dialog_controls.h"
#include "platform/win32/dialog_font.h"

namespace win32 {

namespace classic {
inline constexpr std::uint32_t kFace = 0xFFD4D0C8;
inline constexpr std::uint32_t kHighlight = 0xFFFFFFFF;
inline constexpr std::uint32_t kLight = 0xFFD4D0C8;
inline constexpr std::uint32_t kShadow = 0xFF808080;
inline constexpr std::uint32_t kDarkShadow = 0xFF404040;
inline constexpr std::uint32_t kWindow = 0xFFFFFFFF;
inline constexpr std::uint32_t kText = 0xFF000000;
inline constexpr std::uint32_t kFrame = 0xFF000000;
}  // namespace classic

// Everything the dialog shows at one moment.
struct DialogScene {
  const std::vector<Control>* controls = nullptr;
  const DialogFont* font = nullptr;  // no text is drawn without one
  std::optional<std::size_t> focus;
  std::optional<std::size_t> defaultLook;  // the push button with the heavy black frame
  int clientEdge = 0;                      // width of the sunken edge around the client area
};

// Draws the whole window: client edge, face and every control.
void DrawDialog(Canvas& canvas, const DialogScene& scene);

// The 2-pixel sunken edge of WS_EX_CLIENTEDGE, just inside rect.
void DrawSunkenEdge(Canvas& canvas, const RECT& rect);

}  // namespace win32
