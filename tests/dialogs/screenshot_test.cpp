// Screenshots of the option windows for the project's documents (docs/*.png). Not part of the
// test run: run with
//   RENDORA_SCREENSHOT_DIR=<folder> xvfb-run -a -s "-screen 0 1280x1024x24" \
//     tests/test_dialogs --gtest_also_run_disabled_tests --gtest_filter='Screenshot*'
// Each window is shown on the display, the whole screen is captured with ImageMagick's import
// and cut to the window.
#include <gtest/gtest.h>
#include <wx/app.h>
#include <wx/checkbox.h>
#include <wx/listctrl.h>
#include <wx/textctrl.h>

#include <chrono>
#include <cstdlib>
#include <string>
#include <thread>

#include "dialogs/about_dialog.h"
#include "dialogs/download_options_dialog.h"
#include "dialogs/filter_dialog.h"
#include "resources/control_ids.h"
#include "support/temp_folder.h"

namespace dialogs {
namespace {

using testing_support::Sjis;

// Shows `window` at (16, 16), lets it paint, captures the screen and cuts the window out into
// <RENDORA_SCREENSHOT_DIR>/<name>.png.
void Capture(wxWindow* window, const std::string& name) {
  const char* folder = std::getenv("RENDORA_SCREENSHOT_DIR");
  ASSERT_NE(folder, nullptr) << "RENDORA_SCREENSHOT_DIR names the folder for the pictures";
  window->Move(16, 16);
  window->Show();
  window->Raise();
  for (int round = 0; round < 40; ++round) {
    wxTheApp->Yield(true);
    window->Update();
    std::this_thread::sleep_for(std::chrono::milliseconds(25));
  }
  const wxRect rect = window->GetScreenRect();
  const std::string target = std::string(folder) + "/" + name + ".png";
  const std::string command = "import -window root -crop " + std::to_string(rect.width) + "x" +
                              std::to_string(rect.height) + "+" + std::to_string(rect.x) + "+" +
                              std::to_string(rect.y) + " +repage '" + target + "'";
  EXPECT_EQ(std::system(command.c_str()), 0) << command;
  window->Hide();
}

TEST(Screenshot, DISABLED_DownloadOptions) {
  settings::FilterLists lists;
  auto* dialog = new DownloadOptionsDialog(nullptr, lists);
  dialog->SetOptionText(settings::Field::kCount, "1000");
  dialog->SetOptionText(settings::Field::kLinkCount, "500");
  dialog->SetOptionChecked(settings::Field::kServer, true);
  dialog->SetOptionChecked(settings::Field::kFilter, true);
  const char* values[][3] = {{"1", "20", "1"}, {"001", "120", "5"}, {"", "", ""},
                             {"", "", ""},     {"", "", ""},        {"", "", ""}};
  for (int row = 1; row <= settings::kPlaceholderRows; ++row) {
    dialog->SetOptionChecked(settings::CgiField(row), row <= 2);
    dialog->SetOptionText(settings::FromField(row), values[row - 1][0]);
    dialog->SetOptionText(settings::ToField(row), values[row - 1][1]);
    dialog->SetOptionText(settings::StepField(row), values[row - 1][2]);
    dialog->UpdatePlaceholderRow(row);
  }
  Capture(dialog, "download-options");
  dialog->Destroy();
}

TEST(Screenshot, DISABLED_FilterLists) {
  settings::FilterLists lists{{"/images/", Sjis("/日本語/ページ/")},
                              {".zip", "ads.", "http://tracker.example.org/"}, 0, 1};
  auto* dialog = new FilterDialog(nullptr, lists);
  auto* list = dynamic_cast<wxListCtrl*>(dialog->FindWindow(ids::kDisableList));
  list->SetItemState(1, wxLIST_STATE_SELECTED, wxLIST_STATE_SELECTED);
  dynamic_cast<wxTextCtrl*>(dialog->FindWindow(ids::kEnableEntryEdit))->ChangeValue("/docs/");
  Capture(dialog, "filter-lists");
  dialog->Destroy();
}

TEST(Screenshot, DISABLED_About) {
  auto* dialog = new AboutDialog(nullptr, [] {});
  Capture(dialog, "about");
  dialog->Destroy();
}

}  // namespace
}  // namespace dialogs
