// Test pages of solid colour bands at known offsets, and the bitmap files captured from them.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace testing_support {

// One horizontal band of a page: its height and colour (0xRRGGBB).
struct Band {
  int height = 0;
  std::uint32_t colour = 0;
};

// A page of bands, each as wide as the view or split into columns of fixed widths. Every band
// height, column width and margin is even, so a page pixel pair (2k, 2k + 1) always shares one
// colour and a capture at 50% has a single right answer per bitmap pixel.
class BandPage {
 public:
  static constexpr int kViewWidth = 800;

  // width 0: the bands fill the view's width; else they are split into columns adding up to it.
  explicit BandPage(std::vector<Band> bands, int width = 0);
  // Bands of varied heights and colours adding up to `height`; `seed` varies the colours.
  static std::vector<Band> Bands(int height, int seed);

  void SetMargin(int pixels) { m_margin = pixels; }
  void SetQuirks(bool quirks) { m_quirks = quirks; }
  // Markup put at the start of the body, before the bands (a header, a script).
  void SetBodyStart(std::string html) { m_bodyStart = std::move(html); }

  // The page, asking for smooth scrolling as some pages do.
  std::string Html() const;
  // The colour shown at page pixel (x, y): white outside the bands.
  std::uint32_t ColourAt(int x, int y) const;

 private:
  std::vector<Band> m_bands;
  std::vector<int> m_columns;  // widths; empty: one column as wide as the view allows
  int m_margin = 0;
  bool m_quirks = false;
  std::string m_bodyStart;
};

// A bitmap file read back: the header fields and the pixels.
struct BitmapFile {
  static BitmapFile Read(const std::string& path);

  bool valid = false;  // "BM", a 40-byte info header, and the fields the writer must leave fixed
  std::uint32_t fileSize = 0;
  std::uint32_t offBits = 0;
  int width = 0;
  int height = 0;
  int bitsPerPixel = 0;
  std::uint32_t imageSize = 0;
  std::string bytes;

  // What Pixel gives for a place outside the picture: no colour a picture can hold, since the
  // writer leaves the fourth byte 0.
  static constexpr std::uint32_t kOutside = 0xFFFFFFFFu;

  // The pixel at (x, y) counted from the top, as 0x00RRGGBB plus the fourth byte in the top 8 bits;
  // kOutside when (x, y) is not in the picture.
  std::uint32_t Pixel(int x, int y) const;
  // "" when every pixel shows the page at `scale` (bitmap pixel d from page pixel d / scale);
  // else where the first wrong pixel is and how many there are.
  std::string FirstMismatch(const BandPage& page, double scale) const;
  // "" when every pixel (x, y) is expected(x, y) (0xRRGGBB); else the first wrong one and a count.
  std::string FirstMismatch(const std::function<std::uint32_t(int, int)>& expected) const;
};

}  // namespace testing_support
