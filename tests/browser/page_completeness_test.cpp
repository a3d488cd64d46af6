// Pictures as complete as the page, on the real engine: script dialogs answered at once, a fresh
// control's first page, fixed and sticky elements once, content that loads on scrolling, and
// waits that end when the page is ready.
#include <gtest/gtest.h>
#include <wx/frame.h>
#include <wx/webview.h>

#include <cstdint>
#include <cstdio>
#include <ostream>
#include <string>
#include <vector>

#include "browser/browser_frame.h"
#include "browser/delayed_server.h"
#include "browser/web_browser.h"
#include "browser/web_browser_bands.h"
#include "convert/page_capture.h"
#include "convert/run_state.h"
#include "resources/control_ids.h"
#include "support/temp_folder.h"

namespace browser {
// Names the parameter in test lists.
void PrintTo(Compositing compositing, std::ostream* out) {
  *out << (compositing == Compositing::kOn ? "compositing on" : "compositing off");
}
}  // namespace browser

namespace {

using browser::CWebBrowser2;
using convert::CaptureOutcome;
using convert::CaptureResult;
using testing_support::BandPage;
using testing_support::BitmapFile;
using testing_support::DelayedServer;
using testing_support::FrameControls;
using testing_support::PumpUntil;
using testing_support::TempFolder;

constexpr int kScreenHeight = 1024;  // the browser becomes 800 x 724
constexpr int kCaptureWidth = 800;
constexpr std::uint32_t kGreen = 0x00FF00;
constexpr std::uint32_t kRed = 0xFF0000;

// A frame, a browser control in it and the run's controls, placed as the main window places them.
struct Window {
  explicit Window(browser::Compositing compositing = browser::Compositing::kOn) {
    frame = new wxFrame(nullptr, wxID_ANY, "page completeness test");
    browser = new CWebBrowser2(frame, ids::kBrowser, compositing);
    controls = new FrameControls(frame, browser);
    frame->Show();
    controls->PlaceForPage(kCaptureWidth, kScreenHeight);
    controls->texts[settings::Field::kPercent] = "100";
  }
  ~Window() {
    delete controls;
    delete browser;
    frame->Destroy();
    browser::PumpPendingEvents();
  }
  // Loads `location` and captures it into `path` as a run does: no waiting beyond the capture's.
  CaptureResult Capture(const std::string& location, const std::string& path, int wait,
                        bool untilLoaded = false) {
    browser->Navigate2(location);
    browser->RedrawNow();
    return CaptureShown(path, wait, untilLoaded);
  }
  // Loads `location` and waits until the engine has finished with it.
  void Load(const std::string& location) {
    browser->Navigate2(location);
    PumpUntil([&] {
      const CWebBrowser2::LoadState state = browser->GetLoadState();
      return state == CWebBrowser2::LoadState::kFinished ||
             state == CWebBrowser2::LoadState::kFailed;
    });
  }
  CaptureResult CaptureShown(const std::string& path, int wait, bool untilLoaded = false,
                             convert::CaptureMethod method = convert::CaptureMethod::kTiles) {
    convert::RunState state;
    state.m_captureWidth = kCaptureWidth;
    state.m_wait = wait;
    state.m_untilLoaded = untilLoaded;
    state.m_capture = method;
    return convert::CaptureToFile(path, *browser, *controls, state);
  }
  wxFrame* frame;
  CWebBrowser2* browser;
  FrameControls* controls;
};

// Comes first: the engine has not been started by any other control of this program yet. A web
// page first, as a crawl's first page, then a local file in a second fresh control, then both
// again in fresh controls that paint without compositing (switched over too late, the engine's
// process crashes at the first page, which never loads).
TEST(FreshControl, CapturesItsFirstPageAtWaitOne) {
  TempFolder folder;
  BandPage page(BandPage::Bands(1500, 7));
  testing_support::WriteFile(folder / "first.html", page.Html());
  DelayedServer server;
  server.Serve("/first.html", page.Html(), "text/html");
  for (const auto compositing : {browser::Compositing::kOn, browser::Compositing::kOff})
    for (const std::string& location : {server.Address("/first.html"), folder / "first.html"}) {
      SCOPED_TRACE(location);
      Window window(compositing);
      const CaptureResult result = window.Capture(location, folder / "first.bmp", 1);
      ASSERT_EQ(result.outcome, CaptureOutcome::kWritten);
      EXPECT_EQ(BitmapFile::Read(folder / "first.bmp").FirstMismatch(page, 1.0), "");
    }
}

// Every case runs on a control with compositing and on one without (the command line's fast
// mode): both load, settle and capture every page whole.
class PageCompletenessTest : public ::testing::TestWithParam<browser::Compositing> {
 protected:
  void SetUp() override {
    if (s_window && s_window->browser->GetCompositing() == GetParam()) return;
    delete s_window;
    s_window = new Window(GetParam());
    PumpUntil([] {
      const convert::PixelSize view = s_window->browser->GetViewSize();
      return view.width == kCaptureWidth && view.height == kScreenHeight - 300;
    });
  }
  static void TearDownTestSuite() {
    delete s_window;
    s_window = nullptr;
  }

  // The colour of view pixel (x, y) after loading `location` and waiting for it to finish.
  static std::uint32_t ShownColour(int x, int y) {
    convert::ViewPixels pixels;
    if (!s_window->browser->Snapshot(pixels) || x >= pixels.width || y >= pixels.height) return 1;
    return pixels.At(x, y);
  }

  TempFolder m_folder;
  static Window* s_window;
};

Window* PageCompletenessTest::s_window = nullptr;

// A page whose whole background says what a script found: green when it went on as a run needs.
std::string VerdictPage(const std::string& script) {
  return "<!DOCTYPE html><html><head><style>html { background: #0000FF; }</style></head>"
         "<body><script>" +
         script + "</script></body></html>";
}

TEST_P(PageCompletenessTest, ScriptDialogsAreAnsweredAtOnceAndNeverHoldUpTheRun) {
  const std::string green = "document.documentElement.style.background = '#00FF00';";
  struct Case {
    const char* name;
    std::string script;
    bool dialog;
  } cases[] = {
      {"alert", "alert('stop'); " + green, true},
      {"confirm", "if (!confirm('go on?')) " + green, true},
      {"prompt", "if (prompt('name?', 'default') === null) " + green, true},
      {"none", green, false},
      {"before-unload",
       "window.onbeforeunload = function (e) { e.preventDefault();"
       " e.returnValue = 'stay'; return 'stay'; }; " +
           green,
       false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const std::string html = m_folder / (std::string(c.name) + ".html");
    testing_support::WriteFile(html, VerdictPage(c.script));
    s_window->Load(html);
    const CaptureResult result = s_window->CaptureShown(m_folder / "dialog.bmp", 1);
    ASSERT_EQ(result.outcome, CaptureOutcome::kWritten);
    EXPECT_EQ(result.answered.Has(convert::EngineRequest::kScriptDialog), c.dialog);
    const BitmapFile bitmap = BitmapFile::Read(m_folder / "dialog.bmp");
    EXPECT_EQ(bitmap.FirstMismatch([](int, int) { return kGreen; }), "");
  }
  // The page after them all (and after leaving the one that asks before it is left) is taken
  // as usual, at the smallest wait.
  BandPage after(BandPage::Bands(900, 8));
  testing_support::WriteFile(m_folder / "after.html", after.Html());
  const CaptureResult result =
      s_window->Capture(m_folder / "after.html", m_folder / "after.bmp", 1);
  ASSERT_EQ(result.outcome, CaptureOutcome::kWritten);
  EXPECT_TRUE(result.answered.Empty());
  EXPECT_EQ(BitmapFile::Read(m_folder / "after.bmp").FirstMismatch(after, 1.0), "");
}

TEST_P(PageCompletenessTest, FixedAndStickyElementsAppearOnceAndHideNoContent) {
  constexpr std::uint32_t kHeader = 0xC01040;
  constexpr std::uint32_t kBadge = 0x2080F0;
  const std::vector<testing_support::Band> bands = BandPage::Bands(3000, 9);
  const BandPage plain(bands);
  const std::string header = "background: #C01040; height: 50px; left: 0; right: 0; top: 0;";
  struct Case {
    const char* name;
    std::string bodyStart;
    int offset;  // rows the bands start lower than in the plain page
    std::uint32_t (*expected)(const BandPage& page, int x, int y);
  } cases[] = {
      // A fixed header over rows 0-49 of the content: there at the top, nowhere else.
      {"fixed header", "<div style=\"position: fixed; " + header + "\"></div>", 0,
       [](const BandPage& page, int x, int y) { return y < 50 ? kHeader : page.ColourAt(x, y); }},
      // A sticky header in the flow: once, at its place in the page.
      {"sticky header", "<div style=\"position: sticky; " + header + "\"></div>", 50,
       [](const BandPage& page, int x, int y) {
         return y < 50 ? kHeader : page.ColourAt(x, y - 50);
       }},
      // A fixed badge in the lower right corner of the view: once, as at the page's top.
      {"fixed badge",
       "<div style=\"position: fixed; right: 0; bottom: 200px; width: 100px; height: 100px; "
       "background: #2080F0\"></div>",
       0,
       [](const BandPage& page, int x, int y) {
         return x >= 700 && y >= 424 && y < 524 ? kBadge : page.ColourAt(x, y);
       }},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    BandPage page(bands);
    page.SetBodyStart(c.bodyStart);
    const std::string html = m_folder / "pinned.html";
    testing_support::WriteFile(html, page.Html());
    s_window->Load(html);
    const CaptureResult result = s_window->CaptureShown(m_folder / "pinned.bmp", 1);
    ASSERT_EQ(result.outcome, CaptureOutcome::kWritten);
    const BitmapFile bitmap = BitmapFile::Read(m_folder / "pinned.bmp");
    EXPECT_EQ(bitmap.height, 3000 + c.offset);
    EXPECT_EQ(bitmap.FirstMismatch([&](int x, int y) { return c.expected(plain, x, y); }), "");
    // Afterwards the shown page is as the page made it: the fixed header still on top.
    if (c.expected(plain, 400, 10) == kHeader) {
      EXPECT_EQ(ShownColour(400, 10), kHeader);
    }
  }
}

// A solid rectangle as an image.
std::string SvgImage(std::uint32_t colour) {
  char fill[8];
  std::snprintf(fill, sizeof fill, "%06X", colour);
  return std::string(
             "<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"200\" height=\"100\">"
             "<rect width=\"200\" height=\"100\" fill=\"#") +
         fill + "\"/></svg>";
}

// Colour of image k of the lazy page.
std::uint32_t ImageColour(int k) { return 0x102000u + static_cast<std::uint32_t>(k) * 0x060B07u; }

// A page of `count` images 1,000 px apart (the first at row 500), each asked for by a script
// only when it comes into view, as lazy-loading pages do; or by the engine (loading="lazy").
std::string LazyPage(int count, bool byScript) {
  std::string html =
      "<!DOCTYPE html><html><head><style>body { margin: 0; }"
      " img { display: block; width: 200px; height: 100px; margin-top: 900px; }"
      " img:first-child { margin-top: 500px; }</style></head><body>";
  for (int k = 0; k < count; ++k) {
    const std::string source = "/image" + std::to_string(k) + ".svg";
    html += byScript ? "<img class=\"lazy\" data-src=\"" + source + "\">"
                     : "<img loading=\"lazy\" src=\"" + source + "\">";
  }
  html += "<div style=\"height: 500px\"></div>";
  if (byScript) {
    html +=
        "<script>var seen = new IntersectionObserver(function (entries) {"
        " entries.forEach(function (e) { if (!e.isIntersecting) return;"
        " e.target.src = e.target.dataset.src; seen.unobserve(e.target); }); });"
        " document.querySelectorAll('img.lazy').forEach(function (i) { seen.observe(i); });"
        "</script>";
  }
  return html + "</body></html>";
}

TEST_P(PageCompletenessTest, ImagesThatLoadOnScrollingAreAllInThePicture) {
  constexpr int kImages = 20;
  struct Case {
    const char* name;
    bool byScript;
    bool untilLoaded;
    int wait;
  } cases[] = {
      {"script, fixed waits", true, false, 20},
      {"loading=lazy, fixed waits", false, false, 20},
      // The engine asks for 6 images at a time: 20 of them take over a second to come.
      {"script, until loaded", true, true, 40},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    DelayedServer server;  // a new one each time: nothing comes from the cache
    server.Serve("/lazy.html", LazyPage(kImages, c.byScript), "text/html");
    for (int k = 0; k < kImages; ++k) {
      server.Serve("/image" + std::to_string(k) + ".svg", SvgImage(ImageColour(k)), "image/svg+xml",
                   300);
    }
    const CaptureResult result = s_window->Capture(server.Address("/lazy.html"),
                                                   m_folder / "lazy.bmp", c.wait, c.untilLoaded);
    ASSERT_EQ(result.outcome, CaptureOutcome::kWritten);
    // Waiting until loaded, the images the pass asked for have all come before the measuring.
    if (c.untilLoaded) {
      EXPECT_TRUE(result.complete);
    }
    const BitmapFile bitmap = BitmapFile::Read(m_folder / "lazy.bmp");
    ASSERT_TRUE(bitmap.valid);
    EXPECT_EQ(bitmap.height, 100 + kImages * 1000);
    int shown = 0;
    for (int k = 0; k < kImages; ++k) {
      const int top = 500 + k * 1000;
      const bool whole = bitmap.Pixel(1, top + 1) == ImageColour(k) &&
                         bitmap.Pixel(198, top + 98) == ImageColour(k);
      EXPECT_TRUE(whole) << "image " << k;
      shown += whole ? 1 : 0;
    }
    EXPECT_EQ(shown, kImages);
  }
}

TEST_P(PageCompletenessTest, UntilLoadedWaitsForEveryRequestAndSaysWhenThePageWasNotReady) {
  struct Case {
    const char* name;
    int imageDelay;  // milliseconds before the server answers the image
    int wait;
    bool untilLoaded;
    bool complete;
    bool imageShown;
  } cases[] = {
      {"ready within the wait", 300, 10, true, true, true},
      {"image later than the wait", 1500, 2, true, false, false},
      {"fixed waits, image later", 1500, 2, false, false, false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    DelayedServer server;
    server.Serve("/page.html",
                 "<!DOCTYPE html><html><body style=\"margin: 0; background: #FFFFFF\">"
                 "<img src=\"/slow.svg\" style=\"display: block\"></body></html>",
                 "text/html");
    server.Serve("/slow.svg", SvgImage(kRed), "image/svg+xml", c.imageDelay);
    const CaptureResult result = s_window->Capture(server.Address("/page.html"),
                                                   m_folder / "slow.bmp", c.wait, c.untilLoaded);
    ASSERT_EQ(result.outcome, CaptureOutcome::kWritten);
    EXPECT_EQ(result.complete, c.complete);
    const BitmapFile bitmap = BitmapFile::Read(m_folder / "slow.bmp");
    ASSERT_TRUE(bitmap.valid);
    EXPECT_EQ(bitmap.Pixel(100, 50) == kRed, c.imageShown);
  }
}

INSTANTIATE_TEST_SUITE_P(Compositing, PageCompletenessTest,
                         ::testing::Values(browser::Compositing::kOn, browser::Compositing::kOff),
                         [](const ::testing::TestParamInfo<browser::Compositing>& info) {
                           return info.param == browser::Compositing::kOn ? "On" : "Off";
                         });

// The fast mode's capture against the window's: for every kind of page where the two ways could
// differ, one document snapshot gives the tiles' picture byte for byte, or the capture goes tile
// by tile as designed; the result names the way it took.
TEST(CaptureModes, OneSnapshotGivesTheTilesPictureOrTheCaptureGoesTileByTile) {
  using convert::CaptureMethod;
  Window window(browser::Compositing::kOff);
  TempFolder folder;
  // Loads the page afresh and captures it the given way; the bitmap's bytes and the way taken.
  const auto capture = [&](const std::string& page, CaptureMethod method, CaptureMethod& taken) {
    window.browser->Navigate2(page);
    const CaptureResult result = window.CaptureShown(folder / "picture.bmp", 20, true, method);
    EXPECT_EQ(result.outcome, CaptureOutcome::kWritten);
    taken = result.method;
    return testing_support::ReadFile(folder / "picture.bmp");
  };
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
      window.controls->texts[settings::Field::kPercent] = percent;
      const std::string html = folder / "page.html";
      testing_support::WriteFile(html, page.Html());
      CaptureMethod tiles = CaptureMethod::kSnapshot;
      CaptureMethod fast = CaptureMethod::kTiles;
      const std::string byTiles = capture(html, CaptureMethod::kTiles, tiles);
      const std::string bySnapshot = capture(html, CaptureMethod::kSnapshot, fast);
      EXPECT_EQ(tiles, CaptureMethod::kTiles);
      EXPECT_EQ(fast, c.expected);
      ASSERT_GT(byTiles.size(), 54u);
      EXPECT_TRUE(byTiles == bySnapshot) << "the two ways gave different pictures";
    }
  }
}

}  // namespace
