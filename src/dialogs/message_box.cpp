// The system's message box: OK button, no icon, the application's name as caption.
#include "dialogs/message_box.h"

#include <wx/msgdlg.h>

#include "dialogs/wx_text.h"

namespace dialogs {
namespace {

std::function<void(const std::string&)>& Recorder() {
  static std::function<void(const std::string&)> recorder;
  return recorder;
}

std::function<bool(const std::string&)>& Answerer() {
  static std::function<bool(const std::string&)> answerer;
  return answerer;
}

}  // namespace

void ShowMessageBox(wxWindow* owner, const std::string& cp932Text) {
  if (Recorder()) {
    Recorder()(cp932Text);
    return;
  }
  wxMessageDialog box(owner, ToWx(cp932Text), WxText(resources::TextId::kAppName), wxOK);
  box.ShowModal();
}

void SetMessageBoxRecorder(std::function<void(const std::string&)> recorder) {
  Recorder() = std::move(recorder);
}

bool AskYesNo(wxWindow* owner, const std::string& cp932Text) {
  if (Answerer()) return Answerer()(cp932Text);
  wxMessageDialog box(owner, ToWx(cp932Text), WxText(resources::TextId::kAppName), wxYES_NO);
  return box.ShowModal() == wxID_YES;
}

void SetQuestionAnswerer(std::function<bool(const std::string&)> answerer) {
  Answerer() = std::move(answerer);
}

}  // namespace dialogs
