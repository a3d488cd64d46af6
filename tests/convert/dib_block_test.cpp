// The bitmap block and the bitmap file, byte for byte, for true colour and for a colour table.
#include "convert/dib_block.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "base/file_system.h"
#include "support/temp_folder.h"

namespace {

using convert::DeviceBitmap;
using testing_support::ReadFile;
using testing_support::Sjis;
using testing_support::TempFolder;

std::string Bytes(std::initializer_list<int> values) {
  std::string out;
  for (int v : values) out.push_back(static_cast<char>(v));
  return out;
}

TEST(RowStride, RoundsEveryRowUpToFourBytes) {
  struct Case {
    int width, bitsPerPixel;
    size_t stride;
  } cases[] = {
      {1, 1, 4},   {33, 1, 8},  {1, 4, 4},     {7, 4, 4},  {9, 4, 8},       {1, 8, 4},
      {4, 8, 4},   {7, 8, 8},   {8, 8, 8},     {9, 8, 12}, {15, 8, 16},     {1, 24, 4},
      {4, 24, 12}, {7, 24, 24}, {33, 24, 100}, {1, 32, 4}, {781, 32, 3124},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(convert::RowStride(c.width, c.bitsPerPixel), c.stride)
        << c.width << " px at " << c.bitsPerPixel << " bits";
  }
}

TEST(WriteDib, TrueColourFileByteForByte) {
  TempFolder folder;
  auto bitmap = DeviceBitmap::Create(3, 2, 32).value();
  for (int y = 0; y < 2; ++y) {
    for (int x = 0; x < 3; ++x) {
      std::uint8_t* pixel = bitmap.Row(y) + x * 4;
      pixel[0] = static_cast<std::uint8_t>(0x10 * y + x);  // blue
      pixel[1] = 0xA0;                                     // green
      pixel[2] = 0xB0;                                     // red
    }
  }
  auto block = convert::BitmapToDib(std::move(bitmap), convert::kBiRgb).value();
  EXPECT_TRUE(block.colourTable.empty());
  ASSERT_TRUE(convert::WriteDib(folder / "page.bmp", block));

  const std::string expected =
      Bytes({'B', 'M', 78, 0, 0, 0, 0, 0, 0, 0, 54, 0, 0, 0}) +             // file header
      Bytes({40, 0, 0, 0, 3, 0, 0, 0, 2, 0, 0, 0, 1, 0, 32, 0, 0, 0, 0, 0,  // info header
             24, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0,  0, 0, 0, 0, 0}) +
      Bytes({0x10, 0xA0, 0xB0, 0, 0x11, 0xA0, 0xB0, 0, 0x12, 0xA0, 0xB0, 0}) +  // bottom row
      Bytes({0x00, 0xA0, 0xB0, 0, 0x01, 0xA0, 0xB0, 0, 0x02, 0xA0, 0xB0, 0});   // top row
  EXPECT_EQ(ReadFile(folder / "page.bmp"), expected);
}

TEST(WriteDib, EightBitFileHas256ColoursAndPixelsAt1078) {
  TempFolder folder;
  auto bitmap = DeviceBitmap::Create(3, 2, 8).value();
  bitmap.ColourTable() = {{0x01, 0x02, 0x03, 0}, {0xFF, 0xFE, 0xFD, 0}};
  bitmap.Row(0)[0] = 1, bitmap.Row(0)[1] = 0, bitmap.Row(0)[2] = 1;
  bitmap.Row(1)[0] = 0, bitmap.Row(1)[1] = 1, bitmap.Row(1)[2] = 0;
  auto block = convert::BitmapToDib(std::move(bitmap), convert::kBiRgb).value();
  ASSERT_TRUE(convert::WriteDib(folder / "palette.bmp", block));

  std::string table = Bytes({0x01, 0x02, 0x03, 0, 0xFF, 0xFE, 0xFD, 0});
  table.resize(256 * 4, '\0');  // the entries the bitmap does not name stay black
  const std::string expected =
      Bytes({'B', 'M', 0x3E, 0x04, 0, 0, 0, 0, 0, 0, 0x36, 0x04, 0, 0}) +  // 1086, 1078
      Bytes({40, 0, 0, 0, 3, 0, 0, 0, 2, 0, 0, 0, 1, 0, 8, 0, 0, 0, 0, 0,
             8,  0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0}) +
      table + Bytes({0, 1, 0, 0}) + Bytes({1, 0, 1, 0});  // rows padded to 4 bytes, bottom first
  EXPECT_EQ(ReadFile(folder / "palette.bmp"), expected);
}

TEST(BitmapToDib, ColourTableSizeFollowsTheBitsPerPixel) {
  struct Case {
    int bitsPerPixel;
    size_t entries;
    std::uint32_t offset;
  } cases[] = {{1, 2, 62}, {4, 16, 118}, {8, 256, 1078}, {24, 0, 54}, {32, 0, 54}};
  for (const auto& c : cases) {
    auto block =
        convert::BitmapToDib(DeviceBitmap::Create(5, 3, c.bitsPerPixel).value(), convert::kBiRgb)
            .value();
    EXPECT_EQ(block.colourTable.size(), c.entries) << c.bitsPerPixel;
    EXPECT_EQ(convert::FileHeaderFor(block).bfOffBits, c.offset) << c.bitsPerPixel;
    EXPECT_EQ(block.header.biSizeImage, convert::RowStride(5, c.bitsPerPixel) * 3);
    EXPECT_EQ(block.bits.size(), block.header.biSizeImage);
  }
}

TEST(BitmapToDib, MakesOnlyUncompressedBlocks) {
  for (std::uint32_t compression : {1u, 2u, convert::kBiBitFields}) {
    EXPECT_FALSE(
        convert::BitmapToDib(DeviceBitmap::Create(2, 2, 32).value(), compression).has_value())
        << compression;
  }
}

TEST(DeviceBitmap, RefusesSizesTheFileCannotHold) {
  EXPECT_FALSE(DeviceBitmap::Create(0, 10, 32));
  EXPECT_FALSE(DeviceBitmap::Create(10, 0, 32));
  EXPECT_FALSE(DeviceBitmap::Create(100000, 100000, 32));  // 40 GB
  EXPECT_TRUE(DeviceBitmap::Create(1, 1, 32));
}

TEST(WriteDib, FailedWriteLeavesNoFileAndReplacesWholly) {
  TempFolder folder;
  auto small = convert::BitmapToDib(DeviceBitmap::Create(1, 1, 32).value(), convert::kBiRgb);
  EXPECT_FALSE(convert::WriteDib(folder / "missing/page.bmp", *small));
  EXPECT_FALSE(base::FileExists(folder / "missing/page.bmp"));

  // A Japanese name, written over an older, longer file: the new file replaces it entirely.
  const std::string path = folder / Sjis("ページ.bmp");
  testing_support::WriteFile(path, std::string(500, 'x'));
  ASSERT_TRUE(convert::WriteDib(path, *small));
  EXPECT_EQ(ReadFile(path).size(), 58u);
  EXPECT_TRUE(std::filesystem::exists(std::filesystem::path(folder.path()) / "ページ.bmp"));
  int entries = 0;
  for (const auto& entry : std::filesystem::directory_iterator(folder.path())) {
    (void)entry;
    ++entries;
  }
  EXPECT_EQ(entries, 1);  // no temporary file left behind
}

}  // namespace
