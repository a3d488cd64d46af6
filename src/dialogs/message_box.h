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

}  // namespace dialogs
