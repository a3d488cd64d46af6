// JPEG pictures: encoded row by row from the page bitmap with libjpeg at the run's quality.
// jpeglib.h uses size_t and FILE without including their headers.
#include <cstddef>
#include <cstdio>

#include <jerror.h>
#include <jpeglib.h>

#include <algorithm>
#include <array>
#include <csetjmp>

#include "convert/picture_format.h"

namespace convert {
namespace {

// libjpeg reports errors through its error manager; ours jumps back to the encoder and prints
// nothing.
struct Errors {
  jpeg_error_mgr manager;
  std::jmp_buf jump;
};

[[noreturn]] void Fail(j_common_ptr info) {
  std::longjmp(reinterpret_cast<Errors*>(info->err)->jump, 1);
}
void Quiet(j_common_ptr) {}

// The compressed bytes go to the sink a buffer at a time.
struct Destination {
  jpeg_destination_mgr manager;
  PictureSink* sink = nullptr;
  std::array<JOCTET, 64 * 1024> buffer;
};

Destination& DestinationOf(j_compress_ptr info) {
  return *reinterpret_cast<Destination*>(info->dest);
}

void StartBuffer(j_compress_ptr info) {
  Destination& destination = DestinationOf(info);
  destination.manager.next_output_byte = destination.buffer.data();
  destination.manager.free_in_buffer = destination.buffer.size();
}

boolean EmptyBuffer(j_compress_ptr info) {
  Destination& destination = DestinationOf(info);
  if (!destination.sink->Write(destination.buffer.data(), destination.buffer.size())) {
    ERREXIT(info, JERR_FILE_WRITE);
  }
  StartBuffer(info);
  return TRUE;
}

void EndBuffer(j_compress_ptr info) {
  Destination& destination = DestinationOf(info);
  const std::size_t used = destination.buffer.size() - destination.manager.free_in_buffer;
  if (used > 0 && !destination.sink->Write(destination.buffer.data(), used)) {
    ERREXIT(info, JERR_FILE_WRITE);
  }
}

// The rows go out one at a time, as libjpeg takes them: the picture is never held twice (no
// second pass of optimised coding, which would keep every block of the picture). Errors come
// back here by a long jump, so nothing with a destructor lives in this frame.
bool Compress(jpeg_compress_struct& info, Errors& errors, Destination& destination,
              const PictureRows& rows, int quality) {
  if (setjmp(errors.jump)) return false;
  // Creating clears everything but the error manager.
  jpeg_create_compress(&info);
  info.dest = &destination.manager;
  info.image_width = static_cast<JDIMENSION>(rows.Width());
  info.image_height = static_cast<JDIMENSION>(rows.height);
  // The bitmap's pixels are blue, green, red (and an unused byte at 32 bits).
  const bool wide = rows.bitmap.BitsPerPixel() == 32;
  info.input_components = wide ? 4 : 3;
  info.in_color_space = wide ? JCS_EXT_BGRX : JCS_EXT_BGR;
  jpeg_set_defaults(&info);
  jpeg_set_quality(&info, quality, TRUE);
  jpeg_start_compress(&info, TRUE);
  while (info.next_scanline < info.image_height) {
    JSAMPROW row = const_cast<JSAMPROW>(rows.Row(static_cast<int>(info.next_scanline)));
    jpeg_write_scanlines(&info, &row, 1);
  }
  jpeg_finish_compress(&info);
  return true;
}

class JpegFormatImpl final : public PictureFormat {
 public:
  std::string_view Name() const override { return "jpeg"; }
  std::string_view Extension() const override { return "jpg"; }
  int LargestSide() const override { return JPEG_MAX_DIMENSION; }
  bool KeepsTransparency() const override { return false; }

  bool Encode(PictureSink& sink, const PictureRows& rows,
              const PictureOptions& options) const override {
    const int bits = rows.bitmap.BitsPerPixel();
    if (bits != 24 && bits != 32) return false;
    jpeg_compress_struct info{};
    Errors errors{};
    info.err = jpeg_std_error(&errors.manager);
    errors.manager.error_exit = Fail;
    errors.manager.output_message = Quiet;
    Destination destination{};
    destination.sink = &sink;
    destination.manager.init_destination = StartBuffer;
    destination.manager.empty_output_buffer = EmptyBuffer;
    destination.manager.term_destination = EndBuffer;
    const bool compressed =
        Compress(info, errors, destination, rows, std::clamp(options.quality, 1, 100));
    jpeg_destroy_compress(&info);
    return compressed;
  }
};

}  // namespace

const PictureFormat& JpegFormat() {
  static const JpegFormatImpl format;
  return format;
}

}  // namespace convert
