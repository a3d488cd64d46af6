// The version box: the application icon, the version text and the home-page button.
#pragma once

#include <wx/dialog.h>

#include <functional>

namespace dialogs {

class AboutDialog : public wxDialog {
 public:
  // `openHomePage` runs when the home-page button is pressed (the dialog stays open); when empty,
  // the home page opens in the desktop's web browser.
  explicit AboutDialog(wxWindow* owner, std::function<void()> openHomePage = {});

 private:
  std::function<void()> m_openHomePage;
};

}  // namespace dialogs
