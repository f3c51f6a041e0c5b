// The font of a dialog: the template's face found through fontconfig and drawn with
// FreeType, with the metrics GDI would report for it.
#pragma once

#include <array>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "platform/win32/canvas.h"

namespace win32 {

class DialogFont {
 public:
  // `emPixels` is the character height (the negative lfHeight of the font). Nothing if no
  // font at all can be loaded.
  static std::unique_ptr<DialogFont> Open(const std::string& face, int emPixels);
  ~DialogFont();
  DialogFont(const DialogFont&) = delete;
  DialogFont& operator=(const DialogFont&) = delete;

  int Ascent() const { return ascent_; }
  int Height() const { return ascent_ + descent_; }  // GDI's tmHeight
  int WidthOf52Letters() const;
  int Measure(std::string_view text) const;
  // Draws `text` with the top of its line at `top`.
  void Draw(Canvas& canvas, int x, int top, std::string_view text, std::uint32_t colour) const;
  const std::string& FileName() const { return file_; }

 private:
  struct Glyph {
    int left = 0, top = 0, width = 0, rows = 0, advance = 0;
    std::vector<std::uint8_t> coverage;
  };
  struct Library;
  DialogFont() = default;

  std::unique_ptr<Library> library_;
  std::array<Glyph, 128> glyphs_{};
  int ascent_ = 0;
  int descent_ = 0;
  std::string file_;
};

}  // namespace win32
