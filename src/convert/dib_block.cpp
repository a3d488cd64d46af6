// The device-independent bitmap block and the bitmap file written from it.
#include "convert/dib_block.h"

#include "base/file_system.h"

namespace convert {

namespace {

void PutU16(std::string& out, std::uint16_t value) {
  out.push_back(static_cast<char>(value & 0xFF));
  out.push_back(static_cast<char>(value >> 8));
}

void PutU32(std::string& out, std::uint32_t value) {
  for (int shift = 0; shift < 32; shift += 8)
    out.push_back(static_cast<char>((value >> shift) & 0xFF));
}

void PutS32(std::string& out, std::int32_t value) {
  PutU32(out, static_cast<std::uint32_t>(value));
}

}  // namespace

int ColourTableEntries(int bitsPerPixel) { return bitsPerPixel <= 8 ? 1 << bitsPerPixel : 0; }

BitmapInfoHeader InfoHeaderFor(const DeviceBitmap& bitmap, int height) {
  BitmapInfoHeader header;
  header.biWidth = bitmap.Width();
  header.biHeight = height;
  header.biPlanes = 1;
  header.biBitCount = static_cast<std::uint16_t>(bitmap.BitsPerPixel());
  header.biCompression = kBiRgb;
  header.biSizeImage = static_cast<std::uint32_t>(bitmap.Stride() * height);
  return header;
}

std::vector<RgbQuad> ColourTableFor(const DeviceBitmap& bitmap) {
  std::vector<RgbQuad> table = bitmap.ColourTable();
  table.resize(ColourTableEntries(bitmap.BitsPerPixel()));
  return table;
}

std::optional<DibBlock> BitmapToDib(DeviceBitmap&& bitmap, std::uint32_t compression) {
  if (compression != kBiRgb) return std::nullopt;
  if (bitmap.Width() <= 0 || bitmap.Height() <= 0) return std::nullopt;
  DibBlock block;
  block.header = InfoHeaderFor(bitmap, bitmap.Height());
  block.colourTable = ColourTableFor(bitmap);
  block.bits = bitmap.TakeBits();
  return block;
}

BitmapFileHeader FileHeaderFor(const BitmapInfoHeader& header, std::size_t colourEntries) {
  BitmapFileHeader file;
  file.bfOffBits =
      kFileHeaderSize + kInfoHeaderSize + 4 * static_cast<std::uint32_t>(colourEntries);
  file.bfSize = file.bfOffBits + header.biSizeImage;
  return file;
}

BitmapFileHeader FileHeaderFor(const DibBlock& block) {
  return FileHeaderFor(block.header, block.colourTable.size());
}

std::string EncodeFileHeader(const BitmapFileHeader& header) {
  std::string out;
  PutU16(out, header.bfType);
  PutU32(out, header.bfSize);
  PutU16(out, header.bfReserved1);
  PutU16(out, header.bfReserved2);
  PutU32(out, header.bfOffBits);
  return out;
}

std::string EncodeInfoHeader(const BitmapInfoHeader& header) {
  std::string out;
  PutU32(out, header.biSize);
  PutS32(out, header.biWidth);
  PutS32(out, header.biHeight);
  PutU16(out, header.biPlanes);
  PutU16(out, header.biBitCount);
  PutU32(out, header.biCompression);
  PutU32(out, header.biSizeImage);
  PutS32(out, header.biXPelsPerMeter);
  PutS32(out, header.biYPelsPerMeter);
  PutU32(out, header.biClrUsed);
  PutU32(out, header.biClrImportant);
  return out;
}

std::string EncodeColourTable(const std::vector<RgbQuad>& table) {
  std::string out;
  out.reserve(table.size() * 4);
  for (const RgbQuad& entry : table) {
    out.push_back(static_cast<char>(entry.rgbBlue));
    out.push_back(static_cast<char>(entry.rgbGreen));
    out.push_back(static_cast<char>(entry.rgbRed));
    out.push_back(static_cast<char>(entry.rgbReserved));
  }
  return out;
}

bool WriteDib(const std::string& path, const DibBlock& block) {
  base::AtomicFile file;
  return file.Open(path) && file.Write(EncodeFileHeader(FileHeaderFor(block))) &&
         file.Write(EncodeInfoHeader(block.header)) &&
         file.Write(EncodeColourTable(block.colourTable)) &&
         file.Write(block.bits.data(), block.bits.size()) && file.Commit();
}

}  // namespace convert
