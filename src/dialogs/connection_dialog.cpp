// The modal "接続設定" window: identity, politeness and retries of a crawl's requests.
#include "dialogs/connection_dialog.h"

#include <wx/button.h>
#include <wx/checkbox.h>
#include <wx/radiobut.h>
#include <wx/stattext.h>
#include <wx/textctrl.h>

#include "dialogs/dialog_layout.h"
#include "dialogs/message_box.h"
#include "dialogs/window_look.h"
#include "dialogs/wx_text.h"
#include "resources/control_ids.h"

namespace dialogs {

using resources::TextId;

ConnectionDialog::ConnectionDialog(wxWindow* owner, net::ConnectionOptions& options,
                                   settings::ResumeOptions* resume)
    : m_options(options), m_resume(resume) {
  Create(owner, ids::kConnectionDialog, WxText(TextId::kConnectionTitle), wxDefaultPosition,
         wxDefaultSize, wxDEFAULT_DIALOG_STYLE);
  SetFont(UiFont());
  CreateControls();
  UseHatchBackground(this);
  CentreOnParent();
  ShowForm(settings::FormOf(options));
  if (m_resume) {
    m_noClobberCheck->SetValue(m_resume->noClobber);
    m_continueCheck->SetValue(m_resume->continueDownloads);
    m_stateFileEdit->ChangeValue(ToWx(m_resume->stateFile));
  }
  Bind(wxEVT_BUTTON, &ConnectionDialog::OnOK, this, ids::kOptionsOk);
  Bind(
      wxEVT_BUTTON, [this](wxCommandEvent&) { Finish(wxID_CANCEL); }, ids::kOptionsCancel);
  Bind(wxEVT_CLOSE_WINDOW, [this](wxCloseEvent&) { Finish(wxID_CANCEL); });
  SetAffirmativeId(ids::kOptionsOk);
  SetEscapeId(ids::kOptionsCancel);
}

void ConnectionDialog::CreateControls() {
  DialogLayout layout(this);
  const auto label = [&](TextId text, int x, int y, int w) {
    new wxStaticText(this, wxID_ANY, WxText(text), layout.Pos(x, y + 2), layout.Size(w, 8));
  };
  const auto edit = [&](int id, int x, int y, int w, long style = 0, int h = 14) {
    return new wxTextCtrl(this, id, wxString(), layout.Pos(x, y), layout.Size(w, h), style);
  };
  const auto check = [&](int id, TextId text, int x, int y, int w) {
    return new wxCheckBox(this, id, WxText(text), layout.Pos(x, y + 2), layout.Size(w, 10));
  };
  const auto radio = [&](int id, TextId text, int x, int w, long style = 0) {
    return new wxRadioButton(this, id, WxText(text), layout.Pos(x, 25), layout.Size(w, 10), style);
  };
  label(TextId::kConnectionAgent, 7, 7, 150);
  m_agentEdit = edit(ids::kConnectionAgentEdit, 160, 7, 200);
  label(TextId::kConnectionReferer, 7, 23, 150);
  m_refererNone =
      radio(ids::kConnectionRefererNone, TextId::kConnectionRefererNone, 160, 45, wxRB_GROUP);
  m_refererLink = radio(ids::kConnectionRefererLink, TextId::kConnectionRefererLink, 207, 70);
  m_refererFixed = radio(ids::kConnectionRefererFixed, TextId::kConnectionRefererFixed, 279, 80);
  m_refererEdit = edit(ids::kConnectionRefererEdit, 160, 39, 200);
  label(TextId::kConnectionHeaders, 7, 55, 150);
  m_headersEdit = edit(ids::kConnectionHeadersEdit, 160, 55, 200, wxTE_MULTILINE, 36);
  label(TextId::kConnectionLoadCookies, 7, 95, 150);
  m_loadCookiesEdit = edit(ids::kConnectionLoadCookiesEdit, 160, 95, 200);
  label(TextId::kConnectionSaveCookies, 7, 111, 150);
  m_saveCookiesEdit = edit(ids::kConnectionSaveCookiesEdit, 160, 111, 200);
  label(TextId::kConnectionProxy, 7, 127, 150);
  m_proxyEdit = edit(ids::kConnectionProxyEdit, 160, 127, 200);
  label(TextId::kConnectionDelay, 7, 143, 150);
  m_delayEdit = edit(ids::kConnectionDelayEdit, 160, 143, 40);
  m_randomDelayCheck =
      check(ids::kConnectionRandomDelayCheck, TextId::kConnectionRandomDelay, 210, 143, 150);
  label(TextId::kConnectionLimitRate, 7, 159, 150);
  m_limitRateEdit = edit(ids::kConnectionLimitRateEdit, 160, 159, 60);
  label(TextId::kConnectionTries, 7, 175, 150);
  m_triesEdit = edit(ids::kConnectionTriesEdit, 160, 175, 30);
  label(TextId::kConnectionRetryWait, 7, 191, 150);
  m_retryWaitEdit = edit(ids::kConnectionRetryWaitEdit, 160, 191, 40);
  label(TextId::kConnectionPerServer, 7, 207, 150);
  m_perServerEdit = edit(ids::kConnectionPerServerEdit, 160, 207, 30);
  m_robotsCheck = check(ids::kConnectionRobotsCheck, TextId::kConnectionRobots, 7, 223, 150);
  m_noClobberCheck =
      check(ids::kConnectionNoClobberCheck, TextId::kConnectionNoClobber, 7, 239, 150);
  m_continueCheck =
      check(ids::kConnectionContinueCheck, TextId::kConnectionContinue, 160, 239, 200);
  label(TextId::kConnectionStateFile, 7, 255, 150);
  m_stateFileEdit = edit(ids::kConnectionStateFileEdit, 160, 255, 200);
  new wxButton(this, ids::kOptionsOk, WxText(TextId::kSaveAndClose), layout.Pos(257, 273),
               layout.Size(50, 14));
  new wxButton(this, ids::kOptionsCancel, WxText(TextId::kCancel), layout.Pos(310, 273),
               layout.Size(50, 14));
  layout.Finish(367, 294);
}

settings::ConnectionForm ConnectionDialog::Form() const {
  settings::ConnectionForm form;
  form.userAgent = GetEditText(m_agentEdit);
  form.referer = m_refererLink->GetValue()    ? net::RefererMode::kLinkingPage
                 : m_refererFixed->GetValue() ? net::RefererMode::kFixed
                                              : net::RefererMode::kNone;
  form.refererAddress = GetEditText(m_refererEdit);
  form.headers = GetEditText(m_headersEdit);
  form.loadCookies = GetEditText(m_loadCookiesEdit);
  form.saveCookies = GetEditText(m_saveCookiesEdit);
  form.proxy = GetEditText(m_proxyEdit);
  form.delay = GetEditText(m_delayEdit);
  form.randomDelay = m_randomDelayCheck->GetValue();
  form.limitRate = GetEditText(m_limitRateEdit);
  form.tries = GetEditText(m_triesEdit);
  form.retryWait = GetEditText(m_retryWaitEdit);
  form.robots = m_robotsCheck->GetValue();
  form.perServer = GetEditText(m_perServerEdit);
  return form;
}

void ConnectionDialog::ShowForm(const settings::ConnectionForm& form) {
  m_agentEdit->ChangeValue(ToWx(form.userAgent));
  m_refererNone->SetValue(form.referer == net::RefererMode::kNone);
  m_refererLink->SetValue(form.referer == net::RefererMode::kLinkingPage);
  m_refererFixed->SetValue(form.referer == net::RefererMode::kFixed);
  m_refererEdit->ChangeValue(ToWx(form.refererAddress));
  m_headersEdit->ChangeValue(ToWx(form.headers));
  m_loadCookiesEdit->ChangeValue(ToWx(form.loadCookies));
  m_saveCookiesEdit->ChangeValue(ToWx(form.saveCookies));
  m_proxyEdit->ChangeValue(ToWx(form.proxy));
  m_delayEdit->ChangeValue(ToWx(form.delay));
  m_randomDelayCheck->SetValue(form.randomDelay);
  m_limitRateEdit->ChangeValue(ToWx(form.limitRate));
  m_triesEdit->ChangeValue(ToWx(form.tries));
  m_retryWaitEdit->ChangeValue(ToWx(form.retryWait));
  m_robotsCheck->SetValue(form.robots);
  m_perServerEdit->ChangeValue(ToWx(form.perServer));
}

void ConnectionDialog::OnOK(wxCommandEvent&) {
  net::ConnectionOptions edited;
  if (const auto refused = settings::OptionsOf(Form(), edited)) {
    ShowMessageBox(this, resources::InvalidValueMessage(*refused));
    return;
  }
  m_options = std::move(edited);
  if (m_resume) {
    m_resume->noClobber = m_noClobberCheck->GetValue();
    m_resume->continueDownloads = m_continueCheck->GetValue();
    m_resume->stateFile = GetEditText(m_stateFileEdit);
  }
  Finish(wxID_OK);
}

void ConnectionDialog::Finish(int returnCode) { FinishDialog(*this, returnCode); }

}  // namespace dialogs
