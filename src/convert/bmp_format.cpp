// The window's picture format: an uncompressed Windows bitmap made from the DIB block.
#include <utility>

#include "convert/dib_block.h"
#include "convert/picture_format.h"

namespace convert {
namespace {

class BmpFormatImpl final : public PictureFormat {
 public:
  std::string_view Name() const override { return "bmp"; }
  std::string_view Extension() const override { return "bmp"; }

  PictureWrite Write(const std::string& path, DeviceBitmap&& bitmap,
                     const PictureOptions&) const override {
    PictureWrite result;
    std::optional<DibBlock> block = BitmapToDib(std::move(bitmap), kBiRgb);
    if (!block) {
      result.failure = PictureFailure::kTooLarge;
      return result;
    }
    if (WriteDib(path, *block)) result.bytes = static_cast<long long>(FileHeaderFor(*block).bfSize);
    return result;
  }
};

}  // namespace

const PictureFormat& BmpFormat() {
  static const BmpFormatImpl format;
  return format;
}

}  // namespace convert
