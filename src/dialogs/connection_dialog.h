// The modal "接続設定" window: identity, politeness and retries of a crawl's requests.
#pragma once

#include <wx/dialog.h>

#include "net/connection_options.h"
#include "settings/connection_keys.h"
#include "settings/resume_options.h"

class wxCheckBox;
class wxRadioButton;
class wxTextCtrl;

namespace dialogs {

class ConnectionDialog : public wxDialog {
 public:
  // Shows `options`; only OK, with every field readable, writes the edited options back into
  // `options`. A field that does not read is named in a message and the window stays open.
  // Cancel, Escape and the close box leave `options` untouched.
  // With `resume`, the window also shows and edits the options that keep work from being done
  // twice (outputs kept, downloads continued, the crawl's state file).
  ConnectionDialog(wxWindow* owner, net::ConnectionOptions& options,
                   settings::ResumeOptions* resume = nullptr);

  // The fields as typed, and the same put into the controls (also for tests).
  settings::ConnectionForm Form() const;
  void ShowForm(const settings::ConnectionForm& form);

 private:
  void CreateControls();
  void OnOK(wxCommandEvent& event);
  void Finish(int returnCode);

  net::ConnectionOptions& m_options;
  wxTextCtrl* m_agentEdit = nullptr;
  wxRadioButton* m_refererNone = nullptr;
  wxRadioButton* m_refererLink = nullptr;
  wxRadioButton* m_refererFixed = nullptr;
  wxTextCtrl* m_refererEdit = nullptr;
  wxTextCtrl* m_headersEdit = nullptr;
  wxTextCtrl* m_loadCookiesEdit = nullptr;
  wxTextCtrl* m_saveCookiesEdit = nullptr;
  wxTextCtrl* m_proxyEdit = nullptr;
  wxTextCtrl* m_delayEdit = nullptr;
  wxCheckBox* m_randomDelayCheck = nullptr;
  wxTextCtrl* m_limitRateEdit = nullptr;
  wxTextCtrl* m_triesEdit = nullptr;
  wxTextCtrl* m_retryWaitEdit = nullptr;
  wxCheckBox* m_robotsCheck = nullptr;
  wxTextCtrl* m_perServerEdit = nullptr;
  settings::ResumeOptions* m_resume = nullptr;
  wxCheckBox* m_noClobberCheck = nullptr;
  wxCheckBox* m_continueCheck = nullptr;
  wxTextCtrl* m_stateFileEdit = nullptr;
};

}  // namespace dialogs
