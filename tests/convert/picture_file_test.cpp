// Picture files on disk: PNG pixels as the bitmap holds them, and both formats written into the
// real file behind a link, keeping its mode, and never over a file the user may not write.
#include <gtest/gtest.h>
#include <png.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <optional>
#include <vector>

#include "convert/device_bitmap.h"
#include "convert/dib_block.h"
#include "convert/png_file.h"
#include "support/temp_folder.h"

namespace {

using testing_support::ReadFile;
using testing_support::TempFolder;
using testing_support::WriteFile;

// A bitmap whose pixel (x, y) is blue x, green y, red x + y.
convert::DeviceBitmap Gradient(int width, int height, int bitsPerPixel) {
  std::optional<convert::DeviceBitmap> bitmap =
      convert::DeviceBitmap::Create(width, height, bitsPerPixel);
  const int bytes = bitsPerPixel / 8;
  for (int y = 0; y < height; ++y) {
    for (int x = 0; x < width; ++x) {
      std::uint8_t* pixel = bitmap->Row(y) + x * bytes;
      pixel[0] = static_cast<std::uint8_t>(x);
      pixel[1] = static_cast<std::uint8_t>(y);
      pixel[2] = static_cast<std::uint8_t>(x + y);
    }
  }
  return std::move(*bitmap);
}

// The RGB rows of a PNG file, top row first.
std::vector<std::vector<std::uint8_t>> ReadPngRows(const std::string& path, int& width,
                                                   int& height) {
  png_image image{};
  image.version = PNG_IMAGE_VERSION;
  std::vector<std::vector<std::uint8_t>> rows;
  if (!png_image_begin_read_from_file(&image, path.c_str())) return rows;
  image.format = PNG_FORMAT_RGB;
  std::vector<std::uint8_t> pixels(PNG_IMAGE_SIZE(image));
  png_image_finish_read(&image, nullptr, pixels.data(), 0, nullptr);
  width = static_cast<int>(image.width);
  height = static_cast<int>(image.height);
  for (int y = 0; y < height; ++y) {
    rows.emplace_back(pixels.begin() + y * width * 3, pixels.begin() + (y + 1) * width * 3);
  }
  return rows;
}

TEST(WritePng, EveryPixelKeepsItsColourAtBothDepths) {
  TempFolder folder;
  for (const int bitsPerPixel : {24, 32}) {
    for (const auto& [width, height] : {std::pair{1, 1}, {7, 3}, {33, 65}}) {
      const std::string path = folder / "page.png";
      const convert::DeviceBitmap bitmap = Gradient(width, height, bitsPerPixel);
      const std::optional<long long> bytes = convert::WritePng(path, bitmap);
      ASSERT_TRUE(bytes) << bitsPerPixel;
      EXPECT_EQ(static_cast<std::size_t>(*bytes), ReadFile(path).size());
      int readWidth = 0, readHeight = 0;
      const auto rows = ReadPngRows(path, readWidth, readHeight);
      ASSERT_EQ(readWidth, width);
      ASSERT_EQ(readHeight, height);
      for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
          const std::uint8_t* rgb = rows[y].data() + x * 3;
          ASSERT_EQ(rgb[0], static_cast<std::uint8_t>(x + y)) << x << "," << y;
          ASSERT_EQ(rgb[1], static_cast<std::uint8_t>(y));
          ASSERT_EQ(rgb[2], static_cast<std::uint8_t>(x));
        }
      }
    }
  }
}

// Writes a small picture in each format to `path`; true when both writes succeeded.
bool WriteBoth(const std::string& bmpPath, const std::string& pngPath) {
  convert::DeviceBitmap forPng = Gradient(4, 4, 32);
  std::optional<convert::DibBlock> block =
      convert::BitmapToDib(Gradient(4, 4, 32), convert::kBiRgb);
  const bool bmp = block && convert::WriteDib(bmpPath, *block);
  const bool png = convert::WritePng(pngPath, forPng).has_value();
  return bmp && png;
}

TEST(PictureFiles, AreWrittenThroughLinksKeepingModeAndNeverOverReadOnlyFiles) {
  TempFolder folder;
  for (const char* name : {"a.bmp", "a.png"}) {
    WriteFile(folder / (std::string("real/") + name), "old");
    ::chmod((folder / (std::string("real/") + name)).c_str(), 0600);
    ASSERT_EQ(::symlink((folder / (std::string("real/") + name)).c_str(),
                        (folder / (std::string("link-") + name)).c_str()),
              0);
  }
  ASSERT_TRUE(WriteBoth(folder / "link-a.bmp", folder / "link-a.png"));
  for (const char* name : {"a.bmp", "a.png"}) {
    struct stat link {
    }, real{};
    ::lstat((folder / (std::string("link-") + name)).c_str(), &link);
    ::stat((folder / (std::string("real/") + name)).c_str(), &real);
    EXPECT_TRUE(S_ISLNK(link.st_mode)) << name << ": the link stays a link";
    EXPECT_EQ(real.st_mode & 07777, 0600u) << name;
    EXPECT_NE(ReadFile(folder / (std::string("real/") + name)), "old") << name;
  }

  for (const char* name : {"ro.bmp", "ro.png"}) {
    WriteFile(folder / name, "keep");
    ::chmod((folder / name).c_str(), 0444);
  }
  EXPECT_FALSE(WriteBoth(folder / "ro.bmp", folder / "ro.png"));
  EXPECT_EQ(ReadFile(folder / "ro.bmp"), "keep");
  EXPECT_EQ(ReadFile(folder / "ro.png"), "keep");
}

}  // namespace
