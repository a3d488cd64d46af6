// Screenshots of the windows for the project's documents (docs/*.png), made by
// scripts/screenshots.sh: each window is shown on the display, the whole screen is captured with
// ImageMagick's import and cut to the window.
#include <wx/app.h>
#include <wx/init.h>
#include <wx/checkbox.h>
#include <wx/listctrl.h>
#include <wx/textctrl.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <thread>

#include "app/main_dialog.h"
#include "dialogs/about_dialog.h"
#include "dialogs/connection_dialog.h"
#include "dialogs/download_options_dialog.h"
#include "dialogs/filter_dialog.h"
#include "dialogs/output_dialog.h"
#include "resources/control_ids.h"
#include "base/encoding.h"

namespace dialogs {
namespace {

std::string Sjis(const std::string& utf8) { return base::Utf8ToCp932(utf8).value_or(utf8); }

std::string g_folder;
int g_failures = 0;

// Shows `window` at (16, 16), lets it paint, captures the screen and cuts the window out into
// <folder>/<name>.png.
void Capture(wxWindow* window, const std::string& name) {
  window->Move(16, 16);
  window->Show();
  window->Raise();
  for (int round = 0; round < 40; ++round) {
    wxTheApp->Yield(true);
    window->Update();
    std::this_thread::sleep_for(std::chrono::milliseconds(25));
  }
  const wxRect rect = window->GetScreenRect();
  const std::string target = g_folder + "/" + name + ".png";
  const std::string command = "import -window root -crop " + std::to_string(rect.width) + "x" +
                              std::to_string(rect.height) + "+" + std::to_string(rect.x) + "+" +
                              std::to_string(rect.y) + " +repage '" + target + "'";
  if (std::system(command.c_str()) != 0) {
    std::fprintf(stderr, "failed: %s\n", command.c_str());
    ++g_failures;
  }
  window->Hide();
}

void DownloadOptions() {
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

void FilterLists() {
  settings::FilterLists lists{
      {"/images/", Sjis("/日本語/ページ/")}, {".zip", "ads.", "http://tracker.example.org/"}, 0, 1};
  auto* dialog = new FilterDialog(nullptr, lists);
  auto* list = dynamic_cast<wxListCtrl*>(dialog->FindWindow(ids::kDisableList));
  list->SetItemState(1, wxLIST_STATE_SELECTED, wxLIST_STATE_SELECTED);
  dynamic_cast<wxTextCtrl*>(dialog->FindWindow(ids::kEnableEntryEdit))->ChangeValue("/docs/");
  Capture(dialog, "filter-lists");
  dialog->Destroy();
}

void OutputSettings() {
  settings::OutputSettings output{"webp", 85, 2000, 100};
  auto* dialog = new OutputDialog(nullptr, output);
  Capture(dialog, "output-settings");
}

void Connection() {
  net::ConnectionOptions options;
  options.userAgent = "Mozilla/5.0 (X11; Linux x86_64) Rendora/1.0";
  options.referer = net::RefererMode::kLinkingPage;
  options.headers = {"Accept-Language: ja,en;q=0.8"};
  options.loadCookies = "/home/user/cookies.txt";
  options.delaySeconds = 0.5;
  options.randomDelay = true;
  options.tries = 3;
  options.robots = true;
  auto* dialog = new ConnectionDialog(nullptr, options);
  Capture(dialog, "connection");
  dialog->Destroy();
}

void About() {
  auto* dialog = new AboutDialog(nullptr, [] {});
  Capture(dialog, "about");
  dialog->Destroy();
}

// The main window with a job filled in, as the README shows it.
void MainWindow(const std::string& programFolder) {
  auto* window = new MainDialog(programFolder);
  window->SetOptionText(settings::Field::kReadPath, Sjis("/home/user/ページ/"));
  window->SetOptionText(settings::Field::kWritePath, "/home/user/pictures/");
  window->SetOptionText(settings::Field::kSize, "800");
  window->SetOptionText(settings::Field::kWait, "10");
  window->SetOptionText(settings::Field::kPercent, "100");
  window->SetOptionChecked(settings::Field::kSub, true);
  Capture(window, "main-window");
  window->Destroy();
}

}  // namespace
}  // namespace dialogs

// screenshots FOLDER PROGRAM_FOLDER: writes the pictures into FOLDER.
int main(int argc, char** argv) {
  if (argc != 3) {
    std::fprintf(stderr, "usage: screenshots <picture folder> <empty program folder>\n");
    return 2;
  }
  dialogs::g_folder = argv[1];
  const std::string programFolder = std::string(argv[2]) + "/";
  wxApp::SetInstance(new wxApp());
  int wxArgc = 1;
  if (!wxEntryStart(wxArgc, argv) || !wxTheApp->CallOnInit()) return 1;
  dialogs::MainWindow(programFolder);
  dialogs::DownloadOptions();
  dialogs::FilterLists();
  dialogs::OutputSettings();
  dialogs::Connection();
  dialogs::About();
  wxTheApp->OnExit();
  wxEntryCleanup();
  return dialogs::g_failures == 0 ? 0 : 1;
}
