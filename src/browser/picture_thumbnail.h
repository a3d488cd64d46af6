// A small picture of a written page picture, for the report to look at.
#pragma once

#include "convert/html_report.h"

namespace browser {

// The top of the picture file at `path` (any format the pictures are written in), scaled to at
// most `width` pixels wide and cut at `height` pixels, as PNG bytes; empty when the file cannot
// be read as a picture or is too large to be read whole (more than 64 million pixels).
convert::Thumbnail MakeThumbnail(const std::string& path, int width = 160, int height = 200);

}  // namespace browser
