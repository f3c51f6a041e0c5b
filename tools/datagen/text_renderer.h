// Text for the pictures: a serif face found through fontconfig, drawn by FreeType into a
// coverage mask. Glyphs are rendered unhinted and placed at fractional positions, so the
// result depends only on the font file.
#pragma once

#include <memory>
#include <string>
#include <string_view>

#include "tools/datagen/canvas.h"

namespace datagen {

class TextRenderer {
 public:
  // The first of the fontconfig patterns that names an installed font file, e.g.
  // {"Liberation Serif:italic", "serif:italic"}. Null when none does.
  static std::unique_ptr<TextRenderer> Open(std::initializer_list<const char*> patterns);
  ~TextRenderer();

  // Width of the text in pixels at the given size (pixels per em). xScale squeezes or widens
  // the glyphs horizontally, for pictures painted in a stretched texture.
  double Measure(std::string_view utf8, double size, double xScale = 1) const;
  // Draws with the baseline starting at (x, baseline); returns the advance.
  double Draw(Mask& mask, double x, double baseline, std::string_view utf8, double size,
              double xScale = 1) const;
  // Letter-spaced: `tracking` extra pixels after every character.
  double DrawTracked(Mask& mask, double x, double baseline, std::string_view utf8, double size,
                     double tracking, double xScale = 1) const;
  double MeasureTracked(std::string_view utf8, double size, double tracking, double xScale = 1) const;

  const std::string& file() const { return file_; }

 private:
  TextRenderer() = default;
  double Run(Mask* mask, double x, double baseline, std::string_view utf8, double size,
             double tracking, double xScale) const;

  struct Library;
  std::unique_ptr<Library> library_;
  std::string file_;
};

}  // namespace datagen
