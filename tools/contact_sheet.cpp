#include "tools/contact_sheet.h"

#include <algorithm>

#include "tools/datagen/text_renderer.h"

namespace orchard {
namespace {

constexpr int kGap = 4;
constexpr int kCaptionHeight = 22;
constexpr std::uint8_t kBackground = 32;

}  // namespace

d3dx::Image ContactSheet(const std::vector<d3dx::Image>& frames, const std::vector<std::string>& captions,
                         int columns) {
  d3dx::Image sheet;
  if (frames.empty() || columns < 1) return sheet;
  const int w = frames[0].width, h = frames[0].height;
  const int count = static_cast<int>(frames.size());
  columns = std::min(columns, count);
  const int rows = (count + columns - 1) / columns;
  sheet.width = kGap + columns * (w + kGap);
  sheet.height = kGap + rows * (h + kCaptionHeight + kGap);
  sheet.rgba.assign(static_cast<std::size_t>(sheet.width) * sheet.height * 4, kBackground);
  for (std::size_t i = 3; i < sheet.rgba.size(); i += 4) sheet.rgba[i] = 255;

  datagen::Mask text(sheet.width, sheet.height);
  const auto font = datagen::TextRenderer::Open({"DejaVu Sans", "Liberation Sans", "sans-serif"});
  for (int i = 0; i < count; ++i) {
    const d3dx::Image& frame = frames[i];
    const int x0 = kGap + (i % columns) * (w + kGap), y0 = kGap + (i / columns) * (h + kCaptionHeight + kGap);
    for (int y = 0; y < std::min(h, frame.height); ++y)
      for (int x = 0; x < std::min(w, frame.width); ++x)
        for (int c = 0; c < 3; ++c)
          sheet.rgba[(static_cast<std::size_t>(y0 + y) * sheet.width + x0 + x) * 4 + c] =
              frame.rgba[(static_cast<std::size_t>(y) * frame.width + x) * 4 + c];
    if (font && i < static_cast<int>(captions.size())) {
      const double size = 14;
      const double width = font->Measure(captions[i], size);
      font->Draw(text, x0 + (w - width) / 2, y0 + h + kCaptionHeight - 6, captions[i], size);
    }
  }
  for (int y = 0; y < sheet.height; ++y)
    for (int x = 0; x < sheet.width; ++x) {
      const float a = text.At(x, y);
      if (a <= 0) continue;
      for (int c = 0; c < 3; ++c) {
        auto& v = sheet.rgba[(static_cast<std::size_t>(y) * sheet.width + x) * 4 + c];
        v = static_cast<std::uint8_t>(v + (235 - v) * a + 0.5f);
      }
    }
  return sheet;
}

}  // namespace orchard
