// A real frame holding a browser control, and the run's controls on it, for captures in tests.
#pragma once

#include <wx/frame.h>

#include <chrono>
#include <thread>

#include "browser/event_pump.h"
#include "browser/web_browser.h"
#include "support/fake_run_controls.h"

namespace testing_support {

// The run's controls on a real frame: pumps the real event loop, really sleeps, and places the
// frame and the browser as the main window does.
class FrameControls : public FakeRunControls {
 public:
  FrameControls(wxFrame* frame, browser::CWebBrowser2* browser)
      : m_frame(frame), m_browser(browser) {}
  void PumpMessages() override {
    ++pumps;
    browser::PumpPendingEvents();
  }
  void Sleep(std::chrono::microseconds duration) override { std::this_thread::sleep_for(duration); }
  void PlaceForPage(int captureWidth, int height) override;

 private:
  wxFrame* m_frame;
  browser::CWebBrowser2* m_browser;
};

// Pumps until `done` holds; a bound (not a measurement) keeps a broken engine from hanging.
template <typename Condition>
bool PumpUntil(Condition done, int seconds = 20) {
  const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(seconds);
  while (!done()) {
    if (std::chrono::steady_clock::now() > end) return false;
    browser::PumpPendingEvents();
    std::this_thread::sleep_for(std::chrono::milliseconds(2));
  }
  return true;
}

}  // namespace testing_support
