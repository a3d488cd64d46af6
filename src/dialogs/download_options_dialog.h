// The modeless download options window: entry limits, address rules, the filter switch and the
// six placeholder rows of the crawl, live views of the settings fields they hold.
#pragma once

#include <wx/dialog.h>

#include <array>
#include <string>

#include "settings/fields.h"

class wxCheckBox;
class wxTextCtrl;

namespace dialogs {

class DownloadOptionsDialog : public wxDialog {
 public:
  // Created hidden; `owner` is the main window. `filterLists` is the main window's record of the
  // two filter lists and their switches, handed to the filter lists window that the filter
  // details button opens; it must outlive this window.
  DownloadOptionsDialog(wxWindow* owner, settings::FilterLists& filterLists);

  // True for the fields whose controls live in this window: Count, LinkCount, ANOTHERURL,
  // Server, SAME, FILTER and the fields of the six placeholder rows.
  static bool HoldsField(settings::Field field);

  // Accessors in the shape of settings::OptionControls for this window's fields; the main window
  // delegates them here. A field this window does not hold reads as "" / unchecked and is
  // ignored on writing.
  std::string GetOptionText(settings::Field field) const;
  void SetOptionText(settings::Field field, const std::string& text);
  bool IsOptionChecked(settings::Field field) const;
  void SetOptionChecked(settings::Field field, bool checked);
  // Enables the first-value, last-value and step edits of row `row` (1..6) when the row's check
  // box is checked, else disables them; their texts stay as they are.
  void UpdatePlaceholderRow(int row);
  // Puts the keyboard focus into the control of `field`, showing the window first when it is
  // hidden (a focus inside a hidden window could not be seen or used).
  void FocusOption(settings::Field field);

  // The control holding `field`, or nullptr for a field of another window.
  wxWindow* ControlOf(settings::Field field) const;

 private:
  void CreateControls();
  void OnRowCheck(wxCommandEvent& event);
  void OnFilterDetails(wxCommandEvent& event);
  // OK, Cancel, Escape, Enter and the close box all only hide the window: every edit is
  // already in effect, and nothing is written to a file here.
  void HideOnly();

  settings::FilterLists& m_filterLists;
  wxTextCtrl* m_countEdit = nullptr;
  wxTextCtrl* m_linkCountEdit = nullptr;
  wxCheckBox* m_anotherUrlCheck = nullptr;
  wxCheckBox* m_serverCheck = nullptr;
  wxCheckBox* m_sameCheck = nullptr;
  wxCheckBox* m_filterCheck = nullptr;
  std::array<wxCheckBox*, settings::kPlaceholderRows> m_rowChecks{};
  std::array<wxTextCtrl*, settings::kPlaceholderRows> m_fromEdits{};
  std::array<wxTextCtrl*, settings::kPlaceholderRows> m_toEdits{};
  std::array<wxTextCtrl*, settings::kPlaceholderRows> m_stepEdits{};
};

}  // namespace dialogs
