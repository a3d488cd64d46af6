// The report to look at, as a user sees it: written by a run, rendered by rendora itself.
#include <gtest/gtest.h>

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

#include "cli/command_runner.h"
#include "convert/html_report.h"
#include "support/temp_folder.h"

namespace {

using testing_support::ReadFile;
using testing_support::RunRendora;
using testing_support::TempFolder;
using testing_support::WriteFile;

std::string SolidPage(const std::string& colour) {
  return "<html><body style=\"margin:0\"><div style=\"height:600px;background:" + colour +
         "\"></div></body></html>";
}

// How many pixels of a 24- or 32-bit bitmap file have the colour 0xRRGGBB.
int CountColour(const std::string& path, std::uint32_t rgb) {
  const std::string bytes = ReadFile(path);
  if (bytes.size() < 54 || bytes.compare(0, 2, "BM") != 0) return -1;
  const auto at = [&bytes](std::size_t offset) {
    const auto* p = reinterpret_cast<const unsigned char*>(bytes.data() + offset);
    return static_cast<std::uint32_t>(p[0] | p[1] << 8 | p[2] << 16 | std::uint32_t(p[3]) << 24);
  };
  const std::uint32_t offset = at(10);
  const int width = static_cast<int>(at(18));
  const int height = static_cast<int>(at(22));
  const int pixelBytes = (bytes[28] & 0xFF) / 8;
  if (pixelBytes < 3) return -1;
  const std::size_t stride = (static_cast<std::size_t>(width) * pixelBytes + 3) / 4 * 4;
  int count = 0;
  for (int y = 0; y < height; ++y) {
    for (int x = 0; x < width; ++x) {
      const std::size_t p = offset + y * stride + x * pixelBytes;
      if (p + 2 >= bytes.size()) return -1;
      const auto* pixel = reinterpret_cast<const unsigned char*>(bytes.data() + p);
      if ((static_cast<std::uint32_t>(pixel[2]) << 16 | pixel[1] << 8 | pixel[0]) == rgb) ++count;
    }
  }
  return count;
}

TEST(HtmlReport, RenderedByRendoraItShowsEveryThumbnailAndTheFailureInItsColour) {
  TempFolder temp;
  WriteFile(temp / "src/blue.html", SolidPage("#2050d0"));
  WriteFile(temp / "src/green.html", SolidPage("#20a040"));
  WriteFile(temp / "src/<script>bad.html", SolidPage("#000"));
  // A folder where its picture should go: that page fails to be written.
  std::filesystem::create_directories(temp / "out/<script>bad.bmp");
  std::filesystem::create_directories(temp / "report");
  auto result = RunRendora({"convert", "src", "out", "--size", "320", "--jobs", "1",
                            "--report-html", "report/index.html"},
                           temp.path());
  EXPECT_EQ(result.status, 1) << result.standardError;
  const std::string page = ReadFile(temp / "report/index.html");
  // Nothing to run and nothing to fetch: no script (a name is text, never markup) and no address
  // but the page's own data.
  EXPECT_EQ(page.find("<script"), std::string::npos);
  EXPECT_EQ(page.find("://"), std::string::npos);
  EXPECT_LT(page.find("bad.html"), page.find("blue.html")) << "the failure comes first";
  EXPECT_NE(page.find("href=\"../out/blue.bmp\""), std::string::npos);
  EXPECT_NE(page.find("（write）"), std::string::npos);

  result = RunRendora({"convert", "report", "shown", "--jobs", "1"}, temp.path());
  ASSERT_EQ(result.status, 0) << result.standardError;
  const std::string shown = temp / "shown/index.bmp";
  // Each thumbnail is the top of its page at half its width: 160 × 200 pixels of its colour.
  EXPECT_EQ(CountColour(shown, 0x2050d0), 160 * 200);
  EXPECT_EQ(CountColour(shown, 0x20a040), 160 * 200);
  EXPECT_GT(CountColour(shown, convert::kFailureColour), 160 * 40);
}

// A settings file's ReportHtml names the report of its runs (the window's and rendora run's); a
// relative name lies in the output folder.
TEST(HtmlReport, ARunWritesTheReportItsSettingsFileNames) {
  TempFolder temp;
  WriteFile(temp / "src/page.html", SolidPage("#2050d0"));
  WriteFile(temp / "job.ini",
            testing_support::Sjis(
                "[初期表示]\r\nReadPath=" + temp / "src" + "\r\nWritePath=" + temp / "out" +
                "\r\nSize=320\r\nWait=1\r\nPercent=100\r\nReportHtml=seen.html\r\n"));
  const auto result = RunRendora({"run", "job.ini", "--jobs", "1"}, temp.path());
  ASSERT_EQ(result.status, 0) << result.standardError;
  const std::string page = ReadFile(temp / "out/seen.html");
  EXPECT_NE(page.find("href=\"page.bmp\""), std::string::npos) << page;
}

}  // namespace
