// The picture formats: one registry chooses them by name; each is decoded back by its own
// library to the bitmap's pixels (exactly where lossless), holds what its limits allow, and
// fails a write without leaving a file.
#include "convert/picture_format.h"

#include <gtest/gtest.h>
#include <webp/decode.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <set>
#include <utility>

#include <jpeglib.h>
#include <png.h>

#include "convert/dib_block.h"
#include "convert/picture_file.h"
#include "convert/view_page_renderer.h"
#include "support/temp_folder.h"

namespace {

using convert::PictureOptions;
using testing_support::ReadFile;
using testing_support::TempFolder;

// A page-like bitmap: flat blocks, a band of dark "text" strokes and a gradient.
convert::DeviceBitmap Page(int width, int height, int bitsPerPixel = 32) {
  std::optional<convert::DeviceBitmap> bitmap =
      convert::DeviceBitmap::Create(width, height, bitsPerPixel);
  const int bytes = bitsPerPixel / 8;
  for (int y = 0; y < height; ++y) {
    for (int x = 0; x < width; ++x) {
      std::uint8_t* pixel = bitmap->Row(y) + x * bytes;
      const bool stroke = y % 16 > 4 && y % 16 < 12 && (x / 3 + y / 16) % 4 != 0;
      pixel[0] = stroke ? 30 : static_cast<std::uint8_t>(y < height / 2 ? 240 : x);
      pixel[1] = stroke ? 30 : static_cast<std::uint8_t>(y < height / 2 ? 200 : y);
      pixel[2] = stroke ? 30 : static_cast<std::uint8_t>(y < height / 2 ? 40 : 255 - x);
    }
  }
  return std::move(*bitmap);
}

// The RGB pixels, top row first, of a picture file decoded by its own format's library.
std::vector<std::uint8_t> DecodeRgb(std::string_view format, const std::string& path) {
  const std::string bytes = ReadFile(path);
  const auto* data = reinterpret_cast<const unsigned char*>(bytes.data());
  if (format == "webp") {
    int width = 0, height = 0;
    std::uint8_t* pixels = WebPDecodeRGB(data, bytes.size(), &width, &height);
    std::vector<std::uint8_t> rgb(pixels, pixels + (pixels ? width * height * 3 : 0));
    WebPFree(pixels);
    return rgb;
  }
  if (format == "png") {
    png_image image{};
    image.version = PNG_IMAGE_VERSION;
    if (!png_image_begin_read_from_memory(&image, data, bytes.size())) return {};
    image.format = PNG_FORMAT_RGB;
    std::vector<std::uint8_t> rgb(PNG_IMAGE_SIZE(image));
    png_image_finish_read(&image, nullptr, rgb.data(), 0, nullptr);
    return rgb;
  }
  jpeg_decompress_struct info{};
  jpeg_error_mgr errors{};
  info.err = jpeg_std_error(&errors);
  jpeg_create_decompress(&info);
  jpeg_mem_src(&info, data, bytes.size());
  jpeg_read_header(&info, TRUE);
  info.out_color_space = JCS_RGB;
  jpeg_start_decompress(&info);
  std::vector<std::uint8_t> rgb(info.output_width * info.output_height * 3);
  while (info.output_scanline < info.output_height) {
    JSAMPROW row = rgb.data() + info.output_scanline * info.output_width * 3;
    jpeg_read_scanlines(&info, &row, 1);
  }
  jpeg_finish_decompress(&info);
  jpeg_destroy_decompress(&info);
  return rgb;
}

// The bitmap's own pixels as RGB, top row first.
std::vector<std::uint8_t> BitmapRgb(const convert::DeviceBitmap& bitmap) {
  std::vector<std::uint8_t> rgb;
  const int bytes = bitmap.BitsPerPixel() / 8;
  for (int y = 0; y < bitmap.Height(); ++y) {
    for (int x = 0; x < bitmap.Width(); ++x) {
      const std::uint8_t* pixel = bitmap.Row(y) + x * bytes;
      rgb.insert(rgb.end(), {pixel[2], pixel[1], pixel[0]});
    }
  }
  return rgb;
}

// The largest difference between the mean colours of the 8 x 8 blocks of two RGB pictures of
// `width` pixels a row: lossy formats blur edges, but every block keeps its colour where it was.
double LargestBlockDifference(const std::vector<std::uint8_t>& a,
                              const std::vector<std::uint8_t>& b, int width) {
  if (a.size() != b.size() || a.empty()) return 1e9;
  const int height = static_cast<int>(a.size()) / (width * 3);
  double largest = 0;
  for (int by = 0; by + 8 <= height; by += 8) {
    for (int bx = 0; bx + 8 <= width; bx += 8) {
      for (int channel = 0; channel < 3; ++channel) {
        double sum = 0;
        for (int y = by; y < by + 8; ++y) {
          for (int x = bx; x < bx + 8; ++x) {
            const std::size_t i = (y * width + x) * 3 + channel;
            sum += int(a[i]) - int(b[i]);
          }
        }
        largest = std::max(largest, std::abs(sum / 64));
      }
    }
  }
  return largest;
}

PictureOptions Quality(int quality) {
  PictureOptions options;
  options.quality = quality;
  return options;
}

const convert::PictureFormat& Format(std::string_view name) {
  return *convert::FindPictureFormat(name);
}

TEST(PictureFormats, AreFoundByTheirOwnNameAndNameTheirFiles) {
  EXPECT_EQ(convert::PictureFormatNames("|"), "bmp|png|jpeg|webp");
  EXPECT_EQ(convert::DefaultPictureFormat().Name(), "bmp");  // the window's format
  std::set<std::string_view> names;
  for (const convert::PictureFormat* format : convert::PictureFormats()) {
    EXPECT_TRUE(names.insert(format->Name()).second) << format->Name();
    EXPECT_EQ(convert::FindPictureFormat(format->Name()), format);
    const std::string extension(format->Extension());
    EXPECT_EQ(convert::OutputPathFor("/out/", "a.b.html", *format), "/out/a.b." + extension);
  }
  EXPECT_EQ(Format("jpeg").Extension(), "jpg");
  for (const char* unknown : {"", "BMP", "gif", "png ", "jpg"}) {
    EXPECT_EQ(convert::FindPictureFormat(unknown), nullptr) << unknown;
  }
}

TEST(PictureFormats, BitmapFilesAreTheWindowsBytes) {
  TempFolder folder;
  for (const auto& [width, height] : {std::pair{1, 1}, {7, 3}, {33, 9}}) {
    std::optional<convert::DibBlock> block = convert::BitmapToDib(Page(width, height), 0);
    ASSERT_TRUE(block && convert::WriteDib(folder / "direct.bmp", *block));
    const convert::PictureWrite written =
        convert::WritePicture(Format("bmp"), folder / "format.bmp", Page(width, height), {});
    ASSERT_TRUE(written.bytes);
    EXPECT_EQ(*written.bytes, static_cast<long long>(ReadFile(folder / "format.bmp").size()));
    EXPECT_EQ(ReadFile(folder / "format.bmp"), ReadFile(folder / "direct.bmp")) << width;
  }
}

TEST(PictureFormats, DecodeToTheBitmapsPixelsAtBothDepths) {
  TempFolder folder;
  struct Case {
    const char* format;
    int quality;
    double tolerance;  // largest block difference of a channel, 0: every pixel exact
  } cases[] = {{"png", 85, 0}, {"webp", 100, 0}, {"jpeg", 85, 8}, {"webp", 85, 8}};
  for (const int bits : {24, 32}) {
    const convert::DeviceBitmap bitmap = Page(67, 45, bits);
    for (const Case& c : cases) {
      const std::string path = folder / "page.pic";
      const convert::PictureWrite written =
          convert::WritePicture(Format(c.format), path, bitmap, Quality(c.quality));
      ASSERT_TRUE(written.bytes) << c.format;
      EXPECT_EQ(*written.bytes, static_cast<long long>(ReadFile(path).size()));
      const std::vector<std::uint8_t> decoded = DecodeRgb(c.format, path);
      if (c.tolerance == 0) {
        EXPECT_TRUE(decoded == BitmapRgb(bitmap)) << c.format << " " << bits;
      } else {
        EXPECT_LT(LargestBlockDifference(decoded, BitmapRgb(bitmap), bitmap.Width()), c.tolerance)
            << c.format << bits;
      }
    }
  }
}

TEST(PictureFormats, ALowerQualityGivesASmallerFile) {
  TempFolder folder;
  const convert::DeviceBitmap bitmap = Page(300, 200);
  for (const char* format : {"jpeg", "webp"}) {
    const auto low = convert::WritePicture(Format(format), folder / "40", bitmap, Quality(40));
    const auto high = convert::WritePicture(Format(format), folder / "90", bitmap, Quality(90));
    ASSERT_TRUE(low.bytes && high.bytes) << format;
    EXPECT_LT(*low.bytes, *high.bytes) << format;
  }
}

TEST(PictureFormats, APictureBeyondTheFormatsSidesIsRefusedUnlessSplit) {
  TempFolder folder;
  const convert::DeviceBitmap tall = Page(2, 16384, 24);
  const auto refused = convert::WritePicture(Format("webp"), folder / "t.webp", tall, {});
  EXPECT_FALSE(refused.bytes);
  EXPECT_EQ(refused.failure, convert::PictureFailure::kTooLarge);
  EXPECT_EQ(refused.detail, "webp: at most 16383 pixels a side");
  EXPECT_TRUE(std::filesystem::is_empty(folder.path()));
  PictureOptions split;
  split.splitHeight = 8000;
  const auto parts = convert::WritePicture(Format("webp"), folder / "t.webp", tall, split);
  ASSERT_TRUE(parts.bytes);
  EXPECT_EQ(parts.parts.size(), 3u);
  // Splitting makes a picture lower, never narrower.
  const convert::DeviceBitmap wide = Page(65501, 1, 24);
  EXPECT_EQ(convert::WritePicture(Format("jpeg"), folder / "w.jpg", wide, split).detail,
            "jpeg: at most 65500 pixels a side");
  EXPECT_TRUE(convert::WritePicture(Format("png"), folder / "w.png", wide, {}).bytes);
}

TEST(PictureFormats, AChoiceIsCheckedBeforeAnyPage) {
  using convert::PictureChoiceProblem;
  struct Case {
    const char* format;
    int quality, height, overlap;
    bool transparent;
    PictureChoiceProblem problem;
  } cases[] = {
      {"jpeg", 1, 0, 0, false, PictureChoiceProblem::kNone},
      {"jpeg", 0, 0, 0, false, PictureChoiceProblem::kQuality},
      {"webp", 101, 0, 0, false, PictureChoiceProblem::kQuality},
      {"png", 85, 2000, 1999, false, PictureChoiceProblem::kNone},
      {"png", 85, 2000, 2000, false, PictureChoiceProblem::kOverlap},
      {"png", 85, 0, 5, false, PictureChoiceProblem::kNone},  // no split: the overlap is unused
      {"png", 85, 1000001, 0, false, PictureChoiceProblem::kSplit},
      {"webp", 85, 16384, 0, false, PictureChoiceProblem::kSplitTooTall},
      {"jpeg", 85, 65500, 0, false, PictureChoiceProblem::kNone},
      {"png", 85, 0, 0, true, PictureChoiceProblem::kNone},
      {"webp", 85, 0, 0, true, PictureChoiceProblem::kNone},
      {"bmp", 85, 0, 0, true, PictureChoiceProblem::kTransparency},
      {"jpeg", 85, 0, 0, true, PictureChoiceProblem::kTransparency},
  };
  for (const Case& c : cases) {
    PictureOptions options = Quality(c.quality);
    options.splitHeight = c.height;
    options.splitOverlap = c.overlap;
    options.transparent = c.transparent;
    EXPECT_EQ(convert::CheckPictureChoice(Format(c.format), options), c.problem)
        << c.format << " " << c.quality << " " << c.height << ":" << c.overlap;
  }
}

TEST(PictureFormats, EveryFormatFailsAWriteWithoutLeavingAFile) {
  TempFolder folder;
  for (const convert::PictureFormat* format : convert::PictureFormats()) {
    const auto written =
        convert::WritePicture(*format, folder / "missing/page.pic", Page(4, 4), {});
    EXPECT_FALSE(written.bytes) << format->Name();
    EXPECT_EQ(written.failure, convert::PictureFailure::kWriteFailed) << format->Name();
  }
  EXPECT_TRUE(std::filesystem::is_empty(folder.path()));
}

}  // namespace
