// Records the system's message boxes in tests instead of showing them.
#pragma once

#include <string>
#include <vector>

namespace testing_support {

class MessageRecorder {
 public:
  // Routes every message box of the program to the record (done once by the test main).
  static void Install();
  // The texts shown so far, in code page 932, oldest first.
  static std::vector<std::string>& Messages();
  static void Clear() { Messages().clear(); }
};

}  // namespace testing_support
