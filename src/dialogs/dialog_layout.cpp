// Places a window's controls in dialog units, widened where the user-interface font needs more
// room than the units give.
#include "dialogs/dialog_layout.h"

#include <wx/button.h>
#include <wx/checkbox.h>
#include <wx/dialog.h>
#include <wx/stattext.h>
#include <wx/textctrl.h>
#include <wx/utils.h>
#include <wx/window.h>

#include <algorithm>
#include <cmath>

namespace dialogs {
namespace {

// Widening stops here: past it the layout would no longer look like itself.
constexpr double kLargestFactor = 1.6;
// Room a button's caption needs beside its text; the theme's own padding may shrink to this.
constexpr int kButtonTextMargin = 12;

int Scaled(int value, double factor) { return static_cast<int>(std::lround(value * factor)); }

}  // namespace

wxPoint DialogLayout::Pos(int x, int y) const {
  return m_window->ConvertDialogToPixels(wxPoint(x, y));
}

wxSize DialogLayout::Size(int width, int height) const {
  return m_window->ConvertDialogToPixels(wxSize(width, height));
}

wxWindow* DialogLayout::Place(wxWindow* control, int x, int y, int width, int height) const {
  wxSize size = Size(width, height);
  const wxSize best = control->GetBestSize();
  if (!dynamic_cast<wxTextCtrl*>(control)) size.x = std::max(size.x, best.x);
  size.y = std::max(size.y, best.y);
  control->SetSize(wxRect(Pos(x, y), size));
  return control;
}

int NeededWidth(const wxWindow* control) {
  if (const auto* button = dynamic_cast<const wxButton*>(control)) {
    if (button->GetBitmap().IsOk()) return 0;
    return button->GetTextExtent(wxStripMenuCodes(button->GetLabel())).x + kButtonTextMargin;
  }
  if (dynamic_cast<const wxCheckBox*>(control) || dynamic_cast<const wxStaticText*>(control)) {
    return control->GetBestSize().x;
  }
  return 0;
}

double DialogLayout::Finish(int width, int height) {
  double factor = 1.0;
  for (const wxWindow* child : m_window->GetChildren()) {
    const int have = child->GetSize().x;
    if (have > 0) factor = std::max(factor, static_cast<double>(NeededWidth(child)) / have);
  }
  factor = std::min(factor, kLargestFactor);
  if (factor > 1.0) {
    for (wxWindow* child : m_window->GetChildren()) {
      if (child->IsTopLevel()) continue;
      const wxRect rect = child->GetRect();
      child->SetSize(Scaled(rect.x, factor), rect.y, Scaled(rect.width, factor), rect.height);
    }
  }
  const wxSize client = Size(width, height);
  m_window->SetClientSize(Scaled(client.x, factor), client.y);
  return factor;
}

void FinishDialog(wxDialog& dialog, int returnCode) {
  if (dialog.IsModal()) {
    dialog.EndModal(returnCode);
  } else {
    dialog.SetReturnCode(returnCode);
    dialog.Hide();
  }
}

}  // namespace dialogs
