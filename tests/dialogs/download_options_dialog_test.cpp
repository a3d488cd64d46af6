// The download options window on a real display: live fields, placeholder rows, hiding on every
// way out, and the filter lists window behind the filter details button.
#include "dialogs/download_options_dialog.h"

#include <gtest/gtest.h>
#include <wx/listctrl.h>
#include <wx/textctrl.h>

#include <memory>

#include "dialogs/filter_dialog.h"
#include "dialogs/wx_text.h"
#include "resources/control_ids.h"
#include "resources/texts.h"
#include "support/temp_folder.h"
#include "window_driver.h"

namespace dialogs {
namespace {

using settings::Field;
using testing_support::Click;
using testing_support::ClickCheck;
using testing_support::Control;
using testing_support::Sjis;

class DownloadOptionsDialogTest : public ::testing::Test {
 protected:
  void TearDown() override { m_dialog->Destroy(); }

  wxTextCtrl* Edit(int id) { return Control<wxTextCtrl>(m_dialog, id); }
  // The three edits of row `row` (1..6) are enabled exactly when `enabled`.
  void ExpectRowEnabled(int row, bool enabled) {
    for (const int first : {ids::kRowFromFirst, ids::kRowToFirst, ids::kRowStepFirst}) {
      EXPECT_EQ(Edit(first + 4 * (row - 1))->IsEnabled(), enabled) << "row " << row;
    }
  }

  settings::FilterLists m_lists;
  DownloadOptionsDialog* m_dialog = new DownloadOptionsDialog(nullptr, m_lists);
};

TEST_F(DownloadOptionsDialogTest, StartsHiddenWithTheTitleAndEveryControlAtItsId) {
  EXPECT_FALSE(m_dialog->IsShown());
  EXPECT_EQ(m_dialog->GetTitle(), WxText(resources::TextId::kDownloadOptionsTitle));
  for (const int id : {ids::kCountEdit, ids::kLinkCountEdit, ids::kAnotherUrlCheck,
                       ids::kServerCheck, ids::kSameCheck, ids::kFilterCheck, ids::kFilterDetails,
                       ids::kOptionsOk, ids::kOptionsCancel}) {
    EXPECT_NE(m_dialog->FindWindow(id), nullptr) << id;
  }
  for (int row = 1; row <= settings::kPlaceholderRows; ++row) {
    auto* box = Control<wxCheckBox>(m_dialog, ids::kRowCheckFirst + row - 1);
    const wxString expected =
        wxString::Format("@%c@", 'a' + row - 1) + WxText(resources::TextId::kUseSuffix);
    EXPECT_EQ(box->GetLabel(), expected);
  }
  testing_support::ExpectLaidOut(m_dialog, 421, 175);
  // The row controls keep their order from left to right.
  const int rightOfRowOne = Edit(ids::kRowStepFirst)->GetRect().GetRight();
  EXPECT_LT(rightOfRowOne, m_dialog->FindWindow(ids::kRowCheckFirst + 1)->GetRect().x);
}

TEST_F(DownloadOptionsDialogTest, HoldsExactlyTheDownloadFieldsAndReadsBackWhatWasSet) {
  const std::string japanese = Sjis("ｶﾅ１２３表");
  for (int f = 0; f <= static_cast<int>(Field::kStep6); ++f) {
    const auto field = static_cast<Field>(f);
    const bool held = f >= static_cast<int>(Field::kCount);
    EXPECT_EQ(DownloadOptionsDialog::HoldsField(field), held) << settings::KeyName(field);
    EXPECT_EQ(m_dialog->ControlOf(field) != nullptr, held) << settings::KeyName(field);
    if (settings::IsSwitch(field)) {
      m_dialog->SetOptionChecked(field, true);
      EXPECT_EQ(m_dialog->IsOptionChecked(field), held) << settings::KeyName(field);
      m_dialog->SetOptionChecked(field, false);
      EXPECT_FALSE(m_dialog->IsOptionChecked(field));
    } else {
      const std::string text = japanese + settings::KeyName(field);
      m_dialog->SetOptionText(field, text);
      EXPECT_EQ(m_dialog->GetOptionText(field), held ? text : "") << settings::KeyName(field);
    }
  }
  // Blanks and non-numbers stay exactly as typed; the crawl judges them.
  for (const std::string text : {"", " 12 ", "-3", "abc", "500"}) {
    m_dialog->SetOptionText(Field::kLinkCount, text);
    EXPECT_EQ(m_dialog->GetOptionText(Field::kLinkCount), text);
  }
}

TEST_F(DownloadOptionsDialogTest, PlaceholderRowsFollowTheirCheckBoxAfterALoad) {
  // As after a load: row 3 off and row 4 on, the others mixed; every row has texts.
  const bool inUse[] = {true, false, false, true, false, true};
  for (int row = 1; row <= settings::kPlaceholderRows; ++row) {
    m_dialog->SetOptionText(settings::FromField(row), std::to_string(row));
    m_dialog->SetOptionText(settings::ToField(row), std::to_string(row * 10));
    m_dialog->SetOptionText(settings::StepField(row), "1");
    m_dialog->SetOptionChecked(settings::CgiField(row), inUse[row - 1]);
    m_dialog->UpdatePlaceholderRow(row);
  }
  for (int row = 1; row <= settings::kPlaceholderRows; ++row) {
    ExpectRowEnabled(row, inUse[row - 1]);
    EXPECT_EQ(m_dialog->GetOptionText(settings::FromField(row)), std::to_string(row));
    EXPECT_EQ(m_dialog->GetOptionText(settings::ToField(row)), std::to_string(row * 10));
  }
  // Rows out of range are ignored.
  m_dialog->UpdatePlaceholderRow(0);
  m_dialog->UpdatePlaceholderRow(7);
}

TEST_F(DownloadOptionsDialogTest, ClickingARowCheckBoxOnAndOffAgainDisablesItsEditsKeepingTexts) {
  m_dialog->SetOptionText(Field::kFrom5, "001");
  m_dialog->SetOptionText(Field::kTo5, "099");
  m_dialog->SetOptionText(Field::kStep5, "2");
  m_dialog->UpdatePlaceholderRow(5);
  ExpectRowEnabled(5, false);

  ClickCheck(m_dialog, ids::kRowCheckFirst + 4);
  ExpectRowEnabled(5, true);
  ExpectRowEnabled(4, false);  // only the clicked row changes
  ClickCheck(m_dialog, ids::kRowCheckFirst + 4);
  ExpectRowEnabled(5, false);
  EXPECT_EQ(m_dialog->GetOptionText(Field::kFrom5), "001");
  EXPECT_EQ(m_dialog->GetOptionText(Field::kTo5), "099");
  EXPECT_EQ(m_dialog->GetOptionText(Field::kStep5), "2");
}

TEST_F(DownloadOptionsDialogTest, EveryWayOutOnlyHidesAndKeepsTheTypedValues) {
  const std::function<void(DownloadOptionsDialog*)> ways[] = {
      [](DownloadOptionsDialog* d) { Click(d, ids::kOptionsCancel); },
      [](DownloadOptionsDialog* d) { Click(d, ids::kOptionsOk); },
      [](DownloadOptionsDialog* d) { testing_support::PressKey(d, WXK_ESCAPE); },
      [](DownloadOptionsDialog* d) { testing_support::PressCloseBox(d); },
  };
  int round = 0;
  for (const auto& leave : ways) {
    SCOPED_TRACE(round);
    m_dialog->Show();
    const std::string count = std::to_string(25 + round++);
    Edit(ids::kCountEdit)->SetValue(count);  // typed by the user
    Control<wxCheckBox>(m_dialog, ids::kSameCheck)->SetValue(round % 2 == 1);
    leave(m_dialog);
    EXPECT_FALSE(m_dialog->IsShown());
    EXPECT_FALSE(m_dialog->IsBeingDeleted());
    // In effect at once, and shown again as left.
    EXPECT_EQ(m_dialog->GetOptionText(Field::kCount), count);
    m_dialog->Show();
    EXPECT_EQ(FromWx(Edit(ids::kCountEdit)->GetValue()), count);
    EXPECT_EQ(m_dialog->IsOptionChecked(Field::kSame), round % 2 == 1);
  }
  m_dialog->Hide();
}

TEST_F(DownloadOptionsDialogTest, EnterWhileTypingACountHidesTheWindowAndTheCountStays) {
  m_dialog->SetOptionText(Field::kCount, "");
  m_dialog->Show();
  testing_support::TypeIntoAndPressEnter(Edit(ids::kCountEdit), "75");
  EXPECT_FALSE(m_dialog->IsShown());
  EXPECT_EQ(m_dialog->GetOptionText(Field::kCount), "75");
}

TEST_F(DownloadOptionsDialogTest, FocusOptionShowsTheWindowAndFocusesTheField) {
  m_dialog->FocusOption(Field::kStep2);
  EXPECT_TRUE(m_dialog->IsShown());
  m_dialog->FocusOption(Field::kReadPath);  // another window's field: nothing happens
  m_dialog->Hide();
}

TEST_F(DownloadOptionsDialogTest, FilterDetailsEditsTheGivenListsModally) {
  m_lists = {{"http://a/"}, {Sjis("http://b/日本")}, 1, 1};
  m_dialog->Show();
  testing_support::WithModal<FilterDialog>(
      [&] { Click(m_dialog, ids::kFilterDetails); },
      [&](FilterDialog& filter) {
        EXPECT_EQ(filter.GetParent(), m_dialog);
        EXPECT_EQ(filter.GetTitle(), WxText(resources::TextId::kFilterTitle));
        // The main window's record is shown; only OK writes back.
        EXPECT_EQ(Control<wxListCtrl>(&filter, ids::kEnableList)->GetItemCount(), 1);
        Control<wxTextCtrl>(&filter, ids::kEnableEntryEdit)->SetValue("http://c/");
        Click(&filter, ids::kAddToEnable);
        Control<wxCheckBox>(&filter, ids::kUseDisableCheck)->SetValue(false);
        Click(&filter, ids::kOptionsOk);
      });
  const std::vector<std::string> enable = {"http://a/", "http://c/"};
  EXPECT_EQ(m_lists.m_enableList, enable);
  EXPECT_EQ(m_lists.m_disableList, std::vector<std::string>{Sjis("http://b/日本")});
  EXPECT_TRUE(m_lists.m_enable);
  EXPECT_FALSE(m_lists.m_disable);
  EXPECT_TRUE(m_dialog->IsShown());
  m_dialog->Hide();
}

}  // namespace
}  // namespace dialogs
