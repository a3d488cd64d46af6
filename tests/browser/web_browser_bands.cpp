// Test pages of solid colour bands at known offsets, and the bitmap files captured from them.
#include "browser/web_browser_bands.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <numeric>

#include "support/temp_folder.h"

namespace testing_support {
namespace {

std::string CssColour(std::uint32_t colour) {
  char text[8];
  std::snprintf(text, sizeof text, "#%06X", colour & 0xFFFFFFu);
  return text;
}

std::uint32_t Little32(const std::string& bytes, std::size_t at) {
  std::uint32_t value = 0;
  for (int i = 3; i >= 0; --i) value = (value << 8) | static_cast<unsigned char>(bytes[at + i]);
  return value;
}

std::uint32_t Little16(const std::string& bytes, std::size_t at) {
  return static_cast<unsigned char>(bytes[at]) | static_cast<unsigned char>(bytes[at + 1]) << 8;
}

}  // namespace

BandPage::BandPage(std::vector<Band> bands, int width) : m_bands(std::move(bands)) {
  if (width > 0) {
    // Columns of unequal widths, so that a misplaced column tile shows.
    const int pattern[] = {300, 500, 700, 440, 60};
    for (int used = 0, i = 0; used < width; ++i) {
      const int column = std::min(pattern[i % 5], width - used);
      m_columns.push_back(column);
      used += column;
    }
  }
}

std::vector<Band> BandPage::Bands(int height, int seed) {
  const int heights[] = {120, 250, 70, 360, 44, 718};
  std::vector<Band> bands;
  for (int used = 0, i = 0; used < height; ++i) {
    const int band = std::min(heights[i % 6], height - used);
    const std::uint32_t r = (i * 67 + seed * 31 + 20) % 230;
    const std::uint32_t g = (i * 151 + seed * 7 + 90) % 230;
    const std::uint32_t b = (i * 29 + seed * 113 + 160) % 230;
    bands.push_back({band, r << 16 | g << 8 | b});
    used += band;
  }
  return bands;
}

std::string BandPage::Html() const {
  std::string html = m_quirks ? "" : "<!DOCTYPE html>\n";
  html +=
      "<html><head><style>html { background: #FFFFFF; scroll-behavior: smooth; } body { margin: " +
      std::to_string(m_margin) +
      "px; } .b { display: flex; } .b div { flex: auto; }</style>"
      "</head><body>\n" +
      m_bodyStart;
  for (std::size_t i = 0; i < m_bands.size(); ++i) {
    const Band& band = m_bands[i];
    html += "<div class=\"b\" style=\"height: " + std::to_string(band.height) + "px\">";
    if (m_columns.empty()) {
      html += "<div style=\"background: " + CssColour(band.colour) + "\"></div>";
    }
    for (std::size_t j = 0; j < m_columns.size(); ++j) {
      html += "<div style=\"flex: none; width: " + std::to_string(m_columns[j]) +
              "px; background: " + CssColour(band.colour ^ (0x3B1F59u * j)) + "\"></div>";
    }
    html += "</div>\n";
  }
  return html + "</body></html>\n";
}

std::uint32_t BandPage::ColourAt(int x, int y) const {
  constexpr std::uint32_t kWhite = 0xFFFFFF;
  x -= m_margin;
  y -= m_margin;
  if (x < 0 || y < 0) return kWhite;
  const int width = m_columns.empty() ? kViewWidth - 2 * m_margin
                                      : std::accumulate(m_columns.begin(), m_columns.end(), 0);
  if (x >= width) return kWhite;
  for (const Band& band : m_bands) {
    if (y < band.height) {
      std::uint32_t j = 0;
      for (int left = 0; j < m_columns.size() && x >= left + m_columns[j]; ++j) {
        left += m_columns[j];
      }
      return m_columns.empty() ? band.colour : (band.colour ^ (0x3B1F59u * j)) & kWhite;
    }
    y -= band.height;
  }
  return kWhite;
}

BitmapFile BitmapFile::Read(const std::string& path) {
  BitmapFile file;
  file.bytes = ReadFile(path);
  const std::string& b = file.bytes;
  if (b.size() < 54 || b.compare(0, 2, "BM") != 0) return file;
  file.fileSize = Little32(b, 2);
  file.offBits = Little32(b, 10);
  file.width = static_cast<int>(Little32(b, 18));
  file.height = static_cast<int>(Little32(b, 22));
  file.bitsPerPixel = static_cast<int>(Little16(b, 28));
  file.imageSize = Little32(b, 34);
  file.valid = Little32(b, 6) == 0 && Little32(b, 14) == 40 && Little16(b, 26) == 1 &&
               Little32(b, 30) == 0 && Little32(b, 38) == 0 && Little32(b, 42) == 0 &&
               Little32(b, 46) == 0 && Little32(b, 50) == 0 && file.fileSize == b.size() &&
               file.width > 0 && file.height > 0 && file.bitsPerPixel == 32 &&
               file.offBits + std::size_t{4} * file.width * file.height <= b.size();
  return file;
}

std::uint32_t BitmapFile::Pixel(int x, int y) const {
  if (!valid || x < 0 || y < 0 || x >= width || y >= height) return kOutside;
  const std::size_t row = static_cast<std::size_t>(height - 1 - y);  // bottom row first
  return Little32(bytes, offBits + (row * width + x) * 4);
}

std::string BitmapFile::FirstMismatch(const BandPage& page, double scale) const {
  return FirstMismatch([&](int x, int y) {
    return page.ColourAt(static_cast<int>(x / scale), static_cast<int>(y / scale));
  });
}

std::string BitmapFile::FirstMismatch(
    const std::function<std::uint32_t(int, int)>& expectedAt) const {
  std::string first;
  long long wrong = 0;
  for (int y = 0; y < height; ++y) {
    for (int x = 0; x < width; ++x) {
      const std::uint32_t expected = expectedAt(x, y);
      const std::uint32_t actual = Pixel(x, y);
      if (actual == expected) continue;
      if (wrong++ == 0) {
        char text[120];
        std::snprintf(text, sizeof text, "pixel (%d, %d) is %08X, not %06X", x, y, actual,
                      expected);
        first = text;
      }
    }
  }
  return wrong == 0 ? "" : first + " (" + std::to_string(wrong) + " wrong pixels)";
}

}  // namespace testing_support
