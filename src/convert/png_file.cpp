// Writing a page bitmap as a PNG file.
#include "convert/png_file.h"

#include <png.h>

#include <csetjmp>

#include "base/file_system.h"

namespace convert {
namespace {

struct Sink {
  base::AtomicFile file;
  long long bytes = 0;
};

void WriteBytes(png_structp png, png_bytep data, png_size_t length) {
  auto* sink = static_cast<Sink*>(png_get_io_ptr(png));
  if (!sink->file.Write(data, length)) png_error(png, "write failed");
  sink->bytes += static_cast<long long>(length);
}

void Flush(png_structp) {}

// The rows go out one at a time, as libpng reads them: the picture is never held twice. libpng
// reports errors by a long jump back here, so nothing with a destructor lives in this frame
// between setjmp and the end.
bool Encode(png_structp png, png_infop info, const DeviceBitmap& bitmap, int level, Sink& sink) {
  if (setjmp(png_jmpbuf(png))) return false;
  png_set_write_fn(png, &sink, WriteBytes, Flush);
  png_set_IHDR(png, info, static_cast<png_uint_32>(bitmap.Width()),
               static_cast<png_uint_32>(bitmap.Height()), 8, PNG_COLOR_TYPE_RGB, PNG_INTERLACE_NONE,
               PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
  png_set_compression_level(png, level < 0 || level > 9 ? 6 : level);
  if (level >= 1 && level <= 3) png_set_filter(png, PNG_FILTER_TYPE_BASE, PNG_FILTER_SUB);
  png_write_info(png, info);
  // The bitmap's pixels are blue, green, red (and an unused byte at 32 bits).
  png_set_bgr(png);
  if (bitmap.BitsPerPixel() == 32) png_set_filler(png, 0, PNG_FILLER_AFTER);
  for (int y = 0; y < bitmap.Height(); ++y) {
    png_write_row(png, const_cast<png_bytep>(bitmap.Row(y)));
  }
  png_write_end(png, info);
  return true;
}

}  // namespace

std::optional<long long> WritePng(const std::string& path, const DeviceBitmap& bitmap, int level) {
  if (bitmap.BitsPerPixel() != 24 && bitmap.BitsPerPixel() != 32) return std::nullopt;
  Sink sink;
  if (!sink.file.Open(path)) return std::nullopt;
  png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
  png_infop info = png ? png_create_info_struct(png) : nullptr;
  const bool encoded = info && Encode(png, info, bitmap, level, sink);
  png_destroy_write_struct(&png, info ? &info : nullptr);
  if (!encoded || !sink.file.Commit()) return std::nullopt;
  return sink.bytes;
}

}  // namespace convert
