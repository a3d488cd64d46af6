// The "接続設定" window on a real display: it shows the options, OK takes readable fields only,
// and every other way out changes nothing.
#include "dialogs/connection_dialog.h"

#include <gtest/gtest.h>
#include <wx/checkbox.h>
#include <wx/textctrl.h>

#include "dialogs/wx_text.h"
#include "resources/control_ids.h"
#include "resources/texts.h"
#include "support_gui/message_recorder.h"
#include "window_driver.h"

namespace dialogs {
namespace {

using testing_support::Click;
using testing_support::Control;
using testing_support::MessageRecorder;

TEST(ConnectionDialog, OkTakesReadableFieldsAndNamesTheOneThatIsNot) {
  MessageRecorder::Clear();
  net::ConnectionOptions options;
  options.userAgent = "Crawler/2.0";
  options.referer = net::RefererMode::kLinkingPage;
  auto* dialog = new ConnectionDialog(nullptr, options);
  const settings::ConnectionForm shown = dialog->Form();
  EXPECT_EQ(shown.userAgent, "Crawler/2.0");
  EXPECT_EQ(shown.referer, net::RefererMode::kLinkingPage);
  EXPECT_EQ(shown.tries, "1");

  Control<wxTextCtrl>(dialog, ids::kConnectionDelayEdit)->SetValue("soon");
  Control<wxTextCtrl>(dialog, ids::kConnectionTriesEdit)->SetValue("3");
  Click(dialog, ids::kOptionsOk);
  EXPECT_EQ(MessageRecorder::Messages(), std::vector<std::string>{resources::InvalidValueMessage(
                                             resources::TextId::kConnectionDelay)});
  EXPECT_EQ(options.tries, 1);

  Control<wxTextCtrl>(dialog, ids::kConnectionDelayEdit)->SetValue("0.5");
  Click(dialog, ids::kOptionsCancel);
  EXPECT_EQ(options.delaySeconds, 0);
  Click(dialog, ids::kOptionsOk);
  EXPECT_EQ(options.delaySeconds, 0.5);
  EXPECT_EQ(options.tries, 3);
  EXPECT_EQ(options.userAgent, "Crawler/2.0");
  dialog->Destroy();
}

TEST(ConnectionDialog, ShowsAndTakesTheOptionsThatKeepWorkFromBeingDoneTwice) {
  net::ConnectionOptions options;
  settings::ResumeOptions resume;
  resume.continueDownloads = true;
  auto* dialog = new ConnectionDialog(nullptr, options, &resume);
  EXPECT_FALSE(Control<wxCheckBox>(dialog, ids::kConnectionNoClobberCheck)->GetValue());
  EXPECT_TRUE(Control<wxCheckBox>(dialog, ids::kConnectionContinueCheck)->GetValue());
  Control<wxCheckBox>(dialog, ids::kConnectionNoClobberCheck)->SetValue(true);
  Control<wxTextCtrl>(dialog, ids::kConnectionStateFileEdit)->SetValue("/tmp/crawl.state");
  Click(dialog, ids::kOptionsOk);
  EXPECT_TRUE(resume.noClobber);
  EXPECT_TRUE(resume.continueDownloads);
  EXPECT_EQ(resume.stateFile, "/tmp/crawl.state");
  dialog->Destroy();
}

}  // namespace
}  // namespace dialogs
