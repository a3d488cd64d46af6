// The filter lists window on a real display: its own copy, add, delete of the selected entries,
// OK writing back and every other way out writing nothing.
#include "dialogs/filter_dialog.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <wx/listctrl.h>
#include <wx/textctrl.h>

#include <set>

#include "dialogs/wx_text.h"
#include "resources/control_ids.h"
#include "resources/texts.h"
#include "support/temp_folder.h"
#include "support_gui/message_recorder.h"
#include "window_driver.h"

namespace dialogs {
namespace {

using testing_support::Click;
using testing_support::Control;
using testing_support::MessageRecorder;
using testing_support::Sjis;
using Entries = std::vector<std::string>;

Entries Numbered(const std::string& stem, int count) {
  Entries entries;
  for (int i = 1; i <= count; ++i) entries.push_back(stem + std::to_string(i));
  return entries;
}

// The filter window on `lists`, driven through its controls.
class FilterWindow {
 public:
  explicit FilterWindow(settings::FilterLists& lists)
      : m_dialog(new FilterDialog(nullptr, lists)) {}
  ~FilterWindow() { m_dialog->Destroy(); }

  FilterDialog* dialog() { return m_dialog; }
  wxListCtrl* List(int id) { return Control<wxListCtrl>(m_dialog, id); }
  Entries Shown(int listId) {
    Entries entries;
    wxListCtrl* list = List(listId);
    for (int i = 0; i < list->GetItemCount(); ++i) entries.push_back(FromWx(list->GetItemText(i)));
    return entries;
  }
  void Select(int listId, const std::set<int>& rows) {
    for (const int row : rows)
      List(listId)->SetItemState(row, wxLIST_STATE_SELECTED, wxLIST_STATE_SELECTED);
  }
  void Add(int editId, int buttonId, const std::string& text) {
    Control<wxTextCtrl>(m_dialog, editId)->SetValue(ToWx(text));
    Click(m_dialog, buttonId);
  }
  void Check(int id, bool on) { Control<wxCheckBox>(m_dialog, id)->SetValue(on); }

 private:
  FilterDialog* m_dialog;
};

// The list views, their add and delete buttons and their edits, enable side then disable side.
struct Side {
  int list, edit, add, remove;
};
constexpr Side kSides[] = {
    {ids::kEnableList, ids::kEnableEntryEdit, ids::kAddToEnable, ids::kDeleteEnable},
    {ids::kDisableList, ids::kDisableEntryEdit, ids::kAddToDisable, ids::kDeleteDisable},
};

class FilterDialogTest : public ::testing::Test {
 protected:
  void SetUp() override { MessageRecorder::Clear(); }
};

TEST_F(FilterDialogTest, ShowsTheGivenListsAndSwitches) {
  for (const auto& [enable, disable] :
       {std::pair{true, true}, {false, true}, {true, false}, {false, false}}) {
    settings::FilterLists lists{{Sjis("http://例え.jp/"), "b", ""}, {"x"}, enable, disable};
    FilterWindow window(lists);
    EXPECT_EQ(window.dialog()->GetTitle(), WxText(resources::TextId::kFilterTitle));
    testing_support::ExpectLaidOut(window.dialog(), 390, 281);
    EXPECT_EQ(Control<wxCheckBox>(window.dialog(), ids::kUseEnableCheck)->GetValue(), enable == 1);
    EXPECT_EQ(Control<wxCheckBox>(window.dialog(), ids::kUseDisableCheck)->GetValue(),
              disable == 1);
    EXPECT_EQ(window.Shown(ids::kEnableList), lists.m_enableList);
    EXPECT_EQ(window.Shown(ids::kDisableList), lists.m_disableList);
    for (const Side& side : kSides) {
      wxListCtrl* list = window.List(side.list);
      EXPECT_FALSE(list->HasFlag(wxLC_SINGLE_SEL));
      EXPECT_EQ(list->GetColumnCount(), 1);
      EXPECT_EQ(list->GetColumnWidth(0), 650);
      EXPECT_EQ(list->GetSelectedItemCount(), 0);
    }
  }
}

TEST_F(FilterDialogTest, DeleteKeepsExactlyTheUnselectedEntriesInOrder) {
  struct Case {
    int count;
    std::set<int> selected;  // 0-based rows
  };
  std::set<int> everyThird;
  for (int row = 0; row < 150; row += 3) everyThird.insert(row);
  everyThird.insert({100, 101, 149});
  const Case cases[] = {
      {5, {1, 3}},           // entries 2 and 4 of five
      {5, {0, 4}},           // first and last
      {5, {0, 1, 2, 3, 4}},  // all
      {1, {0}},
      {150, everyThird},  // past the hundredth entry
      {250, {99, 100, 200, 249}},
  };
  for (const Case& c : cases) {
    for (const Side& side : kSides) {
      SCOPED_TRACE(testing::Message() << c.count << " entries, list " << side.list);
      const Entries entries = Numbered(Sjis("http://サイト/"), c.count);
      settings::FilterLists lists{entries, entries, 1, 1};
      FilterWindow window(lists);
      window.Select(side.list, c.selected);
      Click(window.dialog(), side.remove);

      Entries expected;
      for (int row = 0; row < c.count; ++row) {
        if (!c.selected.contains(row)) expected.push_back(entries[row]);
      }
      EXPECT_EQ(window.Shown(side.list), expected);
      const int other = side.list == ids::kEnableList ? ids::kDisableList : ids::kEnableList;
      EXPECT_EQ(window.Shown(other), entries);
      EXPECT_EQ(window.List(side.list)->GetSelectedItemCount(), 0);
      EXPECT_TRUE(MessageRecorder::Messages().empty());
    }
  }
}

TEST_F(FilterDialogTest, DeleteWithNothingSelectedSaysSoAndKeepsTheList) {
  for (const Side& side : kSides) {
    for (const int count : {0, 3}) {
      MessageRecorder::Clear();
      settings::FilterLists lists{Numbered("e", count), Numbered("d", count), 1, 1};
      FilterWindow window(lists);
      Click(window.dialog(), side.remove);
      EXPECT_THAT(MessageRecorder::Messages(),
                  testing::ElementsAre(resources::Text(resources::TextId::kNothingSelected)));
      EXPECT_EQ(window.Shown(side.list),
                Numbered(side.list == ids::kEnableList ? "e" : "d", count));
    }
  }
}

TEST_F(FilterDialogTest, AddAppendsAnyTextAndTheEditKeepsIt) {
  for (const Side& side : kSides) {
    settings::FilterLists lists{{"a"}, {"a"}, 0, 1};
    FilterWindow window(lists);
    const std::string japanese = Sjis("http://例え.jp/ソフト/");  // a trail byte of ソ is '\'
    for (const std::string& text : {std::string(""), japanese, japanese, std::string("a")}) {
      window.Add(side.edit, side.add, text);
      EXPECT_EQ(FromWx(Control<wxTextCtrl>(window.dialog(), side.edit)->GetValue()), text);
    }
    EXPECT_EQ(window.Shown(side.list), (Entries{"a", "", japanese, japanese, "a"}));

    Click(window.dialog(), ids::kOptionsOk);
    const Entries& written =
        side.list == ids::kEnableList ? lists.m_enableList : lists.m_disableList;
    EXPECT_EQ(written, (Entries{"a", "", japanese, japanese, "a"}));
  }
}

TEST_F(FilterDialogTest, OkWritesBackListsAndSwitchesBothOff) {
  settings::FilterLists lists{Numbered("e", 5), Numbered("d", 5), 1, 1};
  FilterWindow window(lists);
  window.Select(ids::kEnableList, {1, 3});
  Click(window.dialog(), ids::kDeleteEnable);
  window.Add(ids::kDisableEntryEdit, ids::kAddToDisable, "d6");
  window.Check(ids::kUseEnableCheck, false);
  window.Check(ids::kUseDisableCheck, false);
  Click(window.dialog(), ids::kOptionsOk);

  EXPECT_EQ(lists.m_enableList, (Entries{"e1", "e3", "e5"}));
  EXPECT_EQ(lists.m_disableList, Numbered("d", 6));
  EXPECT_FALSE(lists.m_enable);
  EXPECT_FALSE(lists.m_disable);
  EXPECT_FALSE(window.dialog()->IsShown());
  EXPECT_EQ(window.dialog()->GetReturnCode(), wxID_OK);
}

TEST_F(FilterDialogTest, EntriesKeepTheirExactBytesThroughTheWindow) {
  // Bytes that the toolkit's strings cannot carry unchanged: a character with two codes (the
  // second form is 0xFA 0x5C), a byte with no character, and a lead byte without its trail.
  const Entries odd = {"\xED\x40",
                       "a\x80"
                       "b",
                       "/cut\x88"};
  settings::FilterLists lists;
  lists.m_enableList = odd;
  lists.m_disableList = {"x", "\xED\x40"};
  FilterWindow window(lists);
  window.Select(ids::kDisableList, {0});
  Click(window.dialog(), ids::kDeleteDisable);
  Click(window.dialog(), ids::kOptionsOk);
  EXPECT_EQ(lists.m_enableList, odd);
  EXPECT_EQ(lists.m_disableList, Entries{"\xED\x40"});
}

TEST_F(FilterDialogTest, EveryOtherWayOutWritesNothing) {
  const std::function<void(FilterDialog*)> ways[] = {
      [](FilterDialog* d) { Click(d, ids::kOptionsCancel); },
      [](FilterDialog* d) { testing_support::PressKey(d, WXK_ESCAPE); },
      [](FilterDialog* d) { testing_support::PressCloseBox(d); },
  };
  for (const auto& leave : ways) {
    const settings::FilterLists before{Numbered("e", 5), {Sjis("無効")}, 0, 1};
    settings::FilterLists lists = before;
    FilterWindow window(lists);
    window.dialog()->Show();
    window.Add(ids::kEnableEntryEdit, ids::kAddToEnable, "new");
    window.Select(ids::kEnableList, {0});
    Click(window.dialog(), ids::kDeleteEnable);
    window.Select(ids::kDisableList, {0});
    Click(window.dialog(), ids::kDeleteDisable);
    window.Check(ids::kUseEnableCheck, true);
    window.Check(ids::kUseDisableCheck, false);
    leave(window.dialog());

    EXPECT_FALSE(window.dialog()->IsShown());
    EXPECT_EQ(window.dialog()->GetReturnCode(), wxID_CANCEL);
    EXPECT_EQ(lists.m_enableList, before.m_enableList);
    EXPECT_EQ(lists.m_disableList, before.m_disableList);
    EXPECT_EQ(lists.m_enable, before.m_enable);
    EXPECT_EQ(lists.m_disable, before.m_disable);
  }
}

TEST_F(FilterDialogTest, RunsModallyAndOkEndsTheModalRun) {
  settings::FilterLists lists{{}, {}, 0, 0};
  FilterDialog dialog(nullptr, lists);
  int result = 0;
  testing_support::WithModal<FilterDialog>(
      [&] { result = dialog.ShowModal(); },
      [](FilterDialog& shown) {
        Control<wxCheckBox>(&shown, ids::kUseEnableCheck)->SetValue(true);
        Click(&shown, ids::kOptionsOk);
      });
  EXPECT_EQ(result, wxID_OK);
  EXPECT_TRUE(lists.m_enable);
}

TEST_F(FilterDialogTest, EnterInAnEntryEditPressesOkWithoutAddingTheText) {
  settings::FilterLists lists{{"a"}, {}, 0, 0};
  FilterDialog dialog(nullptr, lists);
  int result = 0;
  testing_support::WithModal<FilterDialog>(
      [&] { result = dialog.ShowModal(); },
      [](FilterDialog& shown) {
        auto* edit = Control<wxTextCtrl>(&shown, ids::kEnableEntryEdit);
        Control<wxCheckBox>(&shown, ids::kUseEnableCheck)->SetValue(true);
        testing_support::TypeIntoAndPressEnter(edit, "typed");
        EXPECT_EQ(edit->GetValue(), "typed");
      });
  EXPECT_EQ(result, wxID_OK);
  EXPECT_EQ(lists.m_enableList, Entries{"a"});
  EXPECT_TRUE(lists.m_enable);
}

}  // namespace
}  // namespace dialogs
