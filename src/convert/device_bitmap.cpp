// The page bitmap a capture draws into: one pixel buffer of our own, in the bitmap file's layout.
#include "convert/device_bitmap.h"

#include <new>

namespace convert {

std::size_t RowStride(int width, int bitsPerPixel) {
  const std::uint64_t bits = static_cast<std::uint64_t>(bitsPerPixel) * width;
  return static_cast<std::size_t>(((bits + 31) & ~std::uint64_t{31}) / 8);
}

std::optional<DeviceBitmap> DeviceBitmap::Create(int width, int height, int bitsPerPixel,
                                                 std::uint8_t fill) {
  if (width <= 0 || height <= 0 || bitsPerPixel <= 0 || bitsPerPixel > 32) return std::nullopt;
  const std::size_t stride = RowStride(width, bitsPerPixel);
  if (static_cast<std::uint64_t>(stride) * height > kMaxImageBytes) return std::nullopt;
  DeviceBitmap bitmap;
  bitmap.m_width = width;
  bitmap.m_height = height;
  bitmap.m_bitsPerPixel = bitsPerPixel;
  bitmap.m_stride = stride;
  try {
    bitmap.m_bits.assign(stride * height, fill);
  } catch (const std::bad_alloc&) {
    return std::nullopt;
  }
  return bitmap;
}

std::vector<std::uint8_t> DeviceBitmap::TakeBits() {
  std::vector<std::uint8_t> bits = std::move(m_bits);
  m_bits.clear();
  m_width = m_height = 0;
  return bits;
}

}  // namespace convert
