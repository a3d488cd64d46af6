// The real main window under a display: controls, menu, toolbar, commands, the cursor nudge.
#include "app/main_dialog.h"

#include <gtest/gtest.h>
#include <wx/app.h>
#include <wx/button.h>
#include <wx/checkbox.h>
#include <wx/menu.h>
#include <wx/stattext.h>
#include <wx/textctrl.h>
#include <wx/toolbar.h>
#include <wx/utils.h>

#include <string>

#include "app/cursor_nudge.h"
#include "browser/event_pump.h"
#include "dialogs/wx_text.h"
#include "resources/control_ids.h"
#include "support/temp_folder.h"
#include "support_gui/message_recorder.h"

namespace {

using dialogs::WxText;
using resources::TextId;

// A main window on a temporary program folder, destroyed after the test.
class MainWindowTest : public ::testing::Test {
 protected:
  void SetUp() override {
    testing_support::MessageRecorder::Clear();
    m_dialog = new MainDialog(m_programFolder.path());
    m_dialog->Show();
    browser::PumpPendingEvents();
  }
  void TearDown() override {
    if (!wxTheApp->IsScheduledForDestruction(m_dialog)) m_dialog->Destroy();
    browser::PumpPendingEvents();
    wxTheApp->ProcessIdle();
  }
  template <typename T = wxWindow>
  T* Control(int id) {
    return dynamic_cast<T*>(m_dialog->FindWindow(id));
  }
  void Command(int id, wxEventType type = wxEVT_MENU) {
    wxCommandEvent event(type, id);
    event.SetEventObject(m_dialog);
    m_dialog->ProcessWindowEvent(event);
  }

  testing_support::TempFolder m_programFolder;
  MainDialog* m_dialog = nullptr;
};

TEST_F(MainWindowTest, HasEveryControlWithItsIdAndText) {
  EXPECT_EQ(m_dialog->GetTitle(), WxText(TextId::kMainTitle));
  struct Edit {
    int id;
  } edits[] = {{ids::kReadPathEdit},
               {ids::kWritePathEdit},
               {ids::kSizeEdit},
               {ids::kWaitEdit},
               {ids::kPercentEdit}};
  for (const auto& edit : edits) EXPECT_NE(Control<wxTextCtrl>(edit.id), nullptr) << edit.id;
  struct Button {
    int id;
    TextId text;
    bool shown;
  } buttons[] = {{ids::kCancel, TextId::kExitButton, false},
                 {ids::kStart, TextId::kCreateButton, false},
                 {ids::kStop, TextId::kStopButton, false},
                 {ids::kShowDownloadOptions, TextId::kDownloadDetails, true}};
  for (const auto& button : buttons) {
    auto* control = Control<wxButton>(button.id);
    ASSERT_NE(control, nullptr) << button.id;
    EXPECT_EQ(control->GetLabel(), WxText(button.text)) << button.id;
    EXPECT_EQ(control->IsShown(), button.shown) << button.id;
  }
  EXPECT_NE(Control(ids::kBrowseRead), nullptr);
  EXPECT_NE(Control(ids::kBrowseWrite), nullptr);
  EXPECT_NE(Control(ids::kBrowser), nullptr);
  ASSERT_NE(Control<wxCheckBox>(ids::kSubCheck), nullptr);
  EXPECT_EQ(Control<wxCheckBox>(ids::kSubCheck)->GetLabel(), WxText(TextId::kSubfoldersCheck));
  ASSERT_NE(Control<wxStaticText>(ids::kStatus), nullptr);
}

TEST_F(MainWindowTest, MenuAndToolbarCarryTheCommands) {
  wxMenuBar* bar = m_dialog->GetMenuBar();
  ASSERT_NE(bar, nullptr);
  ASSERT_EQ(bar->GetMenuCount(), 4u);
  EXPECT_EQ(bar->GetMenuLabel(0), WxText(TextId::kMenuFile));
  EXPECT_EQ(bar->GetMenuLabel(1), WxText(TextId::kMenuRun));
  EXPECT_EQ(bar->GetMenuLabel(2), WxText(TextId::kMenuOptions));
  EXPECT_EQ(bar->GetMenuLabel(3), WxText(TextId::kMenuHelp));
  struct Item {
    int id;
    TextId text;
  } items[] = {{ids::kMenuNew, TextId::kMenuNew},
               {ids::kMenuOpen, TextId::kMenuOpen},
               {ids::kMenuSave, TextId::kMenuSave},
               {ids::kMenuSaveAs, TextId::kMenuSaveAs},
               {ids::kMenuExit, TextId::kMenuExit},
               {ids::kMenuStart, TextId::kMenuStart},
               {ids::kMenuStop, TextId::kMenuStop},
               {ids::kMenuAbout, TextId::kMenuAbout},
               {ids::kMenuHelp, TextId::kMenuHelpItem},
               {ids::kMenuOutputSettings, TextId::kMenuOutputSettings},
               {ids::kMenuConnection, TextId::kMenuConnection}};
  for (const auto& item : items) {
    wxMenuItem* entry = bar->FindItem(MainDialog::MenuItemId(item.id));
    ASSERT_NE(entry, nullptr) << item.id;
    EXPECT_EQ(entry->GetItemLabelText(), WxText(item.text)) << item.id;
  }

  wxToolBar* toolbar = m_dialog->ToolBar();
  ASSERT_NE(toolbar, nullptr);
  struct Tool {
    int id;
    TextId tip;
  } tools[] = {{ids::kToolNew, TextId::kMenuNew},       {ids::kToolOpen, TextId::kMenuOpen},
               {ids::kToolSave, TextId::kTipSave},      {ids::kToolExit, TextId::kMenuExit},
               {ids::kToolStart, TextId::kTipStart},    {ids::kToolStop, TextId::kStopButton},
               {ids::kToolHelp, TextId::kMenuHelpItem}, {ids::kToolHomePage, TextId::kTipHomePage}};
  std::vector<int> order;
  for (size_t i = 0; i < toolbar->GetToolsCount(); ++i) {
    const wxToolBarToolBase* tool = toolbar->GetToolByPos(static_cast<int>(i));
    order.push_back(tool->IsSeparator() ? 0 : tool->GetId());
  }
  EXPECT_EQ(order, (std::vector<int>{ids::kToolNew, ids::kToolOpen, ids::kToolSave, ids::kToolExit,
                                     0, ids::kToolStart, ids::kToolStop, 0, ids::kToolHelp,
                                     ids::kToolHomePage}))
      << "nine buttons and two separators; Save As has no button";
  for (const auto& tool : tools) {
    EXPECT_EQ(toolbar->GetToolShortHelp(tool.id), WxText(tool.tip)) << tool.id;
    EXPECT_TRUE(toolbar->FindById(tool.id)->GetNormalBitmap().IsOk()) << tool.id;
  }
}

TEST_F(MainWindowTest, StopRequestsTheRunsStopFromEveryCommand) {
  const std::pair<int, wxEventType> commands[] = {
      {MainDialog::MenuItemId(ids::kMenuStop), wxEVT_MENU},
      {ids::kToolStop, wxEVT_MENU},
      {ids::kStop, wxEVT_BUTTON}};
  for (const auto& [id, type] : commands) {
    m_dialog->m_run.m_stop.Clear();
    Command(id, type);
    EXPECT_TRUE(m_dialog->m_run.m_stop.Requested()) << id;
  }
}

TEST_F(MainWindowTest, EscapeAndEnterEndTheProgram) {
  for (int key : {WXK_ESCAPE, WXK_RETURN}) {
    auto* dialog = new MainDialog(m_programFolder.path());
    dialog->Show();
    wxKeyEvent event(wxEVT_CHAR_HOOK);
    event.m_keyCode = key;
    event.SetEventObject(dialog);
    dialog->ProcessWindowEvent(event);
    EXPECT_TRUE(wxTheApp->IsScheduledForDestruction(dialog)) << key;
    browser::PumpPendingEvents();
  }
}

TEST_F(MainWindowTest, EnterOnAFocusedButtonPressesTheButtonInstead) {
  wxWindow* details = m_dialog->FindWindow(ids::kShowDownloadOptions);
  details->SetFocus();
  browser::PumpPendingEvents();
  if (wxWindow::FindFocus() != details) GTEST_SKIP() << "the display gave no keyboard focus";
  wxKeyEvent event(wxEVT_CHAR_HOOK);
  event.m_keyCode = WXK_RETURN;
  event.SetEventObject(details);
  m_dialog->ProcessWindowEvent(event);
  EXPECT_FALSE(wxTheApp->IsScheduledForDestruction(m_dialog));
}

TEST_F(MainWindowTest, CloseDuringARunStopsTheRunFirst) {
  m_dialog->m_run.m_running = true;
  m_dialog->Close();
  EXPECT_FALSE(wxTheApp->IsScheduledForDestruction(m_dialog)) << "it waits for the run to end";
  EXPECT_TRUE(m_dialog->m_run.m_closing);
  EXPECT_TRUE(m_dialog->m_run.m_stop.Requested());
  m_dialog->m_run.m_running = false;
}

TEST_F(MainWindowTest, TimerNudgesTheCursorOnePixel) {
  struct Case {
    int from, to;
  } cases[] = {{0, 1}, {5, 4}, {1, 0}};
  for (const auto& c : cases) {
    app::WarpCursor(c.from, 300);
    browser::PumpPendingEvents();
    m_dialog->OnTimer();
    browser::PumpPendingEvents();
    int x = -1, y = -1;
    wxGetMousePosition(&x, &y);
    EXPECT_EQ(x, c.to) << "from " << c.from;
    EXPECT_EQ(y, 300) << "the row never changes";
  }
}

}  // namespace
