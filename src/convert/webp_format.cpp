// WebP pictures: lossy at the run's quality, lossless at quality 100, with libwebp.
#include <webp/encode.h>

#include <algorithm>

#include "convert/picture_format.h"

namespace convert {
namespace {

int WriteToSink(const std::uint8_t* data, std::size_t size, const WebPPicture* picture) {
  return static_cast<PictureSink*>(picture->custom_ptr)->Write(data, size) ? 1 : 0;
}

// The encoder's settings for `quality`: 100 keeps every pixel (lossless, at a middle effort that
// still keeps a page's encoding within the time of its capture).
bool ConfigFor(int quality, WebPConfig& config) {
  if (!WebPConfigInit(&config)) return false;
  if (quality >= 100) {
    if (!WebPConfigLosslessPreset(&config, 1)) return false;
  } else {
    config.quality = static_cast<float>(std::clamp(quality, 1, 99));
  }
  return WebPValidateConfig(&config) != 0;
}

// Takes the band's pixels over into the encoder's picture, top row first: the bitmap keeps its
// rows bottom row first, so the rows are read upwards through memory.
bool Import(WebPPicture& picture, const PictureRows& rows, bool transparent) {
  const int stride = -static_cast<int>(rows.bitmap.Stride());
  const std::uint8_t* top = rows.Row(0);
  if (rows.bitmap.BitsPerPixel() == 24) return WebPPictureImportBGR(&picture, top, stride) != 0;
  return (transparent ? WebPPictureImportBGRA(&picture, top, stride)
                      : WebPPictureImportBGRX(&picture, top, stride)) != 0;
}

class WebpFormatImpl final : public PictureFormat {
 public:
  std::string_view Name() const override { return "webp"; }
  std::string_view Extension() const override { return "webp"; }
  int LargestSide() const override { return WEBP_MAX_DIMENSION; }
  bool KeepsTransparency() const override { return true; }

  // libwebp encodes from a picture of its own: the band is held a second time, in the encoder's
  // colour planes. A WebP picture is at most 16383 rows, so a tall page is split first.
  bool Encode(PictureSink& sink, const PictureRows& rows,
              const PictureOptions& options) const override {
    const int bits = rows.bitmap.BitsPerPixel();
    WebPConfig config;
    WebPPicture picture;
    if ((bits != 24 && bits != 32) || !ConfigFor(options.quality, config) ||
        !WebPPictureInit(&picture)) {
      return false;
    }
    picture.use_argb = config.lossless;
    picture.width = rows.Width();
    picture.height = rows.height;
    picture.writer = WriteToSink;
    picture.custom_ptr = &sink;
    const bool encoded = Import(picture, rows, options.transparent && bits == 32) &&
                         WebPEncode(&config, &picture) != 0;
    WebPPictureFree(&picture);
    return encoded;
  }
};

}  // namespace

const PictureFormat& WebpFormat() {
  static const WebpFormatImpl format;
  return format;
}

}  // namespace convert
