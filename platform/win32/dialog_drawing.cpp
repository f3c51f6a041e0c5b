#include "platform/win32/dialog_drawing.h"

#include <algorithm>
#include <cmath>

namespace win32 {

namespace {

using namespace classic;

RECT Offset(RECT rect, int dx, int dy) {
  return RECT{rect.left + dx, rect.top + dy, rect.right + dx, rect.bottom + dy};
}
RECT Inset(RECT rect, int by) {
  return RECT{rect.left + by, rect.top + by, rect.right - by, rect.bottom - by};
}

int TextHeight(const DialogFont* font) { return font != nullptr ? font->Height() : 0; }

void DrawPushButton(Canvas& canvas, const Control& control, RECT rect, const DialogFont* font,
                    bool focused, bool defaultLook) {
  RECT body = rect;
  if (defaultLook) {
    canvas.Frame(body, kFrame, kFrame);
    body = Inset(body, 1);
  }
  if (control.pushed) {
    canvas.Frame(body, kShadow, kShadow);
    canvas.Fill(Inset(body, 1), kFace);
  } else {
    canvas.Frame(body, kHighlight, kDarkShadow);
    canvas.Frame(Inset(body, 1), kLight, kShadow);
    canvas.Fill(Inset(body, 2), kFace);
  }
  if (font != nullptr) {
    const int shift = control.pushed ? 1 : 0;
    const int x = rect.left + (rect.right - rect.left - font->Measure(control.text)) / 2 + shift;
    const int y = rect.top + (rect.bottom - rect.top - font->Height()) / 2 + shift;
    font->Draw(canvas, x, y, control.text, kText);
  }
  if (focused) canvas.DottedFrame(Inset(rect, 4), kText);
}

// The 13 x 13 box of a check box: a sunken edge around a white well (grey while held).
void DrawCheckGlyph(Canvas& canvas, int x, int y, bool checked, bool pushed) {
  const RECT box{x, y, x + 13, y + 13};
  canvas.Frame(box, kShadow, kHighlight);
  canvas.Frame(Inset(box, 1), kDarkShadow, kLight);
  canvas.Fill(Inset(box, 2), pushed ? kFace : kWindow);
  if (!checked) return;
  static constexpr const char* kMark[7] = {"......#", ".....##", "#...###", "##.###.",
                                           "#####..", ".###...", "..#...."};
  for (int row = 0; row < 7; ++row)
    for (int column = 0; column < 7; ++column)
      if (kMark[row][column] == '#') canvas.Pixel(x + 3 + column, y + 3 + row, kText);
}

// The 12 x 12 circle of a radio button: two rings, dark at the top left and light at the
// bottom right, around a white well with a black dot when selected.
void DrawRadioGlyph(Canvas& canvas, int x, int y, bool checked, bool pushed) {
  for (int row = 0; row < 12; ++row) {
    for (int column = 0; column < 12; ++column) {
      const double distance = std::hypot(column - 5.5, row - 5.5);
      const bool upperLeft = column + row <= 10;
      std::uint32_t colour = 0;
      if (distance <= 1.6 && checked)
        colour = kText;
      else if (distance <= 4.0)
        colour = pushed ? kFace : kWindow;
      else if (distance <= 5.0)
        colour = upperLeft ? kDarkShadow : kLight;
      else if (distance <= 6.0)
        colour = upperLeft ? kShadow : kHighlight;
      if (colour != 0) canvas.Pixel(x + column, y + row, colour);
    }
  }
}

void DrawCheckOrRadio(Canvas& canvas, const Control& control, RECT rect, const DialogFont* font,
                      bool focused) {
  const int height = rect.bottom - rect.top;
  const bool checked = control.check != BST_UNCHECKED;
  if (control.kind == ControlKind::CheckBox)
    DrawCheckGlyph(canvas, rect.left, rect.top + (height - 13) / 2, checked, control.pushed);
  else
    DrawRadioGlyph(canvas, rect.left, rect.top + (height - 12) / 2, checked, control.pushed);
  if (font == nullptr) return;
  const int textX = rect.left + 16;
  const int textY = rect.top + (height - font->Height()) / 2;
  font->Draw(canvas, textX, textY, control.text, kText);
  if (focused) {
    // Around the label, kept inside the control as a child window would clip it.
    RECT mark{textX - 2, textY - 1, textX + font->Measure(control.text) + 2,
              textY + font->Height() + 1};
    mark.top = std::max(mark.top, rect.top);
    mark.bottom = std::min(mark.bottom, rect.bottom);
    mark.right = std::min(mark.right, rect.right);
    canvas.DottedFrame(mark, kText);
  }
}

// An etched frame whose top line runs through the middle of the caption.
void DrawGroupBox(Canvas& canvas, const Control& control, RECT rect, const DialogFont* font) {
  RECT frame = rect;
  frame.top += TextHeight(font) / 2;
  canvas.Frame(RECT{frame.left, frame.top, frame.right - 1, frame.bottom - 1}, kShadow, kShadow);
  canvas.Frame(RECT{frame.left + 1, frame.top + 1, frame.right, frame.bottom}, kHighlight,
               kHighlight);
  if (font == nullptr || control.text.empty()) return;
  const int width = font->Measure(control.text);
  canvas.Fill(RECT{rect.left + 7, rect.top, rect.left + 10 + width, rect.top + font->Height()},
              kFace);
  font->Draw(canvas, rect.left + 8, rect.top, control.text, kText);
}

void DrawPicture(Canvas& canvas, const Control& control, RECT rect) {
  int inset = 0;
  if ((control.style & WS_BORDER) != 0) {
    DrawSunkenEdge(canvas, rect);
    inset = 2;
  }
  if (control.picture) canvas.Draw(*control.picture, rect.left + inset, rect.top + inset);
}

}  // namespace

void DrawSunkenEdge(Canvas& canvas, const RECT& rect) {
  canvas.Frame(rect, kShadow, kHighlight);
  canvas.Frame(Inset(rect, 1), kDarkShadow, kLight);
}

void DrawDialog(Canvas& canvas, const DialogScene& scene) {
  const RECT window{0, 0, canvas.Width(), canvas.Height()};
  canvas.Fill(window, kFace);
  if (scene.clientEdge > 0) DrawSunkenEdge(canvas, window);
  if (scene.controls == nullptr) return;
  const auto& controls = *scene.controls;
  for (std::size_t i = 0; i < controls.size(); ++i) {
    const Control& control = controls[i];
    if ((control.style & WS_VISIBLE) == 0) continue;
    const RECT rect = Offset(control.rect, scene.clientEdge, scene.clientEdge);
    const bool focused = scene.focus == i;
    switch (control.kind) {
      case ControlKind::PushButton:
        DrawPushButton(canvas, control, rect, scene.font, focused, scene.defaultLook == i);
        break;
      case ControlKind::CheckBox:
      case ControlKind::RadioButton:
        DrawCheckOrRadio(canvas, control, rect, scene.font, focused);
        break;
      case ControlKind::GroupBox:
        DrawGroupBox(canvas, control, rect, scene.font);
        break;
      case ControlKind::Picture:
        DrawPicture(canvas, control, rect);
        break;
      case ControlKind::Other:
        break;
    }
  }
}

}  // namespace win32
