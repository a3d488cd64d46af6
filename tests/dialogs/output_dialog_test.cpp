// The output settings window on a real display: it shows the record's values, OK writes the
// edited ones back unless they cannot be written, and every other way out writes nothing.
#include "dialogs/output_dialog.h"

#include <gtest/gtest.h>
#include <wx/choice.h>
#include <wx/spinctrl.h>

#include "dialogs/wx_text.h"
#include "resources/control_ids.h"
#include "resources/texts.h"
#include "support_gui/message_recorder.h"
#include "window_driver.h"

namespace dialogs {
namespace {

using settings::OutputSettings;
using testing_support::Click;
using testing_support::Control;
using testing_support::MessageRecorder;

// Opens the window on `output`, types `typed` into it and presses `button`; the messages shown.
std::vector<std::string> Edit(OutputSettings& output, const OutputSettings& typed, int button) {
  MessageRecorder::Clear();
  auto* dialog = new OutputDialog(nullptr, output);
  dialog->Show();
  Control<wxChoice>(dialog, ids::kOutputFormatChoice)->SetStringSelection(typed.m_format);
  Control<wxSpinCtrl>(dialog, ids::kOutputQualityEdit)->SetValue(typed.m_quality);
  Control<wxSpinCtrl>(dialog, ids::kOutputSplitEdit)->SetValue(typed.m_splitHeight);
  Control<wxSpinCtrl>(dialog, ids::kOutputOverlapEdit)->SetValue(typed.m_splitOverlap);
  Click(dialog, button);
  EXPECT_EQ(dialog->IsShown(), !MessageRecorder::Messages().empty());
  dialog->Destroy();
  return MessageRecorder::Messages();
}

TEST(OutputDialog, ShowsTheRecordsValuesAndAnUnknownFormatAsTheBitmap) {
  for (const OutputSettings& shown :
       {OutputSettings{"jpeg", 40, 2000, 100}, OutputSettings{"tiff", 85, 0, 0}}) {
    OutputSettings output = shown;
    auto* dialog = new OutputDialog(nullptr, output);
    EXPECT_EQ(dialog->GetTitle(), WxText(resources::TextId::kOutputTitle));
    const wxString format =
        Control<wxChoice>(dialog, ids::kOutputFormatChoice)->GetStringSelection();
    EXPECT_EQ(format, shown.m_format == "tiff" ? "bmp" : shown.m_format);
    EXPECT_EQ(Control<wxSpinCtrl>(dialog, ids::kOutputQualityEdit)->GetValue(), shown.m_quality);
    EXPECT_EQ(Control<wxSpinCtrl>(dialog, ids::kOutputSplitEdit)->GetValue(), shown.m_splitHeight);
    EXPECT_EQ(Control<wxSpinCtrl>(dialog, ids::kOutputOverlapEdit)->GetValue(),
              shown.m_splitOverlap);
    dialog->Destroy();
  }
}

TEST(OutputDialog, OkWritesBackWhatCanBeWrittenAndCancelNothing) {
  const OutputSettings before{"bmp", 85, 0, 0};
  struct Case {
    OutputSettings typed;
    int button;
    bool written;
    const char* message;  // UTF-8, "" for none
  } cases[] = {
      {{"webp", 40, 2000, 100}, ids::kOptionsOk, true, ""},
      {{"png", 85, 0, 50}, ids::kOptionsOk, true, ""},  // no split: the overlap waits unused
      {{"webp", 40, 2000, 100}, ids::kOptionsCancel, false, ""},
      {{"png", 85, 1000, 1000},
       ids::kOptionsOk,
       false,
       "重ねる行数は分割する高さより小さくしてください。"},
      {{"webp", 85, 20000, 0},
       ids::kOptionsOk,
       false,
       "この形式で分割できる高さは 16383 ピクセルまでです。"},
  };
  for (const Case& c : cases) {
    OutputSettings output = before;
    const std::vector<std::string> messages = Edit(output, c.typed, c.button);
    EXPECT_EQ(output, c.written ? c.typed : before) << c.typed.m_format << c.button;
    const std::vector<std::string> expected =
        *c.message ? std::vector<std::string>{FromWx(wxString::FromUTF8(c.message))}
                   : std::vector<std::string>{};
    EXPECT_EQ(messages, expected) << c.typed.m_splitHeight;
  }
}

}  // namespace
}  // namespace dialogs
