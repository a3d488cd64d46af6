// What the user asks of every page, on the real engine and judged by the pictures' pixels: one
// element, hidden and removed clutter, the user's style and script, pages without their scripts,
// local pages confined to their folder or kept off the network.
#include <gtest/gtest.h>
#include <unistd.h>
#include <wx/frame.h>

#include <cstdint>
#include <string>
#include <vector>

#include "browser/browser_frame.h"
#include "browser/web_browser.h"
#include "browser/web_browser_bands.h"
#include "convert/view_page_renderer.h"
#include "resources/control_ids.h"
#include "support/http_server.h"
#include "support/temp_folder.h"

namespace {

using browser::CWebBrowser2;
using convert::CaptureMethod;
using convert::EntryReason;
using convert::PageOptions;
using testing_support::BitmapFile;
using testing_support::TempFolder;
using testing_support::WriteFile;

constexpr std::uint32_t kRed = 0xFF0000;
constexpr std::uint32_t kGreen = 0x00FF00;
constexpr std::uint32_t kBlue = 0x0000FF;
constexpr std::uint32_t kWhite = 0xFFFFFF;

// Renders pages as a run does, with the command line's fast capture or the window's tiles.
class PageOptionsTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    s_frame = new wxFrame(nullptr, wxID_ANY, "page options test");
    s_browser = new CWebBrowser2(s_frame, ids::kBrowser, browser::Compositing::kOff);
    s_controls = new testing_support::FrameControls(s_frame, s_browser);
    s_frame->Show();
    s_controls->texts = {{settings::Field::kSize, "800"},
                         {settings::Field::kWait, "10"},
                         {settings::Field::kPercent, "100"}};
  }
  static void TearDownTestSuite() {
    delete s_controls;
    delete s_browser;
    s_frame->Destroy();
    browser::PumpPendingEvents();
  }

  // Renders `name` of the test's folder with `options` into name.bmp; the page's record.
  convert::EntryRecord Render(const std::string& name, const PageOptions& options,
                              CaptureMethod method = CaptureMethod::kSnapshot) {
    convert::RunState state;
    state.m_untilLoaded = true;
    state.m_capture = method;
    state.m_pageOptions = options;
    state.m_readPath = m_folder.path();
    convert::ViewPageRenderer renderer(state, *s_controls, *s_browser);
    return *renderer.RenderPage({m_folder / name, name, m_folder.path(), 1, {}}).record;
  }
  BitmapFile Picture(const std::string& name) {
    return BitmapFile::Read(m_folder / (name.substr(0, name.rfind('.')) + ".bmp"));
  }

  TempFolder m_folder;
  static wxFrame* s_frame;
  static CWebBrowser2* s_browser;
  static testing_support::FrameControls* s_controls;
};

wxFrame* PageOptionsTest::s_frame = nullptr;
CWebBrowser2* PageOptionsTest::s_browser = nullptr;
testing_support::FrameControls* PageOptionsTest::s_controls = nullptr;

// A page of blocks: 100 rows magenta (#a), 100 cyan (#b), a red 200 x 150 box 20 pixels in
// (#box), and 900 rows below it a blue block 3,000 rows tall with a green bottom row band (#tall).
const char* kBlocksPage = R"(<!doctype html><html><head><style>
body { margin: 0 } #a { height: 100px; background: #f0f } #b { height: 100px; background: #0ff }
#box { width: 200px; height: 150px; margin: 20px; background: #f00 }
#tall { width: 300px; height: 3000px; margin-top: 900px; background: #00f; position: relative }
#end { position: absolute; bottom: 0; width: 300px; height: 10px; background: #0f0 }
</style></head><body><div id="a"></div><div id="b"></div><div id="box"></div>
<div id="tall"><div id="end"></div></div></body></html>)";

TEST_F(PageOptionsTest, OneElementComesOutWholeWithItsPaddingOrTheRecordSaysNoElement) {
  WriteFile(m_folder / "blocks.html", kBlocksPage);
  struct Case {
    const char* selector;
    int padding;
    int width, height;
    std::vector<std::pair<std::pair<int, int>, std::uint32_t>> pixels;
  } cases[] = {
      {"#box", 0, 200, 150, {{{0, 0}, kRed}, {{199, 149}, kRed}}},
      {"#box", 10, 220, 170, {{{5, 5}, kWhite}, {{10, 10}, kRed}, {{215, 165}, kWhite}}},
      // Taller than the view and starting below it: whole, its bottom band included.
      {"#tall", 0, 300, 3000, {{{150, 0}, kBlue}, {{150, 2989}, kBlue}, {{150, 2995}, kGreen}}},
  };
  for (const CaptureMethod method : {CaptureMethod::kSnapshot, CaptureMethod::kTiles}) {
    for (const Case& c : cases) {
      SCOPED_TRACE(std::string(c.selector) + " " + convert::CaptureMethodName(method));
      const convert::EntryRecord record = Render("blocks.html", {c.selector, c.padding}, method);
      ASSERT_EQ(record.outcome, convert::EntryOutcome::kWritten);
      const BitmapFile picture = Picture("blocks.html");
      EXPECT_EQ(picture.width, c.width);
      EXPECT_EQ(picture.height, c.height);
      for (const auto& [at, colour] : c.pixels) {
        EXPECT_EQ(picture.Pixel(at.first, at.second) & 0xFFFFFF, colour)
            << at.first << "," << at.second;
      }
    }
  }
  unlink((m_folder / "blocks.bmp").c_str());
  const convert::EntryRecord none = Render("blocks.html", {"#nothing"});
  EXPECT_EQ(none.outcome, convert::EntryOutcome::kFailed);
  EXPECT_EQ(none.reason, EntryReason::kNoElement);
  EXPECT_FALSE(Picture("blocks.html").valid);
}

TEST_F(PageOptionsTest, HiddenKeepsItsSpaceRemovedGivesItUpAndTheUsersStyleAndScriptWin) {
  WriteFile(m_folder / "blocks.html", kBlocksPage);
  PageOptions options;
  options.hide = {"#a"};
  options.remove = {"#b"};
  // As specific as the page's own rule, which it follows.
  options.style = "#box { background: rgb(0, 128, 0) }";
  // Waited for to its end, its change in the picture, what it threw in the record.
  options.script =
      "await new Promise(function (done) { setTimeout(done, 50); });"
      "document.getElementById('tall').style.background = 'rgb(1, 2, 3)';"
      "throw new Error('thrown by the user');";
  const convert::EntryRecord record = Render("blocks.html", options);
  EXPECT_EQ(record.outcome, convert::EntryOutcome::kWritten);
  EXPECT_NE(record.scriptError.find("thrown by the user"), std::string::npos) << record.scriptError;
  const BitmapFile picture = Picture("blocks.html");
  EXPECT_EQ(picture.Pixel(10, 50) & 0xFFFFFF, kWhite);       // #a hidden, its 100 rows kept
  EXPECT_EQ(picture.Pixel(50, 130) & 0xFFFFFF, 0x008000u);   // #box right below: #b removed
  EXPECT_EQ(picture.Pixel(50, 1500) & 0xFFFFFF, 0x010203u);  // the script's colour
}

TEST_F(PageOptionsTest, WithoutPageScriptsAPageIsUnpaintedAndStillComesOutWhole) {
  // 5,000 rows: the capture's own scripts measure and scroll it all the same.
  WriteFile(m_folder / "painted.html",
            "<body style=\"margin:0\"><div style=\"height:4990px\"></div>"
            "<div style=\"height:10px;background:#0f0\"></div>"
            "<script>document.body.style.background = 'red';</script></body>");
  for (const CaptureMethod method : {CaptureMethod::kSnapshot, CaptureMethod::kTiles}) {
    SCOPED_TRACE(convert::CaptureMethodName(method));
    PageOptions options;
    EXPECT_EQ(Render("painted.html", options, method).height, 5000);
    EXPECT_EQ(Picture("painted.html").Pixel(400, 100) & 0xFFFFFF, kRed);
    options.noJavaScript = true;
    EXPECT_EQ(Render("painted.html", options, method).height, 5000);
    const BitmapFile picture = Picture("painted.html");
    EXPECT_EQ(picture.Pixel(400, 100) & 0xFFFFFF, kWhite);
    EXPECT_EQ(picture.Pixel(400, 4995) & 0xFFFFFF, kGreen);
  }
}

// A page whose four rows of 50 pixels turn red when its frame, image, script and fetch from
// `prefix` arrive.
std::string ReachingPage(const std::string& prefix) {
  return "<!doctype html><body style=\"margin:0\">"
         "<iframe src=\"" +
         prefix +
         "frame.html\" style=\"border:0;width:100px;height:50px;"
         "display:block\"></iframe><img src=\"" +
         prefix +
         "red.svg\" style=\"width:100px;"
         "height:50px;display:block\"><div id=\"s\" style=\"height:50px\"></div>"
         "<div id=\"f\" style=\"height:50px\"></div><script src=\"" +
         prefix +
         "s.js\"></script>"
         "<script>fetch('" +
         prefix +
         "data.txt').then(function (r) { return r.text(); })"
         ".then(function (t) { if (t === 'ok') document.getElementById('f').style.background = "
         "'red'; }, function () {});</script></body>";
}

void WriteReachable(const std::string& folder) {
  WriteFile(folder + "frame.html", "<body style=\"margin:0;background:red\"></body>");
  WriteFile(folder + "red.svg",
            "<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"100\" height=\"50\">"
            "<rect width=\"100\" height=\"50\" fill=\"red\"/></svg>");
  WriteFile(folder + "s.js", "document.getElementById('s').style.background = 'red';");
  WriteFile(folder + "data.txt", "ok");
}

// The colours of the page's four rows: what arrived.
std::vector<std::uint32_t> Arrived(const BitmapFile& picture) {
  std::vector<std::uint32_t> rows;
  for (int y = 25; y < 200; y += 50) rows.push_back(picture.Pixel(50, y) & 0xFFFFFF);
  return rows;
}

TEST_F(PageOptionsTest, AConfinedPageReadsItsFolderAndNothingOutsideItNotEvenThroughALink) {
  TempFolder outside;
  WriteReachable(outside.path());
  WriteReachable(m_folder / "in/");
  WriteFile(m_folder / "inside.html", ReachingPage("in/"));
  WriteFile(m_folder / "outside.html", ReachingPage("file://" + outside.path()));
  ASSERT_EQ(symlink(outside.path().c_str(), (m_folder / "linked").c_str()), 0);
  // A link whose name no address pattern or rule list may take as it stands.
  ASSERT_EQ(symlink("/etc", (m_folder / "in/q\"u\\o[t]e*\n\xFF").c_str()), 0);
  WriteFile(m_folder / "linked.html", ReachingPage("linked/"));
  const std::vector<std::uint32_t> all(4, kRed);
  const std::vector<std::uint32_t> none(4, kWhite);
  PageOptions confined;
  confined.confine = true;
  EXPECT_EQ(Render("inside.html", confined).outcome, convert::EntryOutcome::kWritten);
  EXPECT_EQ(Arrived(Picture("inside.html")), all);
  Render("outside.html", confined);
  EXPECT_EQ(Arrived(Picture("outside.html")), none);
  Render("linked.html", confined);
  EXPECT_EQ(Arrived(Picture("linked.html")), none);
  // A page that is itself a link out of the folder is not even loaded.
  const convert::EntryRecord escaped = Render("linked/frame.html", confined);
  EXPECT_EQ(escaped.outcome, convert::EntryOutcome::kFailed);
  EXPECT_EQ(escaped.reason, EntryReason::kBlocked);
  // Unconfined, a local page reaches every file (but fetches none, as by default).
  Render("outside.html", {});
  EXPECT_EQ(Arrived(Picture("outside.html")),
            (std::vector<std::uint32_t>{kRed, kRed, kRed, kWhite}));
}

TEST_F(PageOptionsTest, APageKeptOffTheNetworkAsksTheServerForNothing) {
  testing_support::HttpServer server;
  WriteFile(m_folder / "online.html", ReachingPage(server.Address("/")));
  PageOptions options;
  options.noNetwork = true;
  EXPECT_EQ(Render("online.html", options).outcome, convert::EntryOutcome::kWritten);
  EXPECT_TRUE(server.Requests().empty());
  Render("online.html", {});
  EXPECT_FALSE(server.Requests().empty());
}

}  // namespace
