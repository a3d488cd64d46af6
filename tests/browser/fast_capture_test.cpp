// The browser control's side of a capture in one snapshot, on the real engine without
// compositing (the command line's fast mode): the whole document at once, what the page probe
// finds, layout changes told by the page, and links drawn alike whatever was shown before.
#include <gtest/gtest.h>
#include <wx/frame.h>

#include <cstdint>
#include <string>
#include <vector>

#include "browser/browser_frame.h"
#include "browser/web_browser.h"
#include "browser/web_browser_bands.h"
#include "resources/control_ids.h"
#include "support/temp_folder.h"

namespace {

using browser::CWebBrowser2;
using testing_support::BandPage;
using testing_support::PumpUntil;
using testing_support::TempFolder;
using LoadState = CWebBrowser2::LoadState;

constexpr int kScreenHeight = 1024;  // the browser becomes 800 x 724

class FastCaptureTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    s_frame = new wxFrame(nullptr, wxID_ANY, "fast capture test");
    s_browser = new CWebBrowser2(s_frame, ids::kBrowser, browser::Compositing::kOff);
    s_controls = new testing_support::FrameControls(s_frame, s_browser);
    s_frame->Show();
    s_controls->PlaceForPage(BandPage::kViewWidth, kScreenHeight);
    PumpUntil([] { return s_browser->GetViewSize().height == kScreenHeight - 300; });
  }
  static void TearDownTestSuite() {
    delete s_controls;
    delete s_browser;
    s_frame->Destroy();
    browser::PumpPendingEvents();
  }
  void Load(const std::string& name, const std::string& html) {
    testing_support::WriteFile(m_folder / name, html);
    s_browser->Navigate2(m_folder / name);
    ASSERT_TRUE(PumpUntil([] { return s_browser->LoadFinished(); }));
  }

  TempFolder m_folder;
  static wxFrame* s_frame;
  static CWebBrowser2* s_browser;
  static testing_support::FrameControls* s_controls;
};

wxFrame* FastCaptureTest::s_frame = nullptr;
CWebBrowser2* FastCaptureTest::s_browser = nullptr;
testing_support::FrameControls* FastCaptureTest::s_controls = nullptr;

TEST_F(FastCaptureTest, DocumentSnapshotHoldsEveryPixelOfThePageOrNone) {
  struct Case {
    const char* name;
    int height;
    int margin;
    bool quirks;
    bool whole;  // a picture comes, else none at all (never a clipped one)
  } cases[] = {
      {"shorter than the view", 300, 0, false, true},
      {"many views, margins", 5000, 8, false, true},
      {"quirks mode", 2600, 0, true, true},
      {"past the largest surface", CWebBrowser2::kLargestSnapshot + 1, 0, false, false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    BandPage page(BandPage::Bands(c.height, c.height % 97), c.height > 4000 ? 0 : 800);
    page.SetMargin(c.margin);
    page.SetQuirks(c.quirks);
    Load("bands.html", page.Html());
    convert::ViewPixels pixels;
    ASSERT_EQ(s_browser->SnapshotDocument(pixels), c.whole);
    if (!c.whole) {
      EXPECT_EQ(pixels.height, 0);
      continue;
    }
    const int height = std::max(c.height + 2 * c.margin, kScreenHeight - 300);
    ASSERT_EQ(pixels.width, BandPage::kViewWidth);
    ASSERT_EQ(pixels.height, height);
    int wrong = 0;
    for (int y = 0; y < pixels.height; ++y) {
      for (int x = 0; x < pixels.width; ++x) wrong += pixels.At(x, y) != page.ColourAt(x, y);
    }
    EXPECT_EQ(wrong, 0);
  }
}

TEST_F(FastCaptureTest, ProbeFindsWhatMakesAPictureDependOnTheWayItIsTaken) {
  using convert::PageTraits;
  const std::string tall = "<div style=\"height: 3000px\"></div>";
  struct Case {
    const char* name;
    std::string body;
    bool PageTraits::*trait;  // the one trait found; null: none
  } cases[] = {
      {"plain", tall + "<script>setTimeout(function () {}, 0);</script>", nullptr},
      {"loading=lazy", "<img loading=\"lazy\" src=\"none.png\">", &PageTraits::lazyContent},
      {"intersection observer",
       "<script>new IntersectionObserver(function () {}).observe(document.body);</script>",
       &PageTraits::lazyContent},
      {"scroll listener", "<script>document.addEventListener('scroll', function () {});</script>",
       &PageTraits::scrollListeners},
      {"onscroll property", "<script>window.onscroll = function () {};</script>",
       &PageTraits::scrollListeners},
      {"onscroll attribute", "<div onscroll=\"void 0\"></div>", &PageTraits::scrollListeners},
      {"animation frame loop",
       "<script>requestAnimationFrame(function f() { requestAnimationFrame(f); });</script>",
       &PageTraits::frameLoop},
      {"webgl", "<canvas id=\"c\"></canvas><script>c.getContext('webgl');</script>",
       &PageTraits::webgl},
      {"fixed background", "<div style=\"background: red fixed\"></div>",
       &PageTraits::fixedBackground},
      {"content-visibility", "<div style=\"content-visibility: auto\"></div>",
       &PageTraits::contentVisibility},
      {"100vh in a style sheet", "<style>section { height: 100vh; }</style>",
       &PageTraits::viewportUnits},
      {"dvh inline", "<div style=\"min-height: 50dvh\"></div>", &PageTraits::viewportUnits},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    Load("traits.html", "<!DOCTYPE html><html><body>" + c.body + "</body></html>");
    // The frame loop is seen once it has turned a few times.
    if (c.trait == &PageTraits::frameLoop) {
      PumpUntil([] { return s_browser->Traits().frameLoop; }, 5);
    }
    const PageTraits traits = s_browser->Traits();
    for (bool PageTraits::*trait :
         {&PageTraits::lazyContent, &PageTraits::scrollListeners, &PageTraits::frameLoop,
          &PageTraits::webgl, &PageTraits::webglRefused, &PageTraits::fixedBackground,
          &PageTraits::contentVisibility, &PageTraits::viewportUnits}) {
      EXPECT_EQ(traits.*trait, trait == c.trait);
    }
    EXPECT_EQ(traits.pendingShortTimers, 0);
  }
}

TEST_F(FastCaptureTest, ProbeCountsShortTimersSetBeforeLoadUntilTheyRun) {
  // One short timer still to run when the page has loaded; a long one and a cleared one never
  // count.
  Load("timers.html",
       "<!DOCTYPE html><body><script>setTimeout(function () {}, 1000);"
       " setTimeout(function () {}, 5000); clearTimeout(setTimeout(function () {}, 10));"
       "</script></body>");
  EXPECT_EQ(s_browser->Traits().pendingShortTimers, 1);
  EXPECT_TRUE(PumpUntil([] { return s_browser->Traits().pendingShortTimers == 0; }, 5));
}

TEST_F(FastCaptureTest, LayoutChangesAreToldByThePage) {
  Load("grows.html",
       "<!DOCTYPE html><body style=\"margin: 0\"><div id=\"d\" "
       "style=\"height: 2000px\"></div></body>");
  ASSERT_TRUE(PumpUntil([] { return s_browser->LastLayoutChange().has_value(); }, 5));
  const auto before = *s_browser->LastLayoutChange();
  EXPECT_EQ(s_browser->LayoutSize()->height, 2000);
  s_browser->RunScript("document.getElementById('d').style.height = '4500px'; ''");
  ASSERT_TRUE(PumpUntil([&] { return *s_browser->LastLayoutChange() > before; }, 5));
  EXPECT_EQ(s_browser->LayoutSize()->height, 4500);
}

TEST_F(FastCaptureTest, LinksLookTheSameWhateverTheControlShowedBefore) {
  // a1 and c3 both link to b2, which is shown between them: a fresh browser draws both pages
  // alike, with the link unvisited.
  const std::string links =
      "<!DOCTYPE html><style>body { margin: 0; } a { display: block; height: 100px; }"
      " a:link { background: #0000FF; } a:visited { background: #FF0000; }</style>"
      "<a href=\"b2.html\">b2</a><a href=\"a1.html\">a1</a>";
  std::vector<std::uint32_t> shown;
  for (const char* name : {"a1.html", "b2.html", "c3.html"}) {
    Load(name, std::string(name) == "b2.html" ? "<p>b2</p>" : links);
    convert::ViewPixels pixels;
    ASSERT_TRUE(s_browser->Snapshot(pixels));
    if (std::string(name) != "b2.html") {
      shown.push_back(pixels.At(10, 10));
      shown.push_back(pixels.At(10, 150));
    }
  }
  EXPECT_EQ(shown, std::vector<std::uint32_t>(4, 0x0000FF));
}

}  // namespace
