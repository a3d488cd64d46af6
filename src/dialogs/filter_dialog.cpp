// The modal filter lists window: the enable and disable address lists and their two switches.
#include "dialogs/filter_dialog.h"

#include <wx/button.h>
#include <wx/checkbox.h>
#include <wx/listctrl.h>
#include <wx/stattext.h>
#include <wx/textctrl.h>

#include <vector>

#include "dialogs/dialog_layout.h"
#include "dialogs/message_box.h"
#include "dialogs/window_look.h"
#include "dialogs/wx_text.h"
#include "resources/control_ids.h"

namespace dialogs {
namespace {

using resources::TextId;

// The column is as wide as a long address needs, wider than the view itself.
constexpr int kColumnWidthPixels = 650;

void FillList(wxListCtrl* list, const std::vector<std::string>& entries) {
  list->DeleteAllItems();
  for (const std::string& entry : entries) list->InsertItem(list->GetItemCount(), ToWx(entry));
}

}  // namespace

FilterDialog::FilterDialog(wxWindow* owner, settings::FilterLists& lists) : m_lists(lists) {
  Create(owner, ids::kFilterDialog, WxText(TextId::kFilterTitle), wxDefaultPosition, wxDefaultSize,
         wxDEFAULT_DIALOG_STYLE);
  SetFont(UiFont());
  CreateControls();
  UseHatchBackground(this);
  CentreOnParent();

  // The window works on a copy of the record (the entries' own bytes, which the list views show);
  // the record itself changes only on OK.
  m_useEnableCheck->SetValue(lists.m_enable);
  m_useDisableCheck->SetValue(lists.m_disable);
  m_enableEntries = lists.m_enableList;
  m_disableEntries = lists.m_disableList;
  FillList(m_enableListView, m_enableEntries);
  FillList(m_disableListView, m_disableEntries);

  Bind(
      wxEVT_BUTTON,
      [this](wxCommandEvent&) { OnAdd(m_enableListView, m_enableEntryEdit, m_enableEntries); },
      ids::kAddToEnable);
  Bind(
      wxEVT_BUTTON,
      [this](wxCommandEvent&) { OnAdd(m_disableListView, m_disableEntryEdit, m_disableEntries); },
      ids::kAddToDisable);
  Bind(
      wxEVT_BUTTON, [this](wxCommandEvent&) { OnDelete(m_enableListView, m_enableEntries); },
      ids::kDeleteEnable);
  Bind(
      wxEVT_BUTTON, [this](wxCommandEvent&) { OnDelete(m_disableListView, m_disableEntries); },
      ids::kDeleteDisable);
  Bind(wxEVT_BUTTON, &FilterDialog::OnOK, this, ids::kOptionsOk);
  Bind(wxEVT_BUTTON, &FilterDialog::OnCancel, this, ids::kOptionsCancel);
  Bind(wxEVT_CLOSE_WINDOW, [this](wxCloseEvent&) { Finish(wxID_CANCEL); });
  SetAffirmativeId(ids::kOptionsOk);
  SetEscapeId(ids::kOptionsCancel);
}

void FilterDialog::CreateControls() {
  DialogLayout layout(this);
  const auto pos = [&](int x, int y) { return layout.Pos(x, y); };
  const auto size = [&](int w, int h) { return layout.Size(w, h); };
  const auto button = [&](int id, TextId text, int x, int y, int w, int h) {
    return new wxButton(this, id, WxText(text), pos(x, y), size(w, h));
  };
  const auto listView = [&](int id, TextId column, int x, int y, int w, int h) {
    // Several entries may be selected; grid lines; a selected entry is marked across its row.
    auto* list = new wxListCtrl(this, id, pos(x, y), size(w, h),
                                wxLC_REPORT | wxLC_HRULES | wxLC_VRULES | wxBORDER_SUNKEN);
    list->InsertColumn(0, WxText(column), wxLIST_FORMAT_LEFT, kColumnWidthPixels);
    return list;
  };

  m_useEnableCheck = new wxCheckBox(this, ids::kUseEnableCheck, WxText(TextId::kUseEnableList),
                                    pos(7, 10), size(63, 10));
  m_useDisableCheck = new wxCheckBox(this, ids::kUseDisableCheck, WxText(TextId::kUseDisableList),
                                     pos(68, 10), size(63, 10));
  new wxStaticText(this, wxID_ANY, WxText(TextId::kFilterNote), pos(150, 12), size(154, 8));

  m_enableEntryEdit =
      new wxTextCtrl(this, ids::kEnableEntryEdit, wxString(), pos(7, 30), size(271, 14));
  button(ids::kAddToEnable, TextId::kAddToEnableList, 278, 30, 55, 14);
  button(ids::kDeleteEnable, TextId::kDeleteEntries, 334, 30, 47, 14);
  m_enableListView = listView(ids::kEnableList, TextId::kEnableListColumn, 7, 46, 376, 90);

  m_disableEntryEdit =
      new wxTextCtrl(this, ids::kDisableEntryEdit, wxString(), pos(7, 149), size(271, 14));
  button(ids::kAddToDisable, TextId::kAddToDisableList, 279, 149, 55, 14);
  button(ids::kDeleteDisable, TextId::kDeleteEntries, 334, 149, 47, 14);
  m_disableListView = listView(ids::kDisableList, TextId::kDisableListColumn, 7, 166, 376, 90);

  button(ids::kOptionsOk, TextId::kSaveAndClose, 280, 261, 50, 14)->SetDefault();
  button(ids::kOptionsCancel, TextId::kCancel, 333, 261, 50, 14);
  layout.Finish(390, 281);
}

void FilterDialog::OnAdd(wxListCtrl* list, wxTextCtrl* edit, std::vector<std::string>& entries) {
  // Any text is taken as it is, an empty one or one already in the list included.
  entries.push_back(GetEditText(edit));
  list->InsertItem(list->GetItemCount(), edit->GetValue());
}

void FilterDialog::OnDelete(wxListCtrl* list, std::vector<std::string>& entries) {
  if (list->GetSelectedItemCount() == 0) {
    ShowMessageBox(this, resources::Text(TextId::kNothingSelected));
    return;
  }
  // Mark the selected entries, then rebuild the list from the others in their old order; the
  // list may be of any length.
  const int count = list->GetItemCount();
  std::vector<bool> selected(count, false);
  for (long item = list->GetNextItem(-1, wxLIST_NEXT_ALL, wxLIST_STATE_SELECTED); item != -1;
       item = list->GetNextItem(item, wxLIST_NEXT_ALL, wxLIST_STATE_SELECTED)) {
    if (item < count) selected[item] = true;
  }
  std::vector<std::string> kept;
  kept.reserve(count);
  for (int i = 0; i < count && i < static_cast<int>(entries.size()); ++i) {
    if (!selected[i]) kept.push_back(std::move(entries[i]));
  }
  entries = std::move(kept);
  list->Freeze();
  FillList(list, entries);
  list->Thaw();
  list->Refresh();
  list->Update();
}

void FilterDialog::OnOK(wxCommandEvent&) {
  m_lists.m_enableList = m_enableEntries;
  m_lists.m_disableList = m_disableEntries;
  m_lists.m_enable = m_useEnableCheck->GetValue();
  m_lists.m_disable = m_useDisableCheck->GetValue();
  Finish(wxID_OK);
}

void FilterDialog::OnCancel(wxCommandEvent&) { Finish(wxID_CANCEL); }

void FilterDialog::Finish(int returnCode) { FinishDialog(*this, returnCode); }

}  // namespace dialogs
