// The system's message box: OK button, no icon, the application's name as caption.
#pragma once

#include <functional>
#include <string>

class wxWindow;

namespace dialogs {

// Shows `cp932Text` and waits until the box is closed.
void ShowMessageBox(wxWindow* owner, const std::string& cp932Text);

// Replaces every message box by `recorder` (tests), or restores the real box when empty.
void SetMessageBoxRecorder(std::function<void(const std::string& cp932Text)> recorder);

// Asks `cp932Text` with Yes and No buttons and the application's name as caption; true for Yes.
bool AskYesNo(wxWindow* owner, const std::string& cp932Text);
// Answers every question by `answerer` (tests), or restores the real box when empty.
void SetQuestionAnswerer(std::function<bool(const std::string& cp932Text)> answerer);

}  // namespace dialogs
