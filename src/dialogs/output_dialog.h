// The modal output settings window: the pictures' format, quality, split height and overlap.
#pragma once

#include <wx/dialog.h>

#include "settings/output_settings.h"

class wxChoice;
class wxSpinCtrl;

namespace dialogs {

class OutputDialog : public wxDialog {
 public:
  // Shows `output`; only OK writes the edited values back, and only when they can be written
  // (an overlap below the split height, a split height the format holds): otherwise it says why
  // and stays open. Cancel, Escape and the close box leave `output` untouched.
  OutputDialog(wxWindow* owner, settings::OutputSettings& output);

 private:
  void CreateControls();
  void OnOK(wxCommandEvent& event);
  void Finish(int returnCode);

  settings::OutputSettings& m_output;
  wxChoice* m_formatChoice = nullptr;
  wxSpinCtrl* m_qualityEdit = nullptr;
  wxSpinCtrl* m_splitEdit = nullptr;
  wxSpinCtrl* m_overlapEdit = nullptr;
};

}  // namespace dialogs
