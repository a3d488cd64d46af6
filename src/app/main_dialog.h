// The main window: source and output paths, per-page options, the browser control, the status
// line, the menu and the toolbar. It holds the run state and hands its controls to the run.
#pragma once

#include <wx/frame.h>
#include <wx/timer.h>

#include <chrono>
#include <cstdint>
#include <memory>
#include <string>

#include "base/locations.h"
#include "base/tools.h"
#include "convert/run_controls.h"
#include "convert/run_outcome.h"
#include "convert/run_state.h"
#include "download/crawl_state.h"
#include "net/curl_transfer.h"
#include "net/polite_transfer.h"
#include "resources/texts.h"
#include "settings/fields.h"
#include "settings/settings_commands.h"
#include "settings/settings_record.h"

class wxButton;
class wxBitmapButton;
class wxCheckBox;
class wxMenu;
class wxPanel;
class wxStaticText;
class wxTextCtrl;
class wxToolBar;
class AppTools;

namespace browser {
class CWebBrowser2;
}
namespace convert {
class ConversionRun;
class HtmlReport;
class ViewPageRenderer;
}  // namespace convert
namespace dialogs {
class DialogLayout;
class DownloadOptionsDialog;
}  // namespace dialogs
namespace download {
class CrawlDriver;
}

class MainDialog : public wxFrame, public convert::RunControls {
 public:
  // `programFolder` holds set.ini and the first-run Corvane.ini: the running program's folder,
  // or the user's config folder when the program may not write there (an installed package).
  explicit MainDialog(std::string programFolder = base::GetSettingsFolder());
  ~MainDialog() override;

  // The id of the menu item that carries menu command `commandId` (the toolkit's item ids stop
  // below 0x7FFF; the toolbar buttons carry the command ids themselves).
  static int MenuItemId(int commandId);

  // Commands (menu, toolbar and hidden buttons share them).
  void OnStart();
  void OnStop();
  void OnExit();
  void OnBrowseRead();
  void OnBrowseWrite();
  void OnShowDownloadOptions();
  void OnTimer();
  void OnSettingsNew();
  void OnSettingsOpen();
  void OnSettingsSave();
  void OnSettingsSaveAs();
  void OnHelp();
  void OnAbout();
  void OnHomePage();
  void OnOutputSettings();
  void OnConnectionOptions();

  // The controls that hold the settings record, and what a run needs of the window.
  std::string GetOptionText(settings::Field field) const override;
  void SetOptionText(settings::Field field, const std::string& text) override;
  bool IsOptionChecked(settings::Field field) const override;
  void SetOptionChecked(settings::Field field, bool checked) override;
  void UpdatePlaceholderRow(int row) override;
  void SetStatusText(const std::string& text) override;
  void ShowMessage(const std::string& text) override;
  void PumpMessages() override;
  void Sleep(std::chrono::microseconds duration) override;
  void FocusOption(settings::Field field) override;
  int ScreenHeight() override;
  void PlaceForPage(int captureWidth, int screenHeight) override;
  // Each page's record goes to the report to look at, when the settings file names one.
  void RecordEntry(const convert::EntryRecord& record) override;

  wxToolBar* ToolBar() const { return m_toolBar; }

  dialogs::DownloadOptionsDialog* DownloadOptions() const { return m_pDownloadOptions; }
  browser::CWebBrowser2& Browser() const { return *m_browserControl; }
  const std::string& ProgramFolder() const { return m_settings.ProgramFolder(); }
  const std::string& SettingsPath() const { return m_settings.SettingsPath(); }

  // State shared with the run (read by tests too).
  convert::RunState m_run;
  settings::FilterLists m_filters;  // m_enableList, m_disableList, ENABLE, DISABLE
  download::CrawlState m_crawl;     // m_addressQueue, m_kindQueue, m_startFolder, m_startServer

 private:
  void CreateControls();
  void CreatePathRows(const dialogs::DialogLayout& layout);
  void CreateOptionsGroup(const dialogs::DialogLayout& layout);
  void PlaceLabel(const dialogs::DialogLayout& layout, resources::TextId text, int x, int y,
                  int width, int height);
  void CreateMenu();
  wxMenu* CreateOptionsMenu();
  // The pictures' format, quality and split of the settings record, for the run about to start.
  void UseOutputSettings();
  // The crawl with the connection options of the record in effect; their cookies saved after.
  convert::RunOutcome CrawlWithConnection();
  // The crawl's journal, when the settings name a state file; one with work left is resumed
  // when the user agrees.
  void UseStateFile();
  bool BuildToolBar();
  void BindCommands();
  void OnClose(wxCloseEvent& event);
  void OnCharHook(wxKeyEvent& event);
  wxTextCtrl* EditOf(settings::Field field) const;

  wxPanel* m_panel = nullptr;
  wxCheckBox* m_subCheck = nullptr;
  wxTextCtrl* m_percentEdit = nullptr;
  wxTextCtrl* m_waitEdit = nullptr;
  wxTextCtrl* m_sizeEdit = nullptr;
  wxStaticText* m_status = nullptr;
  wxBitmapButton* m_browseWriteButton = nullptr;
  wxBitmapButton* m_browseReadButton = nullptr;
  wxButton* m_startButton = nullptr;
  wxTextCtrl* m_writePathEdit = nullptr;
  wxTextCtrl* m_readPathEdit = nullptr;
  wxWindow* m_browser = nullptr;  // the browser control's window
  wxToolBar* m_toolBar = nullptr;
  wxTimer m_timer;
  std::unique_ptr<AppTools> m_pTools;
  dialogs::DownloadOptionsDialog* m_pDownloadOptions = nullptr;
  std::unique_ptr<browser::CWebBrowser2> m_browserControl;
  settings::SettingsRecord m_settings;
  settings::SettingsCommands m_settingsCommands;
  net::CurlTransfer m_transfer;
  net::PoliteTransfer m_politeTransfer{m_transfer};  // the crawl's requests go through it
  std::unique_ptr<convert::ViewPageRenderer> m_renderer;
  std::unique_ptr<download::CrawlDriver> m_crawlDriver;
  std::unique_ptr<convert::ConversionRun> m_conversion;
  std::unique_ptr<convert::HtmlReport> m_htmlReport;  // during a run whose file has ReportHtml
};
