// The registry of picture formats: the only place that lists them.
#include "convert/picture_format.h"

namespace convert {

// Each format's file defines its own instance; a new format adds one line here and one to the
// list below.
const PictureFormat& BmpFormat();
const PictureFormat& PngFormat();
const PictureFormat& JpegFormat();
const PictureFormat& WebpFormat();

const std::vector<const PictureFormat*>& PictureFormats() {
  static const std::vector<const PictureFormat*> formats = {&BmpFormat(), &PngFormat(),
                                                            &JpegFormat(), &WebpFormat()};
  return formats;
}

const PictureFormat& DefaultPictureFormat() { return *PictureFormats().front(); }

const PictureFormat* FindPictureFormat(std::string_view name) {
  for (const PictureFormat* format : PictureFormats()) {
    if (format->Name() == name) return format;
  }
  return nullptr;
}

std::string PictureFormatNames(std::string_view separator) {
  std::string names;
  for (const PictureFormat* format : PictureFormats()) {
    if (!names.empty()) names += separator;
    names += format->Name();
  }
  return names;
}

}  // namespace convert
