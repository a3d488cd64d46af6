// The version box: the application icon, the version text and the home-page button.
#include "dialogs/about_dialog.h"

#include <wx/button.h>
#include <wx/statbmp.h>
#include <wx/stattext.h>

#include <algorithm>
#include <utility>

#include "dialogs/app_icon.h"
#include "dialogs/dialog_layout.h"
#include "dialogs/help_commands.h"
#include "dialogs/window_look.h"
#include "dialogs/wx_text.h"
#include "resources/control_ids.h"

namespace dialogs {
namespace {

constexpr int kOkButton = ids::kOptionsOk;  // the standard OK button, id 1

}  // namespace

AboutDialog::AboutDialog(wxWindow* owner, std::function<void()> openHomePage)
    : m_openHomePage(std::move(openHomePage)) {
  Create(owner, ids::kAboutDialog, WxText(resources::TextId::kAboutTitle), wxDefaultPosition,
         wxDefaultSize, wxDEFAULT_DIALOG_STYLE);
  SetFont(UiFont());
  DialogLayout layout(this);
  const auto pos = [&](int x, int y) { return layout.Pos(x, y); };
  const auto size = [&](int w, int h) { return layout.Size(w, h); };

  const wxSize iconCell = size(20, 20);
  new wxStaticBitmap(this, wxID_ANY, AppIconBitmap(std::min(iconCell.x, iconCell.y)), pos(11, 17),
                     iconCell);
  new wxStaticText(this, wxID_ANY, WxText(resources::TextId::kAboutVersion), pos(40, 10),
                   size(119, 8));
  auto* ok = new wxButton(this, kOkButton, "OK", pos(178, 7), size(50, 14));
  const std::string_view address = resources::kHomePageAddress;
  new wxButton(this, ids::kHomePageButton, wxString::FromUTF8(address.data(), address.size()),
               pos(57, 37), size(171, 14), wxBORDER_NONE);
  ok->SetDefault();
  layout.Finish(235, 55);
  CentreOnParent();

  SetIcons(AppIcons());
  Bind(
      wxEVT_BUTTON, [this](wxCommandEvent&) { EndModal(wxID_OK); }, kOkButton);
  Bind(
      wxEVT_BUTTON,
      [this](wxCommandEvent&) {
        // The home page opens beside the box, which stays open.
        if (m_openHomePage) {
          m_openHomePage();
        } else {
          OnHomePage(this);
        }
      },
      ids::kHomePageButton);
  SetAffirmativeId(kOkButton);
  SetEscapeId(kOkButton);
}

}  // namespace dialogs
