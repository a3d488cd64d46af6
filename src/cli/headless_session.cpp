// The window framework and one browser view without the main window.
#include "cli/headless_session.h"

#include <wx/app.h>
#include <wx/display.h>
#include <wx/frame.h>
#include <wx/init.h>
#include <wx/webview.h>

#include "browser/event_pump.h"
#include "browser/web_browser.h"
#include "convert/page_geometry.h"
#include "resources/texts.h"

namespace cli {
namespace {

// The framework wants an argument list of its own; the program's arguments are not its.
int g_argc = 1;
char g_program[] = "rendora";
char* g_argv[] = {g_program, nullptr};

// An application object that parses nothing and shows nothing by itself.
class HeadlessApp : public wxApp {
 public:
  bool OnInit() override { return true; }
};

}  // namespace

HeadlessSession::~HeadlessSession() {
  m_browser.reset();
  if (m_frame) {
    m_frame->Destroy();
    browser::PumpPendingEvents();
  }
  if (m_frameworkStarted) {
    wxTheApp->OnExit();
    wxEntryCleanup();
  }
}

bool HeadlessSession::Start(std::string& error, bool compositing) {
  if (Started()) return true;
  wxApp::SetInstance(new HeadlessApp());
  if (!wxEntryStart(g_argc, g_argv) || !wxTheApp->CallOnInit()) {
    error = resources::TextUtf8(resources::TextId::kCliNoDisplay);
    return false;
  }
  m_frameworkStarted = true;
  m_frame = new wxFrame(nullptr, wxID_ANY, "Rendora");
  m_browser = std::make_unique<browser::CWebBrowser2>(
      m_frame, wxID_ANY, compositing ? browser::Compositing::kOn : browser::Compositing::kOff);
  m_frame->Show();
  browser::PumpPendingEvents();
  return true;
}

int HeadlessSession::ScreenHeight() const { return wxDisplay(0u).GetGeometry().height; }

void HeadlessSession::PlaceForPage(int captureWidth, int screenHeight) {
  // Render workers side by side: each frame is moved right by its slot.
  const convert::PageGeometry place = convert::GeometryForPage(captureWidth, screenHeight);
  m_frame->SetSize(place.window.x + m_slot * (captureWidth + kFrameGap), place.window.y,
                   place.window.width, place.window.height);
  m_frame->Refresh();
  m_frame->Update();
  if (wxWindow* view = m_browser->GetControl()) {
    view->SetSize(place.browser.x, place.browser.y, place.browser.width, place.browser.height);
    view->Refresh();
    view->Update();
  }
}

}  // namespace cli
