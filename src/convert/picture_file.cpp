// Writing a page bitmap as a picture file in any format: the format's limits, a tall page split
// into parts, and every file in place only when the whole picture is written.
#include "convert/picture_file.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <memory>

#include "base/file_system.h"

namespace convert {
namespace {

// A picture file under its temporary name, counting its bytes.
class FileSink final : public PictureSink {
 public:
  bool Open(const std::string& path) { return m_file.Open(path); }
  bool Write(const void* data, std::size_t size) override {
    if (!m_file.Write(data, size)) return false;
    m_bytes += static_cast<long long>(size);
    return true;
  }
  bool Commit() { return m_file.Commit(); }
  long long Bytes() const { return m_bytes; }

 private:
  base::AtomicFile m_file;
  long long m_bytes = 0;
};

// Whether every pixel of row `y` has the colour of its first (the unused fourth byte of a 32-bit
// pixel aside): a row a cut goes through without cutting anything drawn.
bool OneColourRow(const DeviceBitmap& bitmap, int y) {
  const int bytes = std::max(bitmap.BitsPerPixel() / 8, 1);
  const int compared = std::min(bytes, 3);
  const std::uint8_t* row = bitmap.Row(y);
  for (int x = 1; x < bitmap.Width(); ++x) {
    if (std::memcmp(row, row + x * bytes, compared) != 0) return false;
  }
  return true;
}

}  // namespace

std::vector<PartRows> PlanParts(const DeviceBitmap& bitmap, int splitHeight, int overlap) {
  const int height = bitmap.Height();
  if (splitHeight <= 0 || height <= splitHeight) return {{0, height}};
  overlap = std::clamp(overlap, 0, splitHeight - 1);
  std::vector<PartRows> parts;
  int top = 0;
  while (height - top > splitHeight) {
    int end = top + splitHeight;
    // The cut may move up by a tenth of a part, never so far that the next part would not move
    // on past this one's top.
    const int highest = std::max(end - splitHeight / 10, top + overlap + 1);
    for (int y = end - 1; y >= highest; --y) {
      if (OneColourRow(bitmap, y)) {
        end = y + 1;
        break;
      }
    }
    parts.push_back({top, end - top});
    top = end - overlap;
  }
  parts.push_back({top, height - top});
  return parts;
}

std::string PartPath(const std::string& path, int number) {
  const std::size_t slash = path.rfind('/');
  std::size_t dot = path.rfind('.');
  if (dot == std::string::npos || (slash != std::string::npos && dot < slash)) dot = path.size();
  char suffix[16];
  std::snprintf(suffix, sizeof suffix, "-%03d", number);
  return path.substr(0, dot) + suffix + path.substr(dot);
}

std::string PictureRefusal(const PictureFormat& format, int width, int height,
                           const PictureOptions& options) {
  const int largest = format.LargestSide();
  const int tallest = options.splitHeight > 0 ? std::min(height, options.splitHeight) : height;
  if (width <= largest && tallest <= largest) return {};
  return std::string(format.Name()) + ": at most " + std::to_string(largest) + " pixels a side";
}

PictureChoiceProblem CheckPictureChoice(const PictureFormat& format,
                                        const PictureOptions& options) {
  if (options.quality < 1 || options.quality > 100) return PictureChoiceProblem::kQuality;
  if (options.splitHeight < 0 || options.splitHeight > kLargestSplitHeight) {
    return PictureChoiceProblem::kSplit;
  }
  if (options.splitOverlap < 0 ||
      (options.splitHeight > 0 && options.splitOverlap >= options.splitHeight)) {
    return PictureChoiceProblem::kOverlap;
  }
  if (options.splitHeight > format.LargestSide()) return PictureChoiceProblem::kSplitTooTall;
  if (options.transparent && !format.KeepsTransparency())
    return PictureChoiceProblem::kTransparency;
  return PictureChoiceProblem::kNone;
}

PictureWrite WritePicture(const PictureFormat& format, const std::string& path,
                          const DeviceBitmap& bitmap, const PictureOptions& options) {
  PictureWrite result;
  result.detail = PictureRefusal(format, bitmap.Width(), bitmap.Height(), options);
  if (!result.detail.empty()) {
    result.failure = PictureFailure::kTooLarge;
    return result;
  }
  const std::vector<PartRows> plan = PlanParts(bitmap, options.splitHeight, options.splitOverlap);
  const bool split = plan.size() > 1;
  long long total = 0;
  for (std::size_t i = 0; i < plan.size(); ++i) {
    const std::string file = split ? PartPath(path, static_cast<int>(i) + 1) : path;
    // One part at a time: a part is renamed into place as soon as it is whole, and a later
    // failure takes the parts already placed away again, so that no half set is left.
    FileSink sink;
    const bool written = sink.Open(file) &&
                         format.Encode(sink, {bitmap, plan[i].top, plan[i].height}, options) &&
                         sink.Commit();
    if (!written) {
      for (const PicturePart& placed : result.parts) base::RemoveFile(placed.output);
      result.parts.clear();
      return result;
    }
    total += sink.Bytes();
    if (split) result.parts.push_back({file, plan[i].top, plan[i].height, sink.Bytes()});
  }
  result.bytes = total;
  return result;
}

}  // namespace convert
