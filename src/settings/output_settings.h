// The pictures' format, quality and split as the settings file keeps them (keys Format, Quality,
// SplitHeight, SplitOverlap), held by the settings record and edited in the output dialog.
#pragma once

#include <string>

namespace settings {

// Values as the key table reads them; the reset values are the table's.
struct OutputSettings {
  std::string m_format = "bmp";  // Format: a picture format's name
  int m_quality = 85;            // Quality: 1-100, for the formats that have one
  int m_splitHeight = 0;         // SplitHeight: parts of at most this many rows; 0: no split
  int m_splitOverlap = 0;        // SplitOverlap: rows a part repeats of the one before
  bool operator==(const OutputSettings&) const = default;
};

// The largest SplitHeight and SplitOverlap the file keeps.
inline constexpr int kLargestSplit = 1000000;

}  // namespace settings
