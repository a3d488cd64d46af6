// The fast mode's capture against the window's: for every kind of page where the two ways could
// differ, one document snapshot gives the tiles' picture byte for byte, or the capture goes tile
// by tile as designed; the result names the way it took.
#include <gtest/gtest.h>
#include <wx/frame.h>

#include <string>

#include "browser/web_browser.h"
#include "browser/web_browser_bands.h"
#include "browser/browser_frame.h"
#include "convert/page_capture.h"
#include "resources/control_ids.h"
#include "support/temp_folder.h"

namespace {

using convert::CaptureMethod;
using convert::CaptureOutcome;
using testing_support::BandPage;
using testing_support::ReadFile;
using testing_support::TempFolder;

constexpr int kScreenHeight = 1024;  // the browser becomes 800 x 724
constexpr int kCaptureWidth = 800;

// One control without compositing, as the fast mode runs it, shared by the cases.
class CaptureModesTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    s_frame = new wxFrame(nullptr, wxID_ANY, "capture modes test");
    s_browser = new browser::CWebBrowser2(s_frame, ids::kBrowser, browser::Compositing::kOff);
    s_controls = new testing_support::FrameControls(s_frame, s_browser);
    s_frame->Show();
    s_controls->PlaceForPage(kCaptureWidth, kScreenHeight);
  }
  static void TearDownTestSuite() {
    delete s_controls;
    delete s_browser;
    s_frame->Destroy();
    browser::PumpPendingEvents();
  }

  // Loads the page afresh and captures it the given way at `percent`; the bitmap's bytes.
  std::string Capture(const std::string& page, CaptureMethod method, const char* percent,
                      CaptureMethod& taken) {
    s_controls->texts[settings::Field::kPercent] = percent;
    s_browser->Navigate2(page);
    convert::RunState state;
    state.m_captureWidth = kCaptureWidth;
    state.m_wait = 20;
    state.m_untilLoaded = true;
    state.m_capture = method;
    const std::string path = m_folder / "picture.bmp";
    const convert::CaptureResult result =
        convert::CaptureToFile(path, *s_browser, *s_controls, state);
    EXPECT_EQ(result.outcome, CaptureOutcome::kWritten);
    taken = result.method;
    return ReadFile(path);
  }

  static wxFrame* s_frame;
  static browser::CWebBrowser2* s_browser;
  static testing_support::FrameControls* s_controls;
  TempFolder m_folder;
};

wxFrame* CaptureModesTest::s_frame = nullptr;
browser::CWebBrowser2* CaptureModesTest::s_browser = nullptr;
testing_support::FrameControls* CaptureModesTest::s_controls = nullptr;

TEST_F(CaptureModesTest, OneSnapshotGivesTheTilesPictureOrTheCaptureGoesTileByTile) {
  const std::string header = "background: #C01040; height: 50px; left: 0; right: 0; top: 0;";
  const struct {
    const char* name;
    int height;
    std::string bodyStart;
    CaptureMethod expected;
  } cases[] = {
      {"bands", 3000, "", CaptureMethod::kSnapshot},
      {"short page", 300, "", CaptureMethod::kSnapshot},
      {"exactly two views", 2 * 719, "", CaptureMethod::kSnapshot},
      {"wider than the view", 1500, "<div style=\"width: 1900px; height: 4px\"></div>",
       CaptureMethod::kSnapshot},
      {"fixed header", 3000, "<div style=\"position: fixed; " + header + "\"></div>",
       CaptureMethod::kSnapshot},
      {"fixed badge low in the view", 3000,
       "<div style=\"position: fixed; right: 0; top: 2200px; width: 90px; height: 90px; "
       "background: #2080F0\"></div>",
       CaptureMethod::kSnapshot},
      {"sticky header", 3000, "<div style=\"position: sticky; " + header + "\"></div>",
       CaptureMethod::kSnapshot},
      {"viewport units", 2000,
       "<div style=\"height: 100vh; background: #30A030\"></div>"
       "<div style=\"height: 50vh; background: #3030A0\"></div>",
       CaptureMethod::kSnapshot},
      {"header recoloured on scrolling", 3000,
       "<div id=\"h\" style=\"position: sticky; " + header +
           "\"></div><script>addEventListener('scroll', function () {"
           " document.getElementById('h').style.background = scrollY > 0 ? '#00F' : '#C01040';"
           "});</script>",
       CaptureMethod::kSnapshot},
      {"fixed background", 3000,
       "<div style=\"height: 2500px; background: linear-gradient(#F00, #00F) fixed\"></div>",
       CaptureMethod::kTiles},
      {"content visibility", 3000,
       "<div style=\"content-visibility: auto; contain-intrinsic-size: 800px 1000px\">"
       "<div style=\"height: 1000px; background: #A0A030\"></div></div>",
       CaptureMethod::kTiles},
  };
  for (const auto& c : cases) {
    for (const char* percent : {"100", "50"}) {
      SCOPED_TRACE(std::string(c.name) + " at " + percent + "%");
      BandPage page(BandPage::Bands(c.height, 4));
      page.SetBodyStart(c.bodyStart);
      const std::string html = m_folder / "page.html";
      testing_support::WriteFile(html, page.Html());
      CaptureMethod tiles = CaptureMethod::kSnapshot;
      CaptureMethod fast = CaptureMethod::kTiles;
      const std::string byTiles = Capture(html, CaptureMethod::kTiles, percent, tiles);
      const std::string bySnapshot = Capture(html, CaptureMethod::kSnapshot, percent, fast);
      EXPECT_EQ(tiles, CaptureMethod::kTiles);
      EXPECT_EQ(fast, c.expected);
      ASSERT_GT(byTiles.size(), 54u);
      EXPECT_TRUE(byTiles == bySnapshot) << "the two ways gave different pictures";
    }
  }
}

}  // namespace
