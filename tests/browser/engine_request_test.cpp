// Requests of the engine that would open a window or wait for a person, answered by the program
// on the real engine: pages that print, ask for a password, a permission, a new window or to
// close the view, a certificate that fails its checks, and clicks that would open choosers.
#include <gtest/gtest.h>
#include <gtk/gtk.h>
#include <wx/frame.h>
#include <wx/uiaction.h>
#include <wx/webview.h>

#include <string>
#include <vector>

#include "browser/browser_frame.h"
#include "browser/web_browser.h"
#include "browser/web_browser_bands.h"
#include "convert/page_capture.h"
#include "convert/run_state.h"
#include "resources/control_ids.h"
#include "support/http_server.h"
#include "support/temp_folder.h"

namespace {

using browser::CWebBrowser2;
using convert::CaptureOutcome;
using convert::CaptureResult;
using convert::EngineRequest;
using convert::EngineRequests;
using testing_support::Answer;
using testing_support::BitmapFile;
using testing_support::HttpServer;
using testing_support::PumpUntil;
using testing_support::TempFolder;

constexpr std::uint32_t kGreen = 0x00FF00;

EngineRequests Set(std::initializer_list<EngineRequest> requests) {
  EngineRequests set;
  for (const EngineRequest request : requests) set.Add(request);
  return set;
}

std::string Names(const EngineRequests& requests) {
  std::string names;
  for (const char* name : requests.Names()) names += std::string(name) + ";";
  return names;
}

// The visible top-level windows of this program (dialogs and pop-up menus included) other
// than `own`.
int OtherVisibleWindows(wxFrame* own) {
  GList* windows = gtk_window_list_toplevels();
  int count = 0;
  for (GList* item = windows; item; item = item->next) {
    GtkWidget* window = GTK_WIDGET(item->data);
    if (window != own->GetHandle() && gtk_widget_get_visible(window)) ++count;
  }
  g_list_free(windows);
  return count;
}

// A page whose background turns from blue to green when `script` has gone on past its request.
std::string VerdictPage(const std::string& script, const std::string& body = "") {
  return "<!DOCTYPE html><html><head><style>html { background: #0000FF; }</style>"
         "<script>function green() { document.documentElement.style.background = '#00FF00'; }"
         "</script></head><body>" +
         body + "<script>" + script + "</script></body></html>";
}

// A page whose frame makes the request.
std::string FramePage(const std::string& source) {
  return VerdictPage("green();",
                     "<iframe style=\"margin-top: 300px\" src=\"" + source + "\"></iframe>");
}

class EngineRequestTest : public ::testing::Test {
 protected:
  void SetUp() override {
    m_frame = new wxFrame(nullptr, wxID_ANY, "engine request test");
    m_browser = new CWebBrowser2(m_frame, ids::kBrowser);
    m_controls = new testing_support::FrameControls(m_frame, m_browser);
    m_frame->Show();
    m_controls->PlaceForPage(800, 1024);
    m_controls->texts[settings::Field::kPercent] = "100";
  }
  void TearDown() override {
    delete m_controls;
    delete m_browser;
    m_frame->Destroy();
    browser::PumpPendingEvents();
  }
  CaptureResult Capture(const std::string& location) {
    m_browser->Navigate2(location);
    m_browser->RedrawNow();
    return CaptureShown();
  }
  CaptureResult CaptureShown() {
    convert::RunState state;
    state.m_captureWidth = 800;
    state.m_wait = 10;  // half a second: long enough for a frame's or a timer's request
    return convert::CaptureToFile(m_folder / "page.bmp", *m_browser, *m_controls, state);
  }

  TempFolder m_folder;
  wxFrame* m_frame = nullptr;
  CWebBrowser2* m_browser = nullptr;
  testing_support::FrameControls* m_controls = nullptr;
};

TEST_F(EngineRequestTest, PagesGoOnAndEveryRequestIsAnsweredWithoutAWindow) {
  HttpServer site;
  HttpServer other;  // another origin: the same address on another port
  site.Serve("/print.html", Answer(200, VerdictPage("print(); green();")));
  site.Serve("/timer.html",
             Answer(200, VerdictPage("setTimeout(function () { print(); green(); }, 50);")));
  site.Serve("/print-frame.html", Answer(200, "<script>print();</script>"));
  other.Serve("/print-frame.html", Answer(200, "<script>print();</script>"));
  site.Serve("/frame.html", Answer(200, FramePage("/print-frame.html")));
  site.Serve("/cross-frame.html", Answer(200, FramePage(other.Address("/print-frame.html"))));
  site.Serve("/secret.html", Answer(401, "<p>refused</p>", "text/html",
                                    {{"WWW-Authenticate", "Basic realm=\"members\""}}));
  site.Serve("/secret-frame.html", Answer(200, FramePage("/secret.html")));
  site.Serve("/where.html",
             Answer(200, VerdictPage("navigator.geolocation.getCurrentPosition(green, green);")));
  site.Serve("/close.html", Answer(200, VerdictPage("window.close(); green();")));
  site.Serve("/open.html", Answer(200, VerdictPage("if (!window.open('/print.html')) green();")));
  struct Case {
    std::string page;
    EngineRequests expected;
    // A page that itself asks for a password is not shown: its load is cancelled.
    CaptureOutcome outcome = CaptureOutcome::kWritten;
  } cases[] = {
      {"/print.html", Set({EngineRequest::kPrint})},
      {"/timer.html", Set({EngineRequest::kPrint})},
      {"/frame.html", Set({EngineRequest::kPrint})},
      {"/cross-frame.html", Set({EngineRequest::kPrint})},
      {"/secret-frame.html", Set({EngineRequest::kAuthentication})},
      {"/secret.html", Set({EngineRequest::kAuthentication}), CaptureOutcome::kNotMeasured},
      {"/where.html", Set({EngineRequest::kPermission})},
      // Refused by the engine itself before they become requests: the view was not opened by
      // a script, and scripts may open no window without a person's click.
      {"/close.html", Set({})},
      {"/open.html", Set({})},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.page);
    const CaptureResult result = Capture(site.Address(c.page));
    ASSERT_EQ(result.outcome, c.outcome);
    EXPECT_EQ(Names(result.answered), Names(c.expected));
    EXPECT_EQ(OtherVisibleWindows(m_frame), 0);
    if (c.outcome == CaptureOutcome::kWritten) {
      EXPECT_EQ(BitmapFile::Read(m_folder / "page.bmp").Pixel(0, 0) & 0xFFFFFF, kGreen);
    }
  }
  // The next page starts with no requests of its own.
  site.Serve("/plain.html", Answer(200, VerdictPage("green();")));
  EXPECT_TRUE(Capture(site.Address("/plain.html")).answered.Empty());
}

TEST_F(EngineRequestTest, AServerCertificateThatFailsItsChecksFailsTheLoadAndSaysSo) {
  ASSERT_TRUE(testing_support::MakeSelfSignedCertificate(m_folder.path(), "site", "127.0.0.1"));
  HttpServer site(m_folder / "site.pem", m_folder / "site.key");
  site.Serve("/page.html", Answer(200, VerdictPage("green();")));
  const std::string address = "https://127.0.0.1:" + std::to_string(site.port()) + "/page.html";
  const CaptureResult result = Capture(address);
  EXPECT_EQ(result.outcome, CaptureOutcome::kNotMeasured);
  EXPECT_EQ(Names(result.answered), Names(Set({EngineRequest::kCertificate})));
  EXPECT_EQ(OtherVisibleWindows(m_frame), 0);
}

// A person's clicks (real pointer events through the X server's test extension, which the
// engine takes as a user's gesture) on what would open a chooser, a menu or a new window.
TEST_F(EngineRequestTest, ClicksThatWouldOpenChoosersAndMenusOpenNoWindow) {
  const std::string box = "position: absolute; left: 0; width: 300px; height: 60px; ";
  testing_support::WriteFile(
      m_folder / "clicks.html",
      VerdictPage("green();",
                  "<input type=file style=\"" + box +
                      "top: 0\">"
                      "<input type=color style=\"" +
                      box +
                      "top: 100px\">"
                      "<select style=\"" +
                      box +
                      "top: 200px\"><option>a<option>b</select>"
                      "<div onclick=\"document.body.requestFullscreen()\" style=\"" +
                      box +
                      "top: 300px; background: #888\"></div>"
                      "<a href=\"clicks.html\" target=\"_blank\" style=\"display: block; " +
                      box + "top: 400px; background: #444\"></a>"));
  m_browser->Navigate2(m_folder / "clicks.html");
  ASSERT_TRUE(PumpUntil([&] { return m_browser->LoadFinished(); }));
  struct Case {
    int top;
    wxMouseButton button;
    EngineRequest expected;
  } cases[] = {
      {400, wxMOUSE_BTN_LEFT, EngineRequest::kNewWindow},
      {0, wxMOUSE_BTN_LEFT, EngineRequest::kFileChooser},
      {100, wxMOUSE_BTN_LEFT, EngineRequest::kColourChooser},
      {200, wxMOUSE_BTN_LEFT, EngineRequest::kOptionMenu},
      {300, wxMOUSE_BTN_LEFT, EngineRequest::kFullscreen},
      {600, wxMOUSE_BTN_RIGHT, EngineRequest::kContextMenu},
  };
  wxUIActionSimulator pointer;
  EngineRequests expected;
  for (const Case& c : cases) {
    SCOPED_TRACE(convert::EngineRequestName(c.expected));
    pointer.MouseMove(m_browser->GetControl()->ClientToScreen(wxPoint(150, c.top + 30)));
    browser::PumpPendingEvents();
    pointer.MouseClick(c.button);
    EXPECT_TRUE(PumpUntil([&] { return m_browser->AnsweredRequests().Has(c.expected); }, 10));
    EXPECT_EQ(OtherVisibleWindows(m_frame), 0);
    expected.Add(c.expected);
  }
  const CaptureResult result = CaptureShown();
  EXPECT_EQ(result.outcome, CaptureOutcome::kWritten);
  EXPECT_EQ(Names(result.answered), Names(expected));
}

}  // namespace
