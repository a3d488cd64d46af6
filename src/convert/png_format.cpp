// PNG pictures: the same pixels as the bitmap, compressed, written by png_file.
#include "convert/picture_format.h"
#include "convert/png_file.h"

namespace convert {
namespace {

class PngFormatImpl final : public PictureFormat {
 public:
  std::string_view Name() const override { return "png"; }
  std::string_view Extension() const override { return "png"; }

  PictureWrite Write(const std::string& path, DeviceBitmap&& bitmap,
                     const PictureOptions& options) const override {
    return {WritePng(path, bitmap, options.compression), PictureFailure::kWriteFailed};
  }
};

}  // namespace

const PictureFormat& PngFormat() {
  static const PngFormatImpl format;
  return format;
}

}  // namespace convert
