// The dialog manager's parts that do not need the program's own dialog: dialog-unit
// conversion, reading the bitmap files of picture controls, keyboard navigation within
// groups, and how a quit ends a modal loop.
#include <SDL.h>
#include <gtest/gtest.h>

#include <cstdlib>
#include <vector>

#include "platform/win32/bitmap_file.h"
#include "platform/win32/dialog_controls.h"
#include "platform/win32/dialog_template.h"
#include "platform/win32/dialog_units.h"
#include "platform/win32/win32.h"

namespace {

using win32::BaseUnits;
using win32::Control;
using win32::ControlKind;

// ---- dialog units -----------------------------------------------------------------------

TEST(DialogUnits, MulDivRoundsHalvesAwayFromZero) {
  struct Case {
    int number, numerator, denominator, expected;
  };
  const Case cases[] = {
      {247, 6, 4, 371},   // 370.5: the truncating formula would give 370
      {146, 13, 8, 237},  // 237.25
      {93, 6, 4, 140},    // 139.5
      {-247, 6, 4, -371},
      {5, 1, -2, -3},
      {0x40000000, 8, 16, 0x20000000},  // the product needs 64 bits
      {1, 1, 0, -1},
  };
  for (const Case& c : cases)
    EXPECT_EQ(MulDiv(c.number, c.numerator, c.denominator), c.expected)
        << c.number << " * " << c.numerator << " / " << c.denominator;
}

TEST(DialogUnits, TemplateRectanglesBecomePixelsThroughTheBaseUnits) {
  const BaseUnits classic{6, 13};
  const RECT client = win32::DialogRectToPixels(0, 0, 247, 182, classic);
  EXPECT_EQ(client.right - client.left, 371);
  EXPECT_EQ(client.bottom - client.top, 296);

  // Position and size are converted separately, as CreateWindowEx gets them.
  const RECT start = win32::DialogRectToPixels(94, 146, 50, 14, classic);
  EXPECT_EQ(start.left, 141);
  EXPECT_EQ(start.top, 237);
  EXPECT_EQ(start.right - start.left, 75);
  EXPECT_EQ(start.bottom - start.top, 23);

  // baseX = (52-letter width / 26 + 1) / 2, integer steps; baseY = the font height.
  EXPECT_EQ(win32::BaseUnitsFromMetrics(301, 13).x, 6);
  EXPECT_EQ(win32::BaseUnitsFromMetrics(285, 13).x, 5);  // 285 / 26 = 10
  EXPECT_EQ(win32::BaseUnitsFromMetrics(301, 13).y, 13);
}

// ---- bitmap files ------------------------------------------------------------------------

std::vector<std::uint8_t> Bmp8(int width, int height, const std::vector<std::uint32_t>& palette,
                               const std::vector<std::uint8_t>& rowsBottomUp) {
  std::vector<std::uint8_t> file;
  const auto put16 = [&](std::uint32_t v) {
    file.push_back(static_cast<std::uint8_t>(v));
    file.push_back(static_cast<std::uint8_t>(v >> 8));
  };
  const auto put32 = [&](std::uint32_t v) {
    put16(v & 0xFFFF);
    put16(v >> 16);
  };
  const auto offset = static_cast<std::uint32_t>(14 + 40 + 4 * palette.size());
  file.push_back('B');
  file.push_back('M');
  put32(offset + static_cast<std::uint32_t>(rowsBottomUp.size()));
  put32(0);
  put32(offset);
  put32(40);
  put32(static_cast<std::uint32_t>(width));
  put32(static_cast<std::uint32_t>(height));
  put16(1);
  put16(8);
  put32(0);
  put32(static_cast<std::uint32_t>(rowsBottomUp.size()));
  put32(3780);
  put32(3780);
  put32(static_cast<std::uint32_t>(palette.size()));
  put32(0);
  for (std::uint32_t colour : palette) put32(colour & 0xFFFFFF);  // blue, green, red, 0
  file.insert(file.end(), rowsBottomUp.begin(), rowsBottomUp.end());
  return file;
}

// 3 x 2 pixels: rows padded to 4 bytes, stored bottom row first.
std::vector<std::uint8_t> SmallBitmap() {
  return Bmp8(3, 2, {0x0000FF, 0x00FF00, 0xFF0000},
              {2, 2, 1, 0xEE,    // bottom row: red, red, green, padding
               0, 1, 2, 0xEE});  // top row: blue, green, red
}

TEST(BitmapFile, PalettizedRowsComeOutTopFirstWithoutThePadding) {
  const auto image = win32::DecodeBmp(SmallBitmap());
  ASSERT_TRUE(image.has_value());
  ASSERT_EQ(image->width, 3);
  ASSERT_EQ(image->height, 2);
  const std::vector<std::uint32_t> expected{0xFF0000FF, 0xFF00FF00, 0xFFFF0000,
                                            0xFFFF0000, 0xFFFF0000, 0xFF00FF00};
  EXPECT_EQ(image->pixels, expected);
}

TEST(BitmapFile, DamagedOrUnsupportedFilesGiveNoPicture) {
  struct Case {
    const char* what;
    std::size_t at;  // byte to overwrite (or the new size when truncating)
    std::uint8_t value;
    bool truncate;
  };
  const Case cases[] = {
      {"pixel data cut short", 60 + 12 - 3, 0, true},
      {"not a bitmap", 0, 'X', false},
      {"palette of more than 256 entries", 46 + 1, 0x10, false},
      {"pixel offset beyond the file", 10 + 2, 0x7F, false},
      {"run-length compressed", 30, 1, false},
      {"zero width", 18, 0, false},
      {"four bits per pixel", 28, 4, false},
  };
  for (const Case& c : cases) {
    auto file = SmallBitmap();
    if (c.truncate) {
      file.resize(c.at);
    } else {
      file[c.at] = c.value;
    }
    EXPECT_FALSE(win32::DecodeBmp(file).has_value()) << c.what;
  }
  // An index past a short palette shows black instead of reading past the palette.
  const auto shortPalette = win32::DecodeBmp(Bmp8(1, 1, {0x123456}, {7, 0, 0, 0}));
  ASSERT_TRUE(shortPalette.has_value());
  EXPECT_EQ(shortPalette->pixels[0], 0xFF000000u);
}

// ---- focus navigation --------------------------------------------------------------------

Control Make(int id, ControlKind kind, DWORD extraStyle) {
  Control control;
  control.id = id;
  control.kind = kind;
  control.automatic = kind == ControlKind::RadioButton || kind == ControlKind::CheckBox;
  control.style = WS_CHILD | WS_VISIBLE | extraStyle;
  return control;
}

TEST(DialogNavigation, ArrowsStayInTheirGroupAndSkipStaticControls) {
  // push, [radio radio picture radio] [check push]: two groups after the first control.
  const std::vector<Control> grouped{
      Make(1, ControlKind::PushButton, WS_TABSTOP),
      Make(2, ControlKind::RadioButton, WS_GROUP),
      Make(3, ControlKind::RadioButton, 0),
      Make(4, ControlKind::Picture, 0),
      Make(5, ControlKind::RadioButton, 0),
      Make(6, ControlKind::CheckBox, WS_GROUP | WS_TABSTOP),
      Make(7, ControlKind::PushButton, WS_TABSTOP),
  };
  EXPECT_EQ(win32::GroupMembers(grouped, 2), (std::vector<std::size_t>{1, 2, 3, 4}));
  EXPECT_EQ(win32::NextInGroup(grouped, 2, false), 4u) << "the picture is skipped";
  EXPECT_EQ(win32::NextInGroup(grouped, 4, false), 1u) << "wraps to the group's first control";
  EXPECT_EQ(win32::NextInGroup(grouped, 1, true), 4u);

  // Without any WS_GROUP the whole dialog is one group, wrapping past the end.
  std::vector<Control> ungrouped = grouped;
  for (Control& control : ungrouped) control.style &= ~WS_GROUP;
  EXPECT_EQ(win32::GroupMembers(ungrouped, 4).size(), ungrouped.size());
  EXPECT_EQ(win32::NextInGroup(ungrouped, 6, false), 0u);

  // Tab visits only tab stops, wrapping both ways; a disabled control is passed over.
  ungrouped[5].style |= WS_DISABLED;
  EXPECT_EQ(win32::NextTabStop(ungrouped, std::nullopt, false), 0u);
  EXPECT_EQ(win32::NextTabStop(ungrouped, 0, false), 6u);
  EXPECT_EQ(win32::NextTabStop(ungrouped, 6, false), 0u);
  EXPECT_EQ(win32::NextTabStop(ungrouped, 0, true), 6u);
}

// ---- the modal loop ----------------------------------------------------------------------

constexpr WORD kTinyDialog = 9001;

INT_PTR QuitOnInit(HWND, UINT message, WPARAM, LPARAM) {
  if (message == WM_INITDIALOG) PostQuitMessage(7);
  return 0;
}

class ModalLoop : public ::testing::Test {
 protected:
  void SetUp() override {
    setenv("SDL_VIDEODRIVER", "dummy", 1);
    win32::ResetForTests();
    win32::DialogTemplate dialog;
    dialog.style = WS_POPUP | WS_VISIBLE | WS_CAPTION | DS_CENTER;
    dialog.cx = 100;
    dialog.cy = 50;
    dialog.caption = "tiny";
    dialog.fontFace = "MS Sans Serif";
    dialog.items = {{1, "button", "OK", 0, WS_CHILD | WS_VISIBLE | BS_DEFPUSHBUTTON | WS_TABSTOP, 0,
                     10, 10, 50, 14}};
    win32::RegisterDialogResource(kTinyDialog, dialog);
  }
  void TearDown() override {
    win32::SetDialogIdleHook(nullptr);
    win32::ResetForTests();
  }
};

TEST_F(ModalLoop, AQuitEndsTheDialogAndStaysPendingWithItsCode) {
  int idleTurns = 0;
  win32::SetDialogIdleHook([&](HWND dialog) {
    if (++idleTurns > 3) EndDialog(dialog, 99);  // the loop must not get here
  });
  EXPECT_EQ(DialogBoxParamA(nullptr, MAKEINTRESOURCEA(kTinyDialog), nullptr, QuitOnInit, 0), 0);
  EXPECT_LE(idleTurns, 3);
  ASSERT_TRUE(win32::QuitPending());
  MSG msg;
  ASSERT_TRUE(PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE));
  EXPECT_EQ(msg.message, WM_QUIT);
  EXPECT_EQ(msg.wParam, 7u);
}

TEST_F(ModalLoop, AnUnknownTemplateIsNotShown) {
  EXPECT_EQ(DialogBoxParamA(nullptr, MAKEINTRESOURCEA(4242), nullptr, QuitOnInit, 0), -1);
  EXPECT_FALSE(win32::QuitPending()) << "the procedure never ran";
}

}  // namespace
