// The page bitmap a capture draws into: one pixel buffer of our own, in the bitmap file's layout.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <vector>

namespace convert {

// One colour-table entry as the bitmap file stores it.
struct RgbQuad {
  std::uint8_t rgbBlue = 0;
  std::uint8_t rgbGreen = 0;
  std::uint8_t rgbRed = 0;
  std::uint8_t rgbReserved = 0;
  bool operator==(const RgbQuad&) const = default;
};

// Bytes of one pixel row: bitsPerPixel * width rounded up to a multiple of 32 bits.
std::size_t RowStride(int width, int bitsPerPixel);

// The largest pixel area a bitmap may have: its file size must fit the file header's 32-bit
// fields, and readers take them as signed.
inline constexpr std::uint64_t kMaxImageBytes = 0x7FFFFFFFu - 14 - 40 - 4 * 256;

// A bitmap as the display holds it: width, height, bits per pixel, the colour table of a
// palette display (8 bits or less), and the pixel rows. The rows are kept bottom row first with
// the file's row stride, so that the bitmap file's block takes them over without a copy.
class DeviceBitmap {
 public:
  // A bitmap of the given size with every byte set to `fill`; nullopt when the size is not
  // positive, exceeds kMaxImageBytes, or the memory cannot be had.
  static std::optional<DeviceBitmap> Create(int width, int height, int bitsPerPixel,
                                            std::uint8_t fill = 0);

  int Width() const { return m_width; }
  int Height() const { return m_height; }
  int BitsPerPixel() const { return m_bitsPerPixel; }
  std::size_t Stride() const { return m_stride; }

  // Row `y` counted from the top of the picture.
  std::uint8_t* Row(int y) { return m_bits.data() + (m_height - 1 - y) * m_stride; }
  const std::uint8_t* Row(int y) const { return m_bits.data() + (m_height - 1 - y) * m_stride; }

  std::vector<RgbQuad>& ColourTable() { return m_colourTable; }
  const std::vector<RgbQuad>& ColourTable() const { return m_colourTable; }

  // Hands the rows (bottom row first) over; the bitmap is empty afterwards.
  std::vector<std::uint8_t> TakeBits();

 private:
  DeviceBitmap() = default;

  int m_width = 0;
  int m_height = 0;
  int m_bitsPerPixel = 0;
  std::size_t m_stride = 0;
  std::vector<RgbQuad> m_colourTable;
  std::vector<std::uint8_t> m_bits;
};

}  // namespace convert
