// PNG pictures: the same pixels as the bitmap, compressed, written by png_file.
#include <limits>

#include "convert/picture_format.h"
#include "convert/png_file.h"

namespace convert {
namespace {

class PngFormatImpl final : public PictureFormat {
 public:
  std::string_view Name() const override { return "png"; }
  std::string_view Extension() const override { return "png"; }
  int LargestSide() const override { return std::numeric_limits<int>::max(); }
  bool KeepsTransparency() const override { return true; }

  bool Encode(PictureSink& sink, const PictureRows& rows,
              const PictureOptions& options) const override {
    return EncodePng(sink, rows, options.compression, options.transparent);
  }
};

}  // namespace

const PictureFormat& PngFormat() {
  static const PngFormatImpl format;
  return format;
}

}  // namespace convert
