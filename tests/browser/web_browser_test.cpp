// The browser control on the real engine: loading, measuring, scrolling, and whole captures of
// pages made of solid colour bands, checked pixel by pixel in the bitmap files.
#include "browser/web_browser.h"

#include <gtest/gtest.h>
#include <wx/frame.h>
#include <wx/webview.h>

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "browser/browser_frame.h"
#include "browser/event_pump.h"
#include "browser/web_browser_bands.h"
#include "convert/page_capture.h"
#include "convert/run_state.h"
#include "resources/control_ids.h"
#include "support/fake_run_controls.h"
#include "support/http_server.h"
#include "support/temp_folder.h"

namespace {

using browser::CWebBrowser2;
using convert::CaptureOutcome;
using testing_support::BandPage;
using testing_support::BitmapFile;
using testing_support::Sjis;
using testing_support::TempFolder;
using LoadState = CWebBrowser2::LoadState;

constexpr int kScreenHeight = 1024;  // the browser becomes 800 x 724, as on a 1024-pixel screen
constexpr int kCaptureWidth = 800;

using testing_support::FrameControls;
using testing_support::PumpUntil;

// One frame and one browser for the whole suite: starting the engine is the slow part.
class WebBrowserTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    s_frame = new wxFrame(nullptr, wxID_ANY, "web browser test");
    s_browser = new CWebBrowser2(s_frame, ids::kBrowser);
    s_controls = new FrameControls(s_frame, s_browser);
    s_frame->Show();
    s_controls->PlaceForPage(kCaptureWidth, kScreenHeight);
    PumpUntil([] {
      const convert::PixelSize view = s_browser->GetViewSize();
      return view.width == kCaptureWidth && view.height == kScreenHeight - 300;
    });
  }
  static void TearDownTestSuite() {
    delete s_controls;
    delete s_browser;
    s_frame->Destroy();
    browser::PumpPendingEvents();
  }

  // Loads `location` and waits until the engine has finished with it (or failed).
  static LoadState Load(const std::string& location) {
    s_browser->Navigate2(location);
    PumpUntil([] {
      const LoadState state = s_browser->GetLoadState();
      return state == LoadState::kFinished || state == LoadState::kFailed;
    });
    return s_browser->GetLoadState();
  }

  // Loads `location` and captures it into `path` with the given Percent and the smallest Wait.
  static CaptureOutcome Capture(const std::string& location, const std::string& path, int percent) {
    Load(location);
    s_controls->texts[settings::Field::kPercent] = std::to_string(percent);
    convert::RunState state;
    state.m_captureWidth = kCaptureWidth;
    state.m_wait = 1;
    return convert::CaptureToFile(path, *s_browser, *s_controls, state).outcome;
  }

  TempFolder m_folder;
  static wxFrame* s_frame;
  static CWebBrowser2* s_browser;
  static FrameControls* s_controls;
};

wxFrame* WebBrowserTest::s_frame = nullptr;
CWebBrowser2* WebBrowserTest::s_browser = nullptr;
FrameControls* WebBrowserTest::s_controls = nullptr;

TEST_F(WebBrowserTest, ViewReportsItsSizeDepthAndPixels) {
  EXPECT_EQ(s_browser->BitsPerPixel(), 32);  // a 24-bit X screen keeps 32-bit pixels
  const convert::PixelSize view = s_browser->GetViewSize();
  EXPECT_EQ(view.width, kCaptureWidth);
  EXPECT_EQ(view.height, kScreenHeight - 300);

  BandPage page({{300, 0x102030}});
  testing_support::WriteFile(m_folder / "small.html", page.Html());
  ASSERT_EQ(Load(m_folder / "small.html"), LoadState::kFinished);
  convert::ViewPixels pixels;
  ASSERT_TRUE(s_browser->Snapshot(pixels));
  ASSERT_EQ(pixels.width, view.width);
  ASSERT_EQ(pixels.height, view.height);
  EXPECT_EQ(pixels.At(0, 0), 0x102030u);
  EXPECT_EQ(pixels.At(799, 299), 0x102030u);
  EXPECT_EQ(pixels.At(0, 300), 0xFFFFFFu);  // below the page: the view's white
}

TEST_F(WebBrowserTest, ScrollingIsInstantAndClampedAtThePageEnd) {
  // The page asks for smooth scrolling; the control scrolls at once all the same.
  BandPage page(BandPage::Bands(3000, 0), 1500);
  testing_support::WriteFile(m_folder / "smooth.html", page.Html());
  ASSERT_EQ(Load(m_folder / "smooth.html"), LoadState::kFinished);
  struct Step {
    int dx, dy, x, y;
  } steps[] = {
      {0, 719, 0, 719}, {800, 0, 700, 719}, {0, 5000, 700, 3000 - 724}, {-10000, -10000, 0, 0}};
  for (const Step& step : steps) {
    s_browser->ScrollBy(step.dx, step.dy);
    const convert::ScrollPoint at = s_browser->GetScrollPosition();
    EXPECT_EQ(at.x, step.x) << step.dx << "," << step.dy;
    EXPECT_EQ(at.y, step.y) << step.dx << "," << step.dy;
  }
}

TEST_F(WebBrowserTest, NothingIsMeasuredWithoutALoadedDocument) {
  // A missing file fails to load: no size, and the capture writes no file.
  EXPECT_EQ(Capture(m_folder / "missing.html", m_folder / "missing.bmp", 100),
            CaptureOutcome::kNotMeasured);
  EXPECT_EQ(s_browser->GetLoadState(), LoadState::kFailed);
  EXPECT_FALSE(s_browser->MeasurePage());
  EXPECT_EQ(testing_support::ReadFile(m_folder / "missing.bmp"), "");

  // A server that never answers: the previous page is still shown, and is not measured.
  testing_support::SilentServer silent;
  s_browser->Navigate2("http://127.0.0.1:" + std::to_string(silent.port()) + "/page.html");
  for (int i = 0; i < 20; ++i) browser::PumpPendingEvents();
  EXPECT_NE(s_browser->GetLoadState(), LoadState::kFinished);
  EXPECT_FALSE(s_browser->MeasurePage());

  // The next page loads as usual.
  BandPage page({{100, 0x00FF00}});
  testing_support::WriteFile(m_folder / "next.html", page.Html());
  ASSERT_EQ(Load(m_folder / "next.html"), LoadState::kFinished);
  const std::optional<convert::PixelSize> size = s_browser->MeasurePage();
  ASSERT_TRUE(size);
  EXPECT_EQ(size->width, kCaptureWidth);
  EXPECT_EQ(size->height, 100);
}

TEST_F(WebBrowserTest, AFreshViewMeasuresItsFirstPageNotItsEmptyStartPage) {
  // The view starts on an empty page of its own; the first page asked for must not be taken
  // for it, however soon it is asked for.
  BandPage page({{400, 0xFF8000}});
  testing_support::WriteFile(m_folder / "first.html", page.Html());
  CWebBrowser2 fresh(s_frame, wxID_ANY);
  fresh.Navigate2(m_folder / "first.html");
  ASSERT_TRUE(PumpUntil([&] { return fresh.GetLoadState() == LoadState::kFinished; }));
  const std::optional<convert::PixelSize> size = fresh.MeasurePage();
  ASSERT_TRUE(size);
  EXPECT_EQ(size->height, 400);
  fresh.GetControl()->Destroy();
}

TEST_F(WebBrowserTest, APageThatNeverStopsRunningEndsWithoutHoldingUpTheNextOne) {
  testing_support::WriteFile(m_folder / "busy.html",
                             "<html><body><p>busy</p><script>setTimeout(function () {"
                             " for (;;) {} }, 0);</script></body></html>");
  BandPage page({{200, 0x0000FF}});
  testing_support::WriteFile(m_folder / "after.html", page.Html());
  s_browser->SetEngineTimeout(1000);
  Load(m_folder / "busy.html");
  EXPECT_FALSE(s_browser->MeasurePage());
  EXPECT_EQ(s_browser->GetLoadState(), LoadState::kFailed);
  s_browser->SetEngineTimeout(browser::kEngineTimeoutMilliseconds);

  ASSERT_EQ(Load(m_folder / "after.html"), LoadState::kFinished);
  const std::optional<convert::PixelSize> size = s_browser->MeasurePage();
  ASSERT_TRUE(size);
  EXPECT_EQ(size->height, 200);
  convert::ViewPixels pixels;
  ASSERT_TRUE(s_browser->Snapshot(pixels));
  EXPECT_EQ(pixels.At(0, 0), 0x0000FFu);
}

// Captures `page` at `percent` and checks the header fields and every pixel of the bitmap.
void ExpectCapturedWhole(const BandPage& page, const BitmapFile& bitmap, int percent, int pageWidth,
                         int pageHeight) {
  const double scale = percent * 0.01;
  ASSERT_TRUE(bitmap.valid);
  EXPECT_EQ(bitmap.width, static_cast<int>(pageWidth * scale));
  EXPECT_EQ(bitmap.height, static_cast<int>(pageHeight * scale));
  EXPECT_EQ(bitmap.bitsPerPixel, 32);
  EXPECT_EQ(bitmap.offBits, 54u);
  EXPECT_EQ(bitmap.imageSize, 4u * bitmap.width * bitmap.height);
  EXPECT_EQ(bitmap.fileSize, 54u + bitmap.imageSize);
  EXPECT_EQ(bitmap.FirstMismatch(page, scale), "");
}

TEST_F(WebBrowserTest, BandPagesComeOutWholeAtEveryRowAndColumn) {
  struct Case {
    const char* name;
    BandPage page;
    int width, height;  // what the capture must come out as at 100%
  } cases[] = {
      {"short", BandPage(BandPage::Bands(300, 1)), 800, 310},
      {"1200", BandPage(BandPage::Bands(1200, 2)), 800, 1200},
      {"5000", BandPage(BandPage::Bands(5000, 3)), 800, 5000},
      {"50000", BandPage(BandPage::Bands(50000, 4)), 800, 50000},
      {"wide", BandPage(BandPage::Bands(1500, 5), 2000), 2000, 1500},
  };
  for (const Case& c : cases) {
    const std::string html = m_folder / (std::string(c.name) + ".html");
    testing_support::WriteFile(html, c.page.Html());
    for (int percent : {100, 50}) {
      SCOPED_TRACE(std::string(c.name) + " at " + std::to_string(percent) + "%");
      const std::string bmp = m_folder / (std::string(c.name) + std::to_string(percent) + ".bmp");
      ASSERT_EQ(Capture(html, bmp, percent), CaptureOutcome::kWritten);
      ExpectCapturedWhole(c.page, BitmapFile::Read(bmp), percent, c.width, c.height);
    }
  }
}

TEST_F(WebBrowserTest, BodyMarginsAreCapturedAndShortPagesKeepTheirOwnHeight) {
  struct Case {
    const char* name;
    bool quirks;
    int bandsHeight;
    int height;  // the bitmap's height: page + 16 margin rows, + 10 when lower than the view
  } cases[] = {
      {"standards-tall", false, 1000, 1016}, {"quirks-tall", true, 1000, 1016},
      {"standards-short", false, 300, 326},  {"quirks-short", true, 300, 326},
      {"quirks-view-high", true, 698, 714},  // 714 + 10 is not lower than the view: stays
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    BandPage page(BandPage::Bands(c.bandsHeight, 6));
    page.SetMargin(8);
    page.SetQuirks(c.quirks);
    const std::string html = m_folder / (std::string(c.name) + ".html");
    testing_support::WriteFile(html, page.Html());
    ASSERT_EQ(Capture(html, m_folder / "margin.bmp", 100), CaptureOutcome::kWritten);
    ExpectCapturedWhole(page, BitmapFile::Read(m_folder / "margin.bmp"), 100, 800, c.height);
  }
}

// The view's pixels after loading `location`.
std::vector<std::uint32_t> ShownPixels(CWebBrowser2& browser, const std::string& location) {
  browser.Navigate2(location);
  PumpUntil([&] { return browser.GetLoadState() == LoadState::kFinished; });
  convert::ViewPixels pixels;
  if (browser.GetLoadState() != LoadState::kFinished || !browser.Snapshot(pixels)) return {};
  std::vector<std::uint32_t> shown;
  for (int y = 0; y < pixels.height; ++y) {
    for (int x = 0; x < pixels.width; ++x) shown.push_back(pixels.At(x, y));
  }
  return shown;
}

TEST_F(WebBrowserTest, JapaneseTextShowsAsTextWithOrWithoutADeclaredCharset) {
  const std::string text = "<p style=\"font-size:40px\">日本語のページ、ソース表示テスト</p>";
  const std::string utf8Declared = "<html><head><meta charset=\"UTF-8\"></head><body>" + text;
  const std::string utf8 = "<html><head><title>t</title></head><body>" + text;
  const std::string sjisDeclared =
      Sjis("<html><head><meta charset=\"Shift_JIS\"></head><body>" + text);
  const std::string sjis = Sjis(utf8);

  const std::string reference = m_folder / Sjis("宣言あり.html");
  testing_support::WriteFile(reference, utf8Declared);
  const std::vector<std::uint32_t> expected = ShownPixels(*s_browser, reference);
  ASSERT_FALSE(expected.empty());
  const std::size_t inked = std::count_if(expected.begin(), expected.end(),
                                          [](std::uint32_t p) { return p != 0xFFFFFFu; });
  EXPECT_GT(inked, 500u);  // the text is there at all

  testing_support::HttpServer server;
  struct Case {
    const char* name;
    std::string bytes;
    std::string contentType;
  } cases[] = {
      {"utf8", utf8, "text/html"},
      {"sjis", sjis, "text/html"},
      {"sjis-declared", sjisDeclared, "text/html"},
      {"sjis-in-header", sjis, "text/html; charset=Shift_JIS"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const std::string file = m_folder / Sjis(std::string("ページ-") + c.name + ".html");
    testing_support::WriteFile(file, c.bytes);
    if (c.contentType == "text/html") {
      EXPECT_EQ(ShownPixels(*s_browser, file), expected) << "file";
    }
    server.Serve(std::string("/") + c.name, {200, c.bytes, c.contentType, {}});
    EXPECT_EQ(ShownPixels(*s_browser, server.Address(std::string("/") + c.name)), expected)
        << "web";
  }
}

}  // namespace
