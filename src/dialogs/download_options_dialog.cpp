// The modeless download options window: entry limits, address rules, the filter switch and the
// six placeholder rows of the crawl, live views of the settings fields they hold.
#include "dialogs/download_options_dialog.h"

#include <wx/button.h>
#include <wx/checkbox.h>
#include <wx/statbox.h>
#include <wx/stattext.h>
#include <wx/textctrl.h>

#include "dialogs/dialog_layout.h"
#include "dialogs/filter_dialog.h"
#include "dialogs/window_look.h"
#include "dialogs/wx_text.h"
#include "resources/control_ids.h"

namespace dialogs {
namespace {

using resources::TextId;
using settings::Field;

// Where each placeholder row sits, in dialog units: the rows alternate between a left and a
// right column, three lines down.
struct RowPlace {
  int checkX, checkY, checkWidth;
  int editX, editY;  // first-value edit; the last-value and step edits follow at fixed offsets
  int rangeY, stepLabelX, stepLabelY;
};
constexpr RowPlace kRowPlaces[settings::kPlaceholderRows] = {
    {6, 103, 46, 55, 100, 103, 178, 102}, {217, 103, 46, 266, 99, 103, 393, 101},
    {6, 122, 46, 55, 118, 122, 178, 120}, {217, 122, 46, 266, 118, 122, 393, 120},
    {6, 140, 46, 55, 137, 140, 178, 139}, {217, 140, 45, 266, 136, 140, 393, 138},
};

int Index(Field field, Field first) { return static_cast<int>(field) - static_cast<int>(first); }
bool InRow(Field field, Field first) {
  const int index = Index(field, first);
  return index >= 0 && index < settings::kPlaceholderRows;
}

}  // namespace

DownloadOptionsDialog::DownloadOptionsDialog(wxWindow* owner, settings::FilterLists& filterLists)
    : m_filterLists(filterLists) {
  // Created hidden: wxDialog::Create does not show the window.
  Create(owner, ids::kDownloadOptionsDialog, WxText(TextId::kDownloadOptionsTitle),
         wxDefaultPosition, wxDefaultSize, wxCAPTION);
  SetFont(UiFont());
  CreateControls();
  UseHatchBackground(this);

  for (int row = 1; row <= settings::kPlaceholderRows; ++row) UpdatePlaceholderRow(row);

  Bind(wxEVT_CHECKBOX, &DownloadOptionsDialog::OnRowCheck, this, ids::kRowCheckFirst,
       ids::kRowCheckFirst + settings::kPlaceholderRows - 1);
  Bind(wxEVT_BUTTON, &DownloadOptionsDialog::OnFilterDetails, this, ids::kFilterDetails);
  Bind(
      wxEVT_BUTTON, [this](wxCommandEvent&) { HideOnly(); }, ids::kOptionsOk);
  Bind(
      wxEVT_BUTTON, [this](wxCommandEvent&) { HideOnly(); }, ids::kOptionsCancel);
  Bind(wxEVT_CLOSE_WINDOW, [this](wxCloseEvent&) { HideOnly(); });
  SetAffirmativeId(ids::kOptionsOk);
  SetEscapeId(ids::kOptionsCancel);
}

void DownloadOptionsDialog::CreateControls() {
  DialogLayout layout(this);
  const auto pos = [&](int x, int y) { return layout.Pos(x, y); };
  const auto size = [&](int w, int h) { return layout.Size(w, h); };
  const auto label = [&](const wxString& text, int x, int y, int w, int h) {
    new wxStaticText(this, wxID_ANY, text, pos(x, y), size(w, h));
  };
  const auto edit = [&](int id, int x, int y, int w, int h) {
    return new wxTextCtrl(this, id, wxString(), pos(x, y), size(w, h));
  };
  const auto check = [&](int id, const wxString& text, int x, int y, int w, int h) {
    return new wxCheckBox(this, id, text, pos(x, y), size(w, h));
  };

  // The group box first, so that the controls inside it lie above it.
  new wxStaticBox(this, wxID_ANY, WxText(TextId::kDownloadOptionsTitle), pos(7, 6), size(252, 86));
  label(WxText(TextId::kCountLabel), 17, 20, 59, 8);
  m_countEdit = edit(ids::kCountEdit, 79, 17, 33, 13);
  label(WxText(TextId::kLinkCountLabel), 126, 21, 89, 8);
  m_linkCountEdit = edit(ids::kLinkCountEdit, 219, 17, 33, 13);
  m_anotherUrlCheck =
      check(ids::kAnotherUrlCheck, WxText(TextId::kAnotherUrlCheck), 18, 37, 153, 10);
  m_serverCheck = check(ids::kServerCheck, WxText(TextId::kServerCheck), 18, 49, 153, 10);
  m_sameCheck = check(ids::kSameCheck, WxText(TextId::kSameCheck), 18, 61, 153, 10);
  m_filterCheck = check(ids::kFilterCheck, WxText(TextId::kFilterCheck), 18, 73, 77, 10);
  new wxButton(this, ids::kFilterDetails, WxText(TextId::kFilterDetails), pos(96, 72),
               size(50, 14));
  label(WxText(TextId::kDownloadOptionsNote), 268, 23, 146, 20);

  for (int row = 1; row <= settings::kPlaceholderRows; ++row) {
    const RowPlace& at = kRowPlaces[row - 1];
    const int i = row - 1;
    const wxString rowName = wxString::Format("@%c@", static_cast<char>('a' + i));
    m_rowChecks[i] = check(ids::kRowCheckFirst + i, rowName + WxText(TextId::kUseSuffix), at.checkX,
                           at.checkY, at.checkWidth, 10);
    m_fromEdits[i] = edit(ids::kRowFromFirst + 4 * i, at.editX, at.editY, 41, 14);
    label(WxText(TextId::kRangeMark), at.editX + 45, at.rangeY, 8, 8);
    m_toEdits[i] = edit(ids::kRowToFirst + 4 * i, at.editX + 56, at.editY, 41, 14);
    m_stepEdits[i] = edit(ids::kRowStepFirst + 4 * i, at.editX + 104, at.editY, 17, 14);
    label(WxText(TextId::kStepSuffix), at.stepLabelX, at.stepLabelY, 20, 8);
  }

  auto* ok = new wxButton(this, ids::kOptionsOk, WxText(TextId::kSaveAndClose), pos(313, 155),
                          size(50, 14));
  new wxButton(this, ids::kOptionsCancel, WxText(TextId::kCancel), pos(364, 155), size(50, 14));
  ok->SetDefault();
  layout.Finish(421, 175);
}

bool DownloadOptionsDialog::HoldsField(Field field) {
  switch (field) {
    case Field::kCount:
    case Field::kLinkCount:
    case Field::kAnotherUrl:
    case Field::kServer:
    case Field::kSame:
    case Field::kFilter: return true;
    default:
      return InRow(field, Field::kCgi1) || InRow(field, Field::kFrom1) ||
             InRow(field, Field::kTo1) || InRow(field, Field::kStep1);
  }
}

wxWindow* DownloadOptionsDialog::ControlOf(Field field) const {
  switch (field) {
    case Field::kCount: return m_countEdit;
    case Field::kLinkCount: return m_linkCountEdit;
    case Field::kAnotherUrl: return m_anotherUrlCheck;
    case Field::kServer: return m_serverCheck;
    case Field::kSame: return m_sameCheck;
    case Field::kFilter: return m_filterCheck;
    default: break;
  }
  if (InRow(field, Field::kCgi1)) return m_rowChecks[Index(field, Field::kCgi1)];
  if (InRow(field, Field::kFrom1)) return m_fromEdits[Index(field, Field::kFrom1)];
  if (InRow(field, Field::kTo1)) return m_toEdits[Index(field, Field::kTo1)];
  if (InRow(field, Field::kStep1)) return m_stepEdits[Index(field, Field::kStep1)];
  return nullptr;
}

std::string DownloadOptionsDialog::GetOptionText(Field field) const {
  const auto* edit = dynamic_cast<const wxTextCtrl*>(ControlOf(field));
  return edit ? GetEditText(edit) : std::string();
}

void DownloadOptionsDialog::SetOptionText(Field field, const std::string& text) {
  if (auto* edit = dynamic_cast<wxTextCtrl*>(ControlOf(field))) SetEditText(edit, text);
}

bool DownloadOptionsDialog::IsOptionChecked(Field field) const {
  const auto* box = dynamic_cast<const wxCheckBox*>(ControlOf(field));
  return box && box->GetValue();
}

void DownloadOptionsDialog::SetOptionChecked(Field field, bool checked) {
  if (auto* box = dynamic_cast<wxCheckBox*>(ControlOf(field))) box->SetValue(checked);
}

void DownloadOptionsDialog::UpdatePlaceholderRow(int row) {
  if (row < 1 || row > settings::kPlaceholderRows) return;
  const int i = row - 1;
  const bool inUse = m_rowChecks[i]->GetValue();
  m_fromEdits[i]->Enable(inUse);
  m_toEdits[i]->Enable(inUse);
  m_stepEdits[i]->Enable(inUse);
}

void DownloadOptionsDialog::FocusOption(Field field) {
  wxWindow* control = ControlOf(field);
  if (!control) return;
  if (!IsShown()) Show();
  Raise();
  control->SetFocus();
}

void DownloadOptionsDialog::OnRowCheck(wxCommandEvent& event) {
  UpdatePlaceholderRow(event.GetId() - ids::kRowCheckFirst + 1);
}

void DownloadOptionsDialog::OnFilterDetails(wxCommandEvent&) {
  FilterDialog dialog(this, m_filterLists);
  dialog.ShowModal();
}

void DownloadOptionsDialog::HideOnly() { Hide(); }

}  // namespace dialogs
