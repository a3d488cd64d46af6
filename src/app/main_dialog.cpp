// The main window: source and output paths, per-page options, the browser control, the status
// line, the menu and the toolbar. It holds the run state and hands its controls to the run.
#include "app/main_dialog.h"

#include <algorithm>

#include <glib.h>
#include <wx/bmpbuttn.h>
#include <wx/anybutton.h>
#include <wx/button.h>
#include <wx/checkbox.h>
#include <wx/display.h>
#include <wx/menu.h>
#include <wx/panel.h>
#include <wx/statbox.h>
#include <wx/stattext.h>
#include <wx/textctrl.h>
#include <wx/toolbar.h>
#include <wx/webview.h>

#include "app/app_tools.h"
#include "app/cursor_nudge.h"
#include "app/toolbar_images.h"
#include "browser/picture_thumbnail.h"
#include "browser/engine_identity.h"
#include "browser/web_browser.h"
#include "base/text.h"
#include "base/tools.h"
#include "convert/conversion_run.h"
#include "convert/page_options.h"
#include "convert/html_report.h"
#include "convert/page_geometry.h"
#include "convert/view_page_renderer.h"
#include "dialogs/app_icon.h"
#include "dialogs/connection_dialog.h"
#include "dialogs/dialog_layout.h"
#include "dialogs/download_options_dialog.h"
#include "dialogs/help_commands.h"
#include "dialogs/message_box.h"
#include "dialogs/output_dialog.h"
#include "dialogs/window_look.h"
#include "dialogs/wx_text.h"
#include "download/crawl_driver.h"
#include "resources/control_ids.h"
#include "settings/settings_keys.h"
#include "resources/texts.h"

using dialogs::WxText;
using resources::TextId;
using settings::Field;

namespace {

// The toolkit takes menu item ids below 0x7FFF only, and the menu command ids (control_ids.h)
// lie above it: a menu item carries its command id less this offset, and its handler is the
// command's.
constexpr int kMenuItemOffset = 0x7000;

// The window is laid out in dialog units of its own font: 463 by 271.
constexpr int kDialogWidth = 463;
constexpr int kDialogHeight = 271;

}  // namespace

int MainDialog::MenuItemId(int commandId) { return commandId - kMenuItemOffset; }

MainDialog::MainDialog(std::string programFolder)
    : wxFrame(nullptr, ids::kMainDialog, WxText(TextId::kMainTitle), wxDefaultPosition,
              wxDefaultSize, wxDEFAULT_FRAME_STYLE),
      m_timer(this, ids::kNudgeTimer),
      m_settings(*this, m_filters),
      m_settingsCommands(m_settings, [this](int mode, const std::string& initialPath) {
        return m_pTools->ChooseSettingsFile(this, initialPath,
                                            resources::Text(TextId::kSettingsFilter), mode);
      }) {
  // Start-up in its fixed order: controls, icon, tools, the hidden download options window,
  // the program folder, the start-up settings, the toolbar, the browse images, the settings
  // once more, the cursor timer. (This toolkit has no system menu to extend: the version
  // information is in the Help menu.)
  SetFont(dialogs::UiFont());
  dialogs::UseCompactEdits();
  CreateControls();
  CreateMenu();
  SetIcons(dialogs::AppIcons());
  m_pTools = std::make_unique<AppTools>();
  m_pDownloadOptions = new dialogs::DownloadOptionsDialog(this, m_filters);
  m_pDownloadOptions->Hide();
  m_settings.SetProgramFolder(std::move(programFolder));
  m_settings.LoadStartupSettings();

  m_renderer = std::make_unique<convert::ViewPageRenderer>(m_run, *this, *m_browserControl);
  m_crawlDriver = std::make_unique<download::CrawlDriver>(m_run, *this, m_politeTransfer,
                                                          *m_renderer, m_filters, m_crawl);
  // A transfer or a pause keeps the window's events flowing, so that Stop ends it within a moment.
  const auto hook = [this] {
    PumpMessages();
    return !m_run.m_stop.Requested() && !m_run.m_closing;
  };
  m_transfer.SetProgressHook(hook);
  m_politeTransfer.SetProgressHook(hook);
  m_conversion = std::make_unique<convert::ConversionRun>(m_run, *this, *m_renderer,
                                                          [this] { return CrawlWithConnection(); });
  BindCommands();
  SetClientSize(dialogs::DialogLayout(m_panel).Size(kDialogWidth, kDialogHeight));

  if (BuildToolBar()) {
    const wxBitmap browse = app::DrawBrowseImage();
    m_browseReadButton->SetBitmap(browse);
    m_browseWriteButton->SetBitmap(browse);
    m_settings.LoadSettings();
    m_timer.Start(ids::kNudgePeriodMs);
  }
}

MainDialog::~MainDialog() { m_timer.Stop(); }

void MainDialog::CreateControls() {
  m_panel = new wxPanel(this, wxID_ANY);
  m_panel->SetFont(dialogs::UiFont());
  dialogs::UseHatchBackground(m_panel);
  const dialogs::DialogLayout layout(m_panel);
  wxPanel* p = m_panel;

  // The hidden buttons keep their ids for the command table.
  layout.Place(new wxButton(p, ids::kCancel, WxText(TextId::kExitButton)), 126, 7, 50, 14)->Hide();
  m_startButton = new wxButton(p, ids::kStart, WxText(TextId::kCreateButton));
  layout.Place(m_startButton, 64, 7, 50, 14)->Hide();
  layout.Place(new wxButton(p, ids::kStop, WxText(TextId::kStopButton)), 71, 21, 50, 14)->Hide();

  CreatePathRows(layout);
  CreateOptionsGroup(layout);

  m_browserControl = std::make_unique<browser::CWebBrowser2>(p, ids::kBrowser);
  m_browser = m_browserControl->GetControl();
  layout.Place(m_browser, 7, 103, 449, 161);

  m_status = new wxStaticText(p, ids::kStatus, wxEmptyString, wxDefaultPosition, wxDefaultSize,
                              wxST_NO_AUTORESIZE | wxST_ELLIPSIZE_END);
  layout.Place(m_status, 12, 83, 309, 8);
}

void MainDialog::PlaceLabel(const dialogs::DialogLayout& layout, TextId text, int x, int y,
                            int width, int height) {
  layout.Place(new wxStaticText(m_panel, wxID_ANY, WxText(text)), x, y, width, height);
}

// The read and write paths, each with its browse button.
void MainDialog::CreatePathRows(const dialogs::DialogLayout& layout) {
  wxPanel* p = m_panel;
  PlaceLabel(layout, TextId::kReadPathLabel, 9, 34, 42, 8);
  PlaceLabel(layout, TextId::kUrlAllowedLabel, 7, 44, 46, 8);
  m_readPathEdit = new wxTextCtrl(p, ids::kReadPathEdit);
  layout.Place(m_readPathEdit, 60, 38, 234, 14);
  m_browseReadButton = new wxBitmapButton(p, ids::kBrowseRead, wxNullBitmap);
  layout.Place(m_browseReadButton, 294, 39, 21, 14);
  PlaceLabel(layout, TextId::kWritePathLabel, 9, 59, 28, 8);
  m_writePathEdit = new wxTextCtrl(p, ids::kWritePathEdit);
  layout.Place(m_writePathEdit, 60, 59, 234, 14);
  m_browseWriteButton = new wxBitmapButton(p, ids::kBrowseWrite, wxNullBitmap);
  layout.Place(m_browseWriteButton, 294, 59, 21, 14);
}

// The options group: Size, Wait, Percent, subfolders and the download details button.
void MainDialog::CreateOptionsGroup(const dialogs::DialogLayout& layout) {
  wxPanel* p = m_panel;
  layout.Place(new wxStaticBox(p, wxID_ANY, WxText(TextId::kOptionsGroup)), 329, 34, 127, 64);
  PlaceLabel(layout, TextId::kSizeLabel, 333, 46, 24, 8);
  m_sizeEdit = new wxTextCtrl(p, ids::kSizeEdit);
  layout.Place(m_sizeEdit, 362, 43, 19, 14);
  PlaceLabel(layout, TextId::kWaitLabel, 384, 46, 27, 8);
  m_waitEdit = new wxTextCtrl(p, ids::kWaitEdit);
  layout.Place(m_waitEdit, 420, 44, 19, 14);
  PlaceLabel(layout, TextId::kPercentLabel, 333, 63, 15, 8);
  m_percentEdit = new wxTextCtrl(p, ids::kPercentEdit);
  layout.Place(m_percentEdit, 353, 61, 19, 14);
  PlaceLabel(layout, TextId::kPercentSign, 375, 65, 8, 8);
  m_subCheck = new wxCheckBox(p, ids::kSubCheck, WxText(TextId::kSubfoldersCheck));
  layout.Place(m_subCheck, 383, 63, 69, 12);
  layout.Place(new wxButton(p, ids::kShowDownloadOptions, WxText(TextId::kDownloadDetails)), 340,
               79, 60, 14);
}

void MainDialog::CreateMenu() {
  auto* file = new wxMenu;
  file->Append(MenuItemId(ids::kMenuNew), WxText(TextId::kMenuNew));
  file->Append(MenuItemId(ids::kMenuOpen), WxText(TextId::kMenuOpen));
  file->AppendSeparator();
  file->Append(MenuItemId(ids::kMenuSave), WxText(TextId::kMenuSave));
  file->Append(MenuItemId(ids::kMenuSaveAs), WxText(TextId::kMenuSaveAs));
  file->AppendSeparator();
  file->Append(MenuItemId(ids::kMenuExit), WxText(TextId::kMenuExit));
  auto* run = new wxMenu;
  run->Append(MenuItemId(ids::kMenuStart), WxText(TextId::kMenuStart));
  run->Append(MenuItemId(ids::kMenuStop), WxText(TextId::kMenuStop));
  auto* help = new wxMenu;
  help->Append(MenuItemId(ids::kMenuAbout), WxText(TextId::kMenuAbout));
  help->Append(MenuItemId(ids::kMenuHelp), WxText(TextId::kMenuHelpItem));
  auto* bar = new wxMenuBar;
  bar->Append(file, WxText(TextId::kMenuFile));
  bar->Append(run, WxText(TextId::kMenuRun));
  bar->Append(CreateOptionsMenu(), WxText(TextId::kMenuOptions));
  bar->Append(help, WxText(TextId::kMenuHelp));
  SetMenuBar(bar);
}

wxMenu* MainDialog::CreateOptionsMenu() {
  // The dialogs of the options the window has beyond its own fields.
  auto* options = new wxMenu;
  options->Append(MenuItemId(ids::kMenuConnection), WxText(TextId::kMenuConnection));
  options->Append(MenuItemId(ids::kMenuOutputSettings), WxText(TextId::kMenuOutputSettings));
  return options;
}

bool MainDialog::BuildToolBar() {
  // A plain toolbar with tooltips across the top of the window, over the hidden buttons.
  m_toolBar = new wxToolBar(m_panel, wxID_ANY, wxPoint(0, 0), wxDefaultSize,
                            wxTB_HORIZONTAL | wxTB_NODIVIDER);
  if (!m_toolBar) return false;
  m_toolBar->SetToolBitmapSize(wxSize(32, 32));
  struct Tool {
    int id;
    app::ToolImage image;
    TextId tip;
  };
  const Tool tools[] = {
      {ids::kToolNew, app::ToolImage::kNew, TextId::kMenuNew},
      {ids::kToolOpen, app::ToolImage::kOpen, TextId::kMenuOpen},
      {ids::kToolSave, app::ToolImage::kSave, TextId::kTipSave},
      {ids::kToolExit, app::ToolImage::kExit, TextId::kMenuExit},
      {0, {}, {}},
      {ids::kToolStart, app::ToolImage::kStart, TextId::kTipStart},
      {ids::kToolStop, app::ToolImage::kStop, TextId::kStopButton},
      {0, {}, {}},
      {ids::kToolHelp, app::ToolImage::kHelp, TextId::kMenuHelpItem},
      {ids::kToolHomePage, app::ToolImage::kHomePage, TextId::kTipHomePage},
  };
  for (const Tool& tool : tools) {
    if (tool.id == 0) {
      m_toolBar->AddSeparator();
    } else {
      m_toolBar->AddTool(tool.id, wxEmptyString, app::DrawToolImage(tool.image), WxText(tool.tip));
    }
  }
  if (!m_toolBar->Realize()) return false;
  m_toolBar->SetSize(0, 0, 10000, m_toolBar->GetBestSize().y);
  return true;
}

void MainDialog::BindCommands() {
  auto command = [this](std::initializer_list<int> idList, void (MainDialog::*handler)()) {
    for (int id : idList) {
      const int menuId = id >= kMenuItemOffset ? MenuItemId(id) : id;
      Bind(
          wxEVT_MENU, [this, handler](wxCommandEvent&) { (this->*handler)(); }, menuId);
      // Toolbar buttons keep their command ids and send menu events too.
      if (menuId != id)
        Bind(
            wxEVT_MENU, [this, handler](wxCommandEvent&) { (this->*handler)(); }, id);
      Bind(
          wxEVT_BUTTON, [this, handler](wxCommandEvent&) { (this->*handler)(); }, id);
    }
  };
  command({ids::kStart, ids::kMenuStart, ids::kToolStart}, &MainDialog::OnStart);
  command({ids::kStop, ids::kMenuStop, ids::kToolStop}, &MainDialog::OnStop);
  command({ids::kBrowseRead}, &MainDialog::OnBrowseRead);
  command({ids::kBrowseWrite}, &MainDialog::OnBrowseWrite);
  command({ids::kShowDownloadOptions}, &MainDialog::OnShowDownloadOptions);
  command({ids::kCancel, ids::kMenuExit, ids::kToolExit}, &MainDialog::OnExit);
  command({ids::kMenuNew, ids::kToolNew}, &MainDialog::OnSettingsNew);
  command({ids::kMenuOpen, ids::kToolOpen}, &MainDialog::OnSettingsOpen);
  command({ids::kMenuSave, ids::kToolSave}, &MainDialog::OnSettingsSave);
  command({ids::kMenuSaveAs}, &MainDialog::OnSettingsSaveAs);
  command({ids::kMenuHelp, ids::kToolHelp}, &MainDialog::OnHelp);
  command({ids::kMenuAbout}, &MainDialog::OnAbout);
  command({ids::kMenuOutputSettings}, &MainDialog::OnOutputSettings);
  command({ids::kToolHomePage}, &MainDialog::OnHomePage);
  command({ids::kMenuConnection}, &MainDialog::OnConnectionOptions);
  Bind(
      wxEVT_TIMER, [this](wxTimerEvent&) { OnTimer(); }, ids::kNudgeTimer);
  Bind(wxEVT_CLOSE_WINDOW, &MainDialog::OnClose, this);
  Bind(wxEVT_CHAR_HOOK, &MainDialog::OnCharHook, this);
}

void MainDialog::OnStart() {
  // A run takes the pictures' settings and what is asked of every page (which has no control in
  // the window: the settings file holds it) at its start; one in progress keeps its own.
  if (!m_run.m_running) {
    UseOutputSettings();
    m_run.m_noClobber = m_settings.Resume().noClobber;
    m_transfer.SetContinueDownloads(m_settings.Resume().continueDownloads);
    const settings::ProfileFile profile;
    m_run.m_pageOptions = convert::ReadPageOptions(settings::KeyFile(profile, SettingsPath()));
  }
  // A Start during a run is refused by the run: the running run keeps its report.
  const bool nested = m_run.m_running;
  const std::string reportPath =
      nested ? std::string()
             : convert::ReportPathOf(SettingsPath(), GetOptionText(Field::kWritePath));
  if (!reportPath.empty()) {
    m_htmlReport = std::make_unique<convert::HtmlReport>(
        reportPath, [](const std::string& picture) { return browser::MakeThumbnail(picture); });
  }
  const auto started = std::chrono::steady_clock::now();
  // The window shows what became of the run in its messages and status line.
  m_conversion->OnStart();
  if (!nested && m_htmlReport) {
    const std::chrono::duration<double> seconds = std::chrono::steady_clock::now() - started;
    if (!m_htmlReport->Write(seconds.count(), m_run.m_stop.Requested())) {
      ShowMessage(resources::HtmlReportFailedMessage(m_htmlReport->Path()));
    }
    m_htmlReport.reset();
  }
  // A close asked for during the run waited for the run to end.
  if (m_run.m_closing && !m_run.m_running) Destroy();
}

void MainDialog::UseStateFile() {
  const std::string& path = m_settings.Resume().stateFile;
  const int limit = base::ToInt(GetOptionText(settings::Field::kCount));
  m_crawlDriver->SetJournal(path, download::ChooseJournalUse(path, limit, [this] {
                              return dialogs::AskYesNo(
                                  this, resources::Text(resources::TextId::kResumeQuestion));
                            }));
}

void MainDialog::OnStop() { m_run.m_stop.Request(); }

void MainDialog::OnOutputSettings() {
  dialogs::OutputDialog dialog(this, m_settings.Output());
  dialog.ShowModal();
}

void MainDialog::UseOutputSettings() {
  const settings::OutputSettings& output = m_settings.Output();
  // A format this program does not know (a file from elsewhere) gives the window's bitmap.
  const convert::PictureFormat* format = convert::FindPictureFormat(output.m_format);
  m_run.m_format = format ? format : &convert::DefaultPictureFormat();
  m_run.m_pictureOptions.quality = output.m_quality;
  m_run.m_pictureOptions.splitHeight = output.m_splitHeight;
  m_run.m_pictureOptions.splitOverlap = output.m_splitOverlap;
}

void MainDialog::RecordEntry(const convert::EntryRecord& record) {
  if (m_htmlReport) m_htmlReport->Add(record);
}

void MainDialog::OnExit() { Close(); }

void MainDialog::OnClose(wxCloseEvent& event) {
  if (m_run.m_running && event.CanVeto()) {
    // The run stops at its next check; the window closes when the run has returned.
    m_run.m_closing = true;
    OnStop();
    event.Veto();
    return;
  }
  Destroy();
}

void MainDialog::OnCharHook(wxKeyEvent& event) {
  // Escape and Enter end the program, like the Exit command; but Enter on a focused button
  // presses that button, and the keys typed into the page shown in the browser are the page's.
  const int key = event.GetKeyCode();
  const bool enter = key == WXK_RETURN || key == WXK_NUMPAD_ENTER;
  wxWindow* focus = wxWindow::FindFocus();
  const bool inPage = focus && m_browser && (focus == m_browser || m_browser->IsDescendant(focus));
  if ((!enter && key != WXK_ESCAPE) || inPage ||
      (enter && dynamic_cast<const wxAnyButton*>(focus))) {
    event.Skip();
    return;
  }
  OnExit();
}

void MainDialog::OnBrowseRead() { m_pTools->BrowseForFolder(m_readPathEdit); }

void MainDialog::OnBrowseWrite() { m_pTools->BrowseForFolder(m_writePathEdit); }

void MainDialog::OnShowDownloadOptions() { m_pDownloadOptions->Show(); }

void MainDialog::OnSettingsNew() { m_settingsCommands.OnSettingsNew(); }

void MainDialog::OnSettingsOpen() { m_settingsCommands.OnSettingsOpen(); }

void MainDialog::OnSettingsSave() { m_settingsCommands.OnSettingsSave(); }

void MainDialog::OnSettingsSaveAs() { m_settingsCommands.OnSettingsSaveAs(); }

void MainDialog::OnHelp() { dialogs::OnHelp(this); }

void MainDialog::OnAbout() { dialogs::OnAbout(this); }

void MainDialog::OnHomePage() { dialogs::OnHomePage(this); }

void MainDialog::OnTimer() { app::NudgeCursor(); }

wxTextCtrl* MainDialog::EditOf(Field field) const {
  switch (field) {
    case Field::kReadPath: return m_readPathEdit;
    case Field::kWritePath: return m_writePathEdit;
    case Field::kSize: return m_sizeEdit;
    case Field::kWait: return m_waitEdit;
    case Field::kPercent: return m_percentEdit;
    default: return nullptr;
  }
}

// The download fields live in the download options window; the main window holds the rest.
std::string MainDialog::GetOptionText(Field field) const {
  if (dialogs::DownloadOptionsDialog::HoldsField(field)) {
    return m_pDownloadOptions->GetOptionText(field);
  }
  if (wxTextCtrl* edit = EditOf(field)) return m_pTools->GetControlText(edit);
  return {};
}

void MainDialog::SetOptionText(Field field, const std::string& text) {
  if (dialogs::DownloadOptionsDialog::HoldsField(field)) {
    m_pDownloadOptions->SetOptionText(field, text);
  } else if (wxTextCtrl* edit = EditOf(field)) {
    dialogs::SetEditText(edit, text);
  }
}

bool MainDialog::IsOptionChecked(Field field) const {
  if (dialogs::DownloadOptionsDialog::HoldsField(field)) {
    return m_pDownloadOptions->IsOptionChecked(field);
  }
  return field == Field::kSub && m_subCheck->IsChecked();
}

void MainDialog::SetOptionChecked(Field field, bool checked) {
  if (dialogs::DownloadOptionsDialog::HoldsField(field)) {
    m_pDownloadOptions->SetOptionChecked(field, checked);
  } else if (field == Field::kSub) {
    m_subCheck->SetValue(checked);
  }
}

void MainDialog::UpdatePlaceholderRow(int row) { m_pDownloadOptions->UpdatePlaceholderRow(row); }

void MainDialog::SetStatusText(const std::string& text) {
  m_status->SetLabel(dialogs::ToWx(text));
  m_status->Update();
}

void MainDialog::ShowMessage(const std::string& text) { dialogs::ShowMessageBox(this, text); }

void MainDialog::PumpMessages() { m_pTools->PumpMessages(); }

void MainDialog::Sleep(std::chrono::microseconds duration) {
  g_usleep(static_cast<gulong>(std::max<std::int64_t>(duration.count(), 0)));
}

void MainDialog::FocusOption(Field field) {
  if (dialogs::DownloadOptionsDialog::HoldsField(field)) {
    m_pDownloadOptions->FocusOption(field);
  } else if (wxTextCtrl* edit = EditOf(field)) {
    edit->SetFocus();
  }
}

int MainDialog::ScreenHeight() { return wxDisplay(0u).GetGeometry().height; }

void MainDialog::PlaceForPage(int captureWidth, int screenHeight) {
  const convert::PageGeometry place = convert::GeometryForPage(captureWidth, screenHeight);
  SetSize(place.window.x, place.window.y, place.window.width, place.window.height);
  Refresh();
  Update();
  if (m_browser) {
    m_browser->SetSize(place.browser.x, place.browser.y, place.browser.width, place.browser.height);
    m_browser->Refresh();
    m_browser->Update();
  }
}

// The menu of the options the window has beyond its own controls.
void MainDialog::OnConnectionOptions() {
  dialogs::ConnectionDialog dialog(this, m_settings.Connection(), &m_settings.Resume());
  dialog.ShowModal();
}

convert::RunOutcome MainDialog::CrawlWithConnection() {
  const net::ConnectionOptions options = m_settings.Connection().WithAbsolutePaths();
  if (std::string error; !m_transfer.SetConnectionOptions(options, error)) {
    ShowMessage(resources::CookieFileMessage(TextId::kCookiesUnreadable, options.loadCookies));
    return convert::RunOutcome::Refused(TextId::kCookiesUnreadable);
  }
  m_politeTransfer.SetOptions(options);
  m_browserControl->UseIdentity({options.userAgent, options.proxy, options.loadCookies});
  UseStateFile();
  const convert::RunOutcome outcome = m_crawlDriver->Crawl();
  if (std::string error; !m_transfer.SaveCookies(error)) {
    ShowMessage(resources::CookieFileMessage(TextId::kCookiesUnwritable, options.saveCookies));
  }
  return outcome;
}
