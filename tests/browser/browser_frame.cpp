// A real frame holding a browser control, and the run's controls on it, for captures in tests.
#include "browser/browser_frame.h"

#include <wx/webview.h>

namespace testing_support {

void FrameControls::PlaceForPage(int captureWidth, int height) {
  m_frame->SetSize(0, 0, captureWidth + 50, height - 70);
  m_browser->GetControl()->SetSize(10, 150, captureWidth, height - 300);
  m_frame->Refresh();
  m_frame->Update();
}

}  // namespace testing_support
