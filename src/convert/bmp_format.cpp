// The window's picture format: an uncompressed Windows bitmap, its rows bottom row first.
#include <limits>

#include "convert/dib_block.h"
#include "convert/picture_format.h"

namespace convert {
namespace {

class BmpFormatImpl final : public PictureFormat {
 public:
  std::string_view Name() const override { return "bmp"; }
  std::string_view Extension() const override { return "bmp"; }
  // The page bitmap's own limit (kMaxImageBytes) is the file's.
  int LargestSide() const override { return std::numeric_limits<int>::max(); }
  bool KeepsTransparency() const override { return false; }

  bool Encode(PictureSink& sink, const PictureRows& rows, const PictureOptions&) const override {
    const BitmapInfoHeader header = InfoHeaderFor(rows.bitmap, rows.height);
    const std::vector<RgbQuad> table = ColourTableFor(rows.bitmap);
    const std::string head = EncodeFileHeader(FileHeaderFor(header, table.size())) +
                             EncodeInfoHeader(header) + EncodeColourTable(table);
    // The bitmap keeps its rows bottom row first, as the file does: the band's rows lie
    // together, starting at its bottom row.
    return sink.Write(head.data(), head.size()) &&
           sink.Write(rows.Row(rows.height - 1), rows.bitmap.Stride() * rows.height);
  }
};

}  // namespace

const PictureFormat& BmpFormat() {
  static const BmpFormatImpl format;
  return format;
}

}  // namespace convert
