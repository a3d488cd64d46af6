// The picture formats: one registry chooses them by name, each names its files and writes the
// same bytes as its writer, and every one fails a write the same way.
#include "convert/picture_format.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <set>
#include <utility>

#include "convert/dib_block.h"
#include "convert/png_file.h"
#include "convert/view_page_renderer.h"
#include "support/temp_folder.h"

namespace {

using testing_support::ReadFile;
using testing_support::TempFolder;

convert::DeviceBitmap Striped(int width, int height) {
  std::optional<convert::DeviceBitmap> bitmap = convert::DeviceBitmap::Create(width, height, 32);
  for (int y = 0; y < height; ++y) {
    for (int x = 0; x < width * 4; ++x) bitmap->Row(y)[x] = static_cast<std::uint8_t>(x * 7 + y);
  }
  return std::move(*bitmap);
}

TEST(PictureFormats, AreFoundByTheirOwnNameAndNameTheirFiles) {
  EXPECT_EQ(convert::PictureFormatNames("|"), "bmp|png");
  EXPECT_EQ(convert::DefaultPictureFormat().Name(), "bmp");  // the window's format
  std::set<std::string_view> names;
  for (const convert::PictureFormat* format : convert::PictureFormats()) {
    EXPECT_TRUE(names.insert(format->Name()).second) << format->Name();
    EXPECT_EQ(convert::FindPictureFormat(format->Name()), format);
    const std::string extension(format->Extension());
    EXPECT_EQ(convert::OutputPathFor("/out/", "a.b.html", *format), "/out/a.b." + extension);
  }
  for (const char* unknown : {"", "BMP", "gif", "png "}) {
    EXPECT_EQ(convert::FindPictureFormat(unknown), nullptr) << unknown;
  }
}

TEST(PictureFormats, WriteTheSameBytesAsTheirWriters) {
  TempFolder folder;
  for (const auto& [width, height] : {std::pair{1, 1}, {7, 3}, {33, 9}}) {
    std::optional<convert::DibBlock> block = convert::BitmapToDib(Striped(width, height), 0);
    ASSERT_TRUE(block && convert::WriteDib(folder / "direct.bmp", *block));
    ASSERT_TRUE(convert::WritePng(folder / "direct.png", Striped(width, height)));
    for (const char* name : {"bmp", "png"}) {
      const std::string path = folder / (std::string("format.") + name);
      const convert::PictureWrite written =
          convert::FindPictureFormat(name)->Write(path, Striped(width, height));
      const std::string bytes = ReadFile(path);
      ASSERT_TRUE(written.bytes) << name;
      EXPECT_EQ(*written.bytes, static_cast<long long>(bytes.size())) << name;
      EXPECT_EQ(bytes, ReadFile(folder / (std::string("direct.") + name))) << name << width;
    }
  }
}

TEST(PictureFormats, EveryFormatFailsAWriteWithoutLeavingAFile) {
  TempFolder folder;
  for (const convert::PictureFormat* format : convert::PictureFormats()) {
    const std::string path = folder / "missing/page.pic";
    const convert::PictureWrite written = format->Write(path, Striped(4, 4));
    EXPECT_FALSE(written.bytes) << format->Name();
    EXPECT_EQ(written.failure, convert::PictureFailure::kWriteFailed) << format->Name();
  }
  EXPECT_TRUE(std::filesystem::is_empty(folder.path()));
}

}  // namespace
