// The device-independent bitmap block and the bitmap file written from it.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "convert/device_bitmap.h"

namespace convert {

inline constexpr std::uint32_t kBiRgb = 0;                // uncompressed
inline constexpr std::uint32_t kBiBitFields = 3;          // bit-field masks
inline constexpr std::uint16_t kBitmapFileType = 0x4D42;  // "BM"
inline constexpr std::uint32_t kFileHeaderSize = 14;
inline constexpr std::uint32_t kInfoHeaderSize = 40;

// The 40-byte info header at the start of the block, little-endian in the file.
struct BitmapInfoHeader {
  std::uint32_t biSize = kInfoHeaderSize;
  std::int32_t biWidth = 0;
  std::int32_t biHeight = 0;  // positive: bottom row first
  std::uint16_t biPlanes = 1;
  std::uint16_t biBitCount = 0;
  std::uint32_t biCompression = kBiRgb;
  std::uint32_t biSizeImage = 0;
  std::int32_t biXPelsPerMeter = 0;
  std::int32_t biYPelsPerMeter = 0;
  std::uint32_t biClrUsed = 0;
  std::uint32_t biClrImportant = 0;
};

// The 14-byte header in front of the block in a bitmap file.
struct BitmapFileHeader {
  std::uint16_t bfType = kBitmapFileType;
  std::uint32_t bfSize = 0;  // the whole file
  std::uint16_t bfReserved1 = 0;
  std::uint16_t bfReserved2 = 0;
  std::uint32_t bfOffBits = 0;  // where the pixel rows start
};

// The block: info header, colour table (2^bits entries for 8 bits or less, else none), rows
// bottom row first.
struct DibBlock {
  BitmapInfoHeader header;
  std::vector<RgbQuad> colourTable;
  std::vector<std::uint8_t> bits;
};

// Entries in the colour table of a bitmap with `bitsPerPixel`: 2, 16 or 256 up to 8 bits, else 0.
int ColourTableEntries(int bitsPerPixel);

// Turns the page bitmap into its block, taking its rows over. Only uncompressed rows are made:
// any other compression gives none, as does an empty bitmap. A palette bitmap whose colour table
// is shorter than 2^bits is completed with black entries.
std::optional<DibBlock> BitmapToDib(DeviceBitmap&& bitmap, std::uint32_t compression);

// The info header of `height` rows of `bitmap`, uncompressed, and the colour table its file
// carries (2^bits entries up to 8 bits, completed with black; else none).
BitmapInfoHeader InfoHeaderFor(const DeviceBitmap& bitmap, int height);
std::vector<RgbQuad> ColourTableFor(const DeviceBitmap& bitmap);

BitmapFileHeader FileHeaderFor(const BitmapInfoHeader& header, std::size_t colourEntries);
BitmapFileHeader FileHeaderFor(const DibBlock& block);
std::string EncodeFileHeader(const BitmapFileHeader& header);      // 14 bytes
std::string EncodeInfoHeader(const BitmapInfoHeader& header);      // 40 bytes
std::string EncodeColourTable(const std::vector<RgbQuad>& table);  // 4 bytes an entry

// Writes file header, info header, colour table and rows to `path` under a temporary name and
// renames it into place; false when the file cannot be written (an old file stays untouched).
bool WriteDib(const std::string& path, const DibBlock& block);

}  // namespace convert
