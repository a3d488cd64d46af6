// The modal filter lists window: the enable and disable address lists and their two switches.
#pragma once

#include <wx/dialog.h>

#include <string>
#include <vector>

#include "settings/fields.h"

class wxCheckBox;
class wxListCtrl;
class wxTextCtrl;

namespace dialogs {

class FilterDialog : public wxDialog {
 public:
  // Shows a copy of `lists`; only "保存して終了" (OK) writes the edited lists and switches back
  // into `lists`. Cancel, Escape and the close box leave it untouched.
  FilterDialog(wxWindow* owner, settings::FilterLists& lists);

 private:
  void CreateControls();
  void OnAdd(wxListCtrl* list, wxTextCtrl* edit, std::vector<std::string>& entries);
  void OnDelete(wxListCtrl* list, std::vector<std::string>& entries);
  void OnOK(wxCommandEvent& event);
  void OnCancel(wxCommandEvent& event);
  void Finish(int returnCode);

  settings::FilterLists& m_lists;
  wxCheckBox* m_useDisableCheck = nullptr;
  wxCheckBox* m_useEnableCheck = nullptr;
  wxTextCtrl* m_disableEntryEdit = nullptr;
  wxTextCtrl* m_enableEntryEdit = nullptr;
  wxListCtrl* m_enableListView = nullptr;
  wxListCtrl* m_disableListView = nullptr;
  std::vector<std::string> m_enableEntries;   // what the enable list shows, as bytes
  std::vector<std::string> m_disableEntries;  // what the disable list shows, as bytes
};

}  // namespace dialogs
