// The modal output settings window: the pictures' format, quality, split height and overlap.
#include "dialogs/output_dialog.h"

#include <wx/button.h>
#include <wx/choice.h>
#include <wx/spinctrl.h>
#include <wx/stattext.h>

#include <string>

#include "convert/picture_file.h"
#include "convert/picture_format.h"
#include "dialogs/dialog_layout.h"
#include "dialogs/message_box.h"
#include "dialogs/window_look.h"
#include "dialogs/wx_text.h"
#include "resources/control_ids.h"

namespace dialogs {
namespace {

using resources::TextId;

// The message that refuses `output`, or empty when it can be written.
std::string Refusal(const convert::PictureFormat& format, const settings::OutputSettings& output) {
  convert::PictureOptions options;
  options.quality = output.m_quality;
  options.splitHeight = output.m_splitHeight;
  options.splitOverlap = output.m_splitOverlap;
  switch (convert::CheckPictureChoice(format, options)) {
    case convert::PictureChoiceProblem::kNone:
    case convert::PictureChoiceProblem::kQuality:  // the quality box holds 1-100 only
    case convert::PictureChoiceProblem::kSplit:    // as the split box its range
    case convert::PictureChoiceProblem::kTransparency: return {};
    case convert::PictureChoiceProblem::kOverlap:
      return resources::Text(TextId::kOutputOverlapTooLarge);
    case convert::PictureChoiceProblem::kSplitTooTall:
      return FromWx(wxString::FromUTF8(resources::FillUtf8(
          TextId::kOutputSplitTooTall, {std::to_string(format.LargestSide())})));
  }
  return {};
}

}  // namespace

OutputDialog::OutputDialog(wxWindow* owner, settings::OutputSettings& output) : m_output(output) {
  Create(owner, ids::kOutputSettingsDialog, WxText(TextId::kOutputTitle), wxDefaultPosition,
         wxDefaultSize, wxDEFAULT_DIALOG_STYLE);
  SetFont(UiFont());
  CreateControls();
  UseHatchBackground(this);
  CentreOnParent();

  // A format the file names but this program does not know shows as the default.
  const convert::PictureFormat* format = convert::FindPictureFormat(output.m_format);
  const std::string_view shown = (format ? *format : convert::DefaultPictureFormat()).Name();
  m_formatChoice->SetStringSelection(wxString::FromUTF8(shown.data(), shown.size()));
  m_qualityEdit->SetValue(output.m_quality);
  m_splitEdit->SetValue(output.m_splitHeight);
  m_overlapEdit->SetValue(output.m_splitOverlap);

  Bind(wxEVT_BUTTON, &OutputDialog::OnOK, this, ids::kOptionsOk);
  Bind(
      wxEVT_BUTTON, [this](wxCommandEvent&) { Finish(wxID_CANCEL); }, ids::kOptionsCancel);
  Bind(wxEVT_CLOSE_WINDOW, [this](wxCloseEvent&) { Finish(wxID_CANCEL); });
  SetAffirmativeId(ids::kOptionsOk);
  SetEscapeId(ids::kOptionsCancel);
}

void OutputDialog::CreateControls() {
  DialogLayout layout(this);
  const auto pos = [&](int x, int y) { return layout.Pos(x, y); };
  const auto size = [&](int w, int h) { return layout.Size(w, h); };
  const auto label = [&](TextId text, int y) {
    new wxStaticText(this, wxID_ANY, WxText(text), pos(7, y + 2), size(120, 8));
  };
  const auto number = [&](int id, int y, int largest) {
    return new wxSpinCtrl(this, id, wxString(), pos(130, y), size(80, 16), wxSP_ARROW_KEYS,
                          id == ids::kOutputQualityEdit ? 1 : 0, largest);
  };
  label(TextId::kOutputFormatLabel, 7);
  wxArrayString names;
  for (const convert::PictureFormat* format : convert::PictureFormats()) {
    names.Add(wxString::FromUTF8(format->Name().data(), format->Name().size()));
  }
  m_formatChoice = new wxChoice(this, ids::kOutputFormatChoice, pos(130, 7), size(60, 14), names);
  label(TextId::kOutputQualityLabel, 26);
  m_qualityEdit = number(ids::kOutputQualityEdit, 26, 100);
  label(TextId::kOutputSplitLabel, 45);
  m_splitEdit = number(ids::kOutputSplitEdit, 45, convert::kLargestSplitHeight);
  label(TextId::kOutputOverlapLabel, 64);
  m_overlapEdit = number(ids::kOutputOverlapEdit, 64, convert::kLargestSplitHeight);
  new wxButton(this, ids::kOptionsOk, WxText(TextId::kOutputOk), pos(106, 86), size(50, 14));
  new wxButton(this, ids::kOptionsCancel, WxText(TextId::kOutputCancel), pos(160, 86),
               size(50, 14));
  FindWindow(ids::kOptionsOk)->SetFocus();
  layout.Finish(217, 106);
}

void OutputDialog::OnOK(wxCommandEvent&) {
  settings::OutputSettings edited;
  edited.m_format = FromWx(m_formatChoice->GetStringSelection());
  edited.m_quality = m_qualityEdit->GetValue();
  edited.m_splitHeight = m_splitEdit->GetValue();
  edited.m_splitOverlap = m_overlapEdit->GetValue();
  const convert::PictureFormat* format = convert::FindPictureFormat(edited.m_format);
  const std::string refusal = Refusal(format ? *format : convert::DefaultPictureFormat(), edited);
  if (!refusal.empty()) {
    ShowMessageBox(this, refusal);
    return;
  }
  m_output = edited;
  Finish(wxID_OK);
}

void OutputDialog::Finish(int returnCode) {
  if (IsModal()) {
    EndModal(returnCode);
  } else {
    SetReturnCode(returnCode);
    Hide();
  }
}

}  // namespace dialogs
