// The window framework and one browser view without the main window: what the command line
// renders pages with.
#pragma once

#include <memory>
#include <string>

class wxFrame;

namespace browser {
class CWebBrowser2;
}

namespace cli {

class HeadlessSession {
 public:
  // The room a render worker's frame takes beside the page's width: the frame and its border.
  static constexpr int kFrameGap = 60;

  HeadlessSession() = default;
  ~HeadlessSession();
  HeadlessSession(const HeadlessSession&) = delete;
  HeadlessSession& operator=(const HeadlessSession&) = delete;

  // Starts the window framework on the display named by DISPLAY and shows a frame holding the
  // browser view: the engine paints only views that are mapped on their display. False and
  // `error` when there is no display to start on.
  // Without `compositing` the engine paints the view in software alone (the fast mode).
  bool Start(std::string& error, bool compositing = true);
  bool Started() const { return m_frame != nullptr; }

  browser::CWebBrowser2& Browser() { return *m_browser; }
  // The primary screen's height in pixels.
  int ScreenHeight() const;
  // Places the frame and the view as the main window places itself and its browser control for
  // a page, so that the view, and so the picture, has the same size as in the window. Render
  // worker `slot` puts its frame beside those of the workers before it, so that no view covers
  // another: the engine throttles a page whose view it sees covered.
  void PlaceForPage(int captureWidth, int screenHeight);
  void SetSlot(int slot) { m_slot = slot; }

 private:
  bool m_frameworkStarted = false;
  int m_slot = 0;
  wxFrame* m_frame = nullptr;
  std::unique_ptr<browser::CWebBrowser2> m_browser;
};

}  // namespace cli
