// Writing a page bitmap as a picture file in any format: the format's limits, a tall page split
// into parts, and every file in place only when the whole picture is written.
#pragma once

#include <string>
#include <vector>

#include "convert/device_bitmap.h"
#include "convert/picture_format.h"
#include "settings/output_settings.h"

namespace convert {

// The rows of one part of a split picture.
struct PartRows {
  int top = 0;
  int height = 0;
  bool operator==(const PartRows&) const = default;
};

// The parts a picture is split into at `splitHeight` rows with `overlap` rows repeated (0 <=
// overlap < splitHeight): a picture no taller than splitHeight, or a splitHeight of 0, is one
// part. A part ends below the lowest row of one colour within its last tenth where there is one,
// so that no line of text is cut in two, else at its full height; the next begins `overlap` rows
// above that end.
std::vector<PartRows> PlanParts(const DeviceBitmap& bitmap, int splitHeight, int overlap);

// The file of part `number` (from 1) of the picture at `path`: "out/page.png" ->
// "out/page-001.png".
std::string PartPath(const std::string& path, int number);

// Why `format` cannot hold a picture of `width` by `height` pixels split as `options` asks, in
// the report's words ("jpeg: at most 65500 pixels a side"); empty when it can.
std::string PictureRefusal(const PictureFormat& format, int width, int height,
                           const PictureOptions& options);

// What is wrong with a choice of the pictures' options, checked where they are chosen (the
// command line, the output dialog) before any page is rendered.
enum class PictureChoiceProblem {
  kNone,
  kQuality,       // quality outside 1-100
  kSplit,         // a split height below 0 or above kLargestSplitHeight
  kOverlap,       // an overlap below 0, or not below a split height
  kSplitTooTall,  // parts taller than the format holds
  kTransparency,  // transparency asked of a format that cannot keep it
};
inline constexpr int kLargestSplitHeight = settings::kLargestSplit;
PictureChoiceProblem CheckPictureChoice(const PictureFormat& format, const PictureOptions& options);

// Writes `bitmap` to `path` in `format`, or, when options split it into more than one part, to
// PartPath(path, 1), PartPath(path, 2), … Each file is written under a temporary name and every
// one is renamed into place only when all are written: a failure leaves the old files untouched.
PictureWrite WritePicture(const PictureFormat& format, const std::string& path,
                          const DeviceBitmap& bitmap, const PictureOptions& options);

}  // namespace convert
