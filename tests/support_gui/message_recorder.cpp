// Records the system's message boxes in tests instead of showing them.
#include "support_gui/message_recorder.h"

#include "dialogs/message_box.h"

namespace testing_support {

void MessageRecorder::Install() {
  dialogs::SetMessageBoxRecorder([](const std::string& text) { Messages().push_back(text); });
}

std::vector<std::string>& MessageRecorder::Messages() {
  static std::vector<std::string> messages;
  return messages;
}

}  // namespace testing_support
