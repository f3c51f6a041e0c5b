// JPEG decoding through libjpeg. libjpeg reports a fatal error by calling error_exit, which
// by default ends the process; here it jumps back into the decoder, which hands the message
// back as a value. Damaged entropy data and a file that ends early are only warnings to
// libjpeg (it pads the picture with grey); they fail the decode as well, since a texture
// with a grey lower half is not the file's picture.
#include "platform/d3dx/image.h"

#include <csetjmp>
#include <cstdio>
#include <new>

// After our headers: libjpeg defines TRUE and FALSE as macros, which would clash with the
// Win32 constants. jpeglib.h also needs FILE and size_t declared before it.
#include <jpeglib.h>
#include <jerror.h>

namespace d3dx {

namespace {

struct ErrorManager {
  jpeg_error_mgr base;  // first, so that libjpeg's pointer to it is a pointer to the whole
  std::jmp_buf jump;
  char message[JMSG_LENGTH_MAX];
};

ErrorManager& ErrorsOf(j_common_ptr info) { return *reinterpret_cast<ErrorManager*>(info->err); }

[[noreturn]] void JumpBack(j_common_ptr info) {
  ErrorManager& errors = ErrorsOf(info);
  errors.base.format_message(info, errors.message);
  std::longjmp(errors.jump, 1);
}

bool IsCorruptData(int code) {
  switch (code) {
    case JWRN_JPEG_EOF:
    case JWRN_HIT_MARKER:
    case JWRN_MUST_RESYNC:
    case JWRN_HUFF_BAD_CODE:
    case JWRN_ARITH_BAD_CODE:
      return true;
    default:
      return false;
  }
}

// Nothing is printed. Warnings about damaged data end the decode; the harmless ones (odd
// JFIF revisions, stray bytes between markers) are ignored.
void OnMessage(j_common_ptr info, int level) {
  if (level < 0 && IsCorruptData(info->err->msg_code)) JumpBack(info);
}

// libjpeg's state for one decode. Destroying a zero-filled or half-created struct is safe.
struct Decoder {
  jpeg_decompress_struct info{};
  ErrorManager errors{};
  ~Decoder() { jpeg_destroy_decompress(&info); }
};

void Fail(Decoder& decoder, const char* format, unsigned width, unsigned height) {
  std::snprintf(decoder.errors.message, sizeof decoder.errors.message, format, width, height);
}

// Every 8x8 block of the full-resolution component costs at least one bit of Huffman-coded
// data, even when it is flat. A file smaller than that cannot hold its picture, and the
// check runs before the picture's memory is taken. Arithmetic coding has no such floor.
bool SizeIsPlausible(const jpeg_decompress_struct& info, std::size_t fileBytes) {
  if (info.arith_code) return true;
  const std::uint64_t blocks = ((std::uint64_t{info.image_width} + 7) / 8) *
                               ((std::uint64_t{info.image_height} + 7) / 8);
  return blocks <= std::uint64_t{fileBytes} * 8;
}

// Files with four components follow Adobe's convention, as nearly every CMYK JPEG does: the
// stored values are inverted, 255 meaning no ink.
void CmykToRgba(std::vector<std::uint8_t>& texels) {
  for (std::size_t i = 0; i + 3 < texels.size(); i += 4) {
    const unsigned k = texels[i + 3];
    for (int channel = 0; channel < 3; ++channel)
      texels[i + channel] = static_cast<std::uint8_t>((texels[i + channel] * k + 127) / 255);
    texels[i + 3] = 0xFF;
  }
}

// Only references live in this frame, and none of them changes after setjmp, so a jump
// back from libjpeg leaves nothing undefined or undestroyed.
bool Decode(Decoder& decoder, std::span<const std::byte> file, Image& image) {
  jpeg_decompress_struct& info = decoder.info;
  info.err = jpeg_std_error(&decoder.errors.base);
  decoder.errors.base.error_exit = JumpBack;
  decoder.errors.base.emit_message = OnMessage;
  if (setjmp(decoder.errors.jump) != 0) return false;

  jpeg_create_decompress(&info);
  jpeg_mem_src(&info, reinterpret_cast<const unsigned char*>(file.data()),
               static_cast<unsigned long>(file.size()));
  jpeg_read_header(&info, TRUE);

  if (info.image_width > static_cast<unsigned>(kMaxImageSide) ||
      info.image_height > static_cast<unsigned>(kMaxImageSide)) {
    Fail(decoder, "Picture of %u x %u is larger than any texture", info.image_width,
         info.image_height);
    return false;
  }
  if (!SizeIsPlausible(info, file.size())) {
    Fail(decoder, "File is too small to hold a picture of %u x %u", info.image_width,
         info.image_height);
    return false;
  }

  const bool cmyk = info.jpeg_color_space == JCS_CMYK || info.jpeg_color_space == JCS_YCCK;
  info.out_color_space = cmyk ? JCS_CMYK : JCS_EXT_RGBA;  // grey and YCbCr both expand to RGBA
  jpeg_start_decompress(&info);

  image.width = static_cast<int>(info.output_width);
  image.height = static_cast<int>(info.output_height);
  const std::size_t stride = std::size_t{info.output_width} * 4;
  image.rgba.resize(stride * info.output_height);
  while (info.output_scanline < info.output_height) {
    JSAMPROW row = image.rgba.data() + stride * info.output_scanline;
    jpeg_read_scanlines(&info, &row, 1);
  }
  jpeg_finish_decompress(&info);
  if (cmyk) CmykToRgba(image.rgba);
  return true;
}

}  // namespace

ImageResult DecodeJpeg(std::span<const std::byte> file) {
  try {
    Decoder decoder;
    Image image;
    if (!Decode(decoder, file, image)) return {std::nullopt, decoder.errors.message};
    return {std::move(image), {}};
  } catch (const std::bad_alloc&) {
    return {std::nullopt, "Out of memory"};
  }
}

}  // namespace d3dx
