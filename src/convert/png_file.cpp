// Writing a page bitmap as a PNG file.
#include "convert/png_file.h"

#include <png.h>

#include <csetjmp>

#include "convert/picture_file.h"

namespace convert {
namespace {

void WriteBytes(png_structp png, png_bytep data, png_size_t length) {
  auto* sink = static_cast<PictureSink*>(png_get_io_ptr(png));
  if (!sink->Write(data, length)) png_error(png, "write failed");
}

void Flush(png_structp) {}

// The rows go out one at a time, as libpng reads them: the picture is never held twice. libpng
// reports errors by a long jump back here, so nothing with a destructor lives in this frame
// between setjmp and the end.
bool Encode(png_structp png, png_infop info, const PictureRows& rows, int level, bool alpha,
            PictureSink& sink) {
  if (setjmp(png_jmpbuf(png))) return false;
  png_set_write_fn(png, &sink, WriteBytes, Flush);
  png_set_IHDR(png, info, static_cast<png_uint_32>(rows.Width()),
               static_cast<png_uint_32>(rows.height), 8,
               alpha ? PNG_COLOR_TYPE_RGB_ALPHA : PNG_COLOR_TYPE_RGB, PNG_INTERLACE_NONE,
               PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
  png_set_compression_level(png, level < 0 || level > 9 ? 6 : level);
  if (level >= 1 && level <= 3) png_set_filter(png, PNG_FILTER_TYPE_BASE, PNG_FILTER_SUB);
  png_write_info(png, info);
  // The bitmap's pixels are blue, green, red (and an unused or opacity byte at 32 bits).
  png_set_bgr(png);
  if (!alpha && rows.bitmap.BitsPerPixel() == 32) png_set_filler(png, 0, PNG_FILLER_AFTER);
  for (int y = 0; y < rows.height; ++y) {
    png_write_row(png, const_cast<png_bytep>(rows.Row(y)));
  }
  png_write_end(png, info);
  return true;
}

}  // namespace

bool EncodePng(PictureSink& sink, const PictureRows& rows, int level, bool alpha) {
  const int bits = rows.bitmap.BitsPerPixel();
  if (bits != 24 && bits != 32) return false;
  png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
  png_infop info = png ? png_create_info_struct(png) : nullptr;
  const bool encoded = info && Encode(png, info, rows, level, alpha && bits == 32, sink);
  png_destroy_write_struct(&png, info ? &info : nullptr);
  return encoded;
}

std::optional<long long> WritePng(const std::string& path, const DeviceBitmap& bitmap, int level) {
  PictureOptions options;
  options.compression = level;
  return WritePicture(*FindPictureFormat("png"), path, bitmap, options).bytes;
}

}  // namespace convert
