// Tall pictures split into parts: heights, overlaps, cuts on a row of one colour, the parts'
// names, their rows together the whole picture's, and a failed part leaving no half set.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>

#include "convert/dib_block.h"
#include "convert/picture_file.h"
#include "support/temp_folder.h"

namespace {

using convert::PartRows;
using Plan = std::vector<PartRows>;
using testing_support::ReadFile;
using testing_support::TempFolder;
using testing_support::WriteFile;

// A 24-bit bitmap whose rows all differ from each other and hold more than one colour, except
// the rows listed in `plain`, which are one colour.
convert::DeviceBitmap Rows(int height, std::initializer_list<int> plain = {}) {
  std::optional<convert::DeviceBitmap> bitmap = convert::DeviceBitmap::Create(5, height, 24);
  for (int y = 0; y < height; ++y) {
    const bool flat = std::find(plain.begin(), plain.end(), y) != plain.end();
    for (int x = 0; x < 15; ++x) {
      bitmap->Row(y)[x] = static_cast<std::uint8_t>(flat ? 200 : y * 7 + x);
    }
  }
  return std::move(*bitmap);
}

TEST(PlanParts, HeightsOverlapsAndCutsOnARowOfOneColour) {
  struct Case {
    int height, split, overlap;
    std::initializer_list<int> plain;
    Plan parts;
  } cases[] = {
      {10, 0, 0, {}, {{0, 10}}},   // no split
      {10, 10, 0, {}, {{0, 10}}},  // not taller than a part
      {25, 10, 0, {}, {{0, 10}, {10, 10}, {20, 5}}},
      {25, 10, 3, {}, {{0, 10}, {7, 10}, {14, 10}, {21, 4}}},
      // A plain row within a part's last tenth ends it; the lowest such row wins.
      {250, 100, 0, {93, 95}, {{0, 96}, {96, 100}, {196, 54}}},
      {250, 100, 0, {85}, {{0, 100}, {100, 100}, {200, 50}}},  // above the last tenth
      {250, 100, 10, {95}, {{0, 96}, {86, 100}, {176, 74}}},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(convert::PlanParts(Rows(c.height, c.plain), c.split, c.overlap), c.parts)
        << c.height << " at " << c.split << ":" << c.overlap;
  }
}

TEST(PlanParts, PartsAreNamedAfterThePictureWithThreeDigits) {
  EXPECT_EQ(convert::PartPath("/out/a.b/page.png", 1), "/out/a.b/page-001.png");
  EXPECT_EQ(convert::PartPath("/out/ページ.webp", 29), "/out/ページ-029.webp");
  EXPECT_EQ(convert::PartPath("/out/page.jpg", 1234), "/out/page-1234.jpg");
}

TEST(WritePicture, SplitPartsTogetherAreTheWholePicture) {
  TempFolder folder;
  const convert::DeviceBitmap bitmap = Rows(130, {37});
  convert::PictureOptions options;
  options.splitHeight = 40;
  options.splitOverlap = 5;
  const std::string path = folder / "page.bmp";
  const convert::PictureWrite written =
      convert::WritePicture(*convert::FindPictureFormat("bmp"), path, bitmap, options);
  ASSERT_TRUE(written.bytes);
  EXPECT_FALSE(std::filesystem::exists(path));  // only the parts
  long long total = 0;
  int next = 0;  // the first row no part has shown yet
  for (std::size_t i = 0; i < written.parts.size(); ++i) {
    const convert::PicturePart& part = written.parts[i];
    EXPECT_EQ(part.output, convert::PartPath(path, static_cast<int>(i) + 1));
    const std::string bytes = ReadFile(part.output);
    EXPECT_EQ(part.bytes, static_cast<long long>(bytes.size()));
    total += part.bytes;
    EXPECT_LE(part.height, 40);
    EXPECT_EQ(part.top, i == 0 ? 0 : next - 5);
    // The part's rows, bottom row first after the 54-byte headers, are the picture's own.
    const std::size_t stride = bitmap.Stride();
    ASSERT_EQ(bytes.size(), 54 + stride * part.height);
    for (int y = 0; y < part.height; ++y) {
      const std::string row = bytes.substr(54 + (part.height - 1 - y) * stride, stride);
      EXPECT_EQ(row, std::string(reinterpret_cast<const char*>(bitmap.Row(part.top + y)), stride));
    }
    next = part.top + part.height;
  }
  EXPECT_EQ(next, 130);
  EXPECT_EQ(written.parts.front().height, 38);  // cut below the plain row 37
  EXPECT_EQ(*written.bytes, total);
}

TEST(WritePicture, APartThatCannotBeWrittenTakesTheOthersAway) {
  TempFolder folder;
  WriteFile(folder / "page-002.png", "keep");
  ::chmod((folder / "page-002.png").c_str(), 0444);
  convert::PictureOptions options;
  options.splitHeight = 10;
  const convert::PictureWrite written = convert::WritePicture(
      *convert::FindPictureFormat("png"), folder / "page.png", Rows(30), options);
  EXPECT_FALSE(written.bytes);
  EXPECT_TRUE(written.parts.empty());
  std::vector<std::string> left;
  for (const auto& entry : std::filesystem::directory_iterator(folder.path())) {
    left.push_back(entry.path().filename().string());
  }
  EXPECT_EQ(left, std::vector<std::string>{"page-002.png"});
  EXPECT_EQ(ReadFile(folder / "page-002.png"), "keep");
}

}  // namespace
