// Main of the test programs that need a display: starts the window framework (without showing a
// window), records message boxes instead of showing them, then runs the tests.
#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <wx/app.h>
#include <wx/init.h>

#include "dialogs/message_box.h"
#include "support_gui/message_recorder.h"

int main(int argc, char** argv) {
  ::testing::InitGoogleMock(&argc, argv);
  // Listing the tests needs no display: CTest lists them when the program is built.
  if (::testing::GTEST_FLAG(list_tests)) return RUN_ALL_TESTS();
  wxApp::SetInstance(new wxApp());
  if (!wxEntryStart(argc, argv) || !wxTheApp->CallOnInit()) {
    fprintf(stderr, "cannot start the window framework (no display?)\n");
    return 1;
  }
  testing_support::MessageRecorder::Install();
  const int result = RUN_ALL_TESTS();
  wxTheApp->OnExit();
  wxEntryCleanup();
  return result;
}
