// The window's Start with a settings file that names a state file holding a crawl with work left:
// it asks whether to resume, and goes on where the crawl stopped or starts it over.
#include <gtest/gtest.h>
#include <wx/app.h>

#include "app/main_dialog.h"
#include "browser/event_pump.h"
#include "base/file_system.h"
#include "dialogs/message_box.h"
#include "dialogs/wx_text.h"
#include "download/crawl_journal.h"
#include "resources/control_ids.h"
#include "resources/texts.h"
#include "support/http_server.h"
#include "support/temp_folder.h"
#include "support_gui/message_recorder.h"

namespace {

using testing_support::Sjis;

TEST(ResumeWindow, StartAsksWhetherToResumeAndGoesOnOrStartsOver) {
  const std::string startFolder = base::GetCurrentDirectory();
  testing_support::HttpServer server;
  server.Serve("/index.html", {200, "<p>index</p><a href=\"a_cgi.bin\">a</a>"});
  server.Serve("/a_cgi.bin", {200, "file", "application/octet-stream"});
  for (const bool resume : {true, false}) {
    testing_support::TempFolder temp;
    const std::string settings = temp / "settings.ini";
    testing_support::WriteFile(settings, Sjis("[初期表示]\r\nReadPath=") +
                                             server.Address("/index.html") +
                                             "\r\nWritePath=" + temp / "out" +
                                             "\r\nWait=1\r\nSize=800\r\nPercent=100"
                                             "\r\nCount=10\r\nStateFile=" +
                                             temp / "state\r\n");
    testing_support::WriteFile(temp / "program/set.ini",
                               Sjis("[初期表示]\r\nINI=") + settings + "\r\n");
    auto* dialog = new MainDialog(temp / "program/");
    dialog->Show();
    browser::PumpPendingEvents();
    // The index was finished and its link queued before the crawl was cut off.
    download::CrawlJournal journal;
    ASSERT_TRUE(journal.Create(
        temp / "state",
        download::DescribeCrawlShape(server.Address("/index.html"), *dialog, dialog->m_filters)));
    journal.Queued({server.Address("/index.html"), download::QueueKind::kUrl, -1});
    journal.Seeded({1, 1, 1, 1, 1, 1});
    journal.SeedingDone(server.Address("/index.html"));
    journal.Queued({server.Address("/a_cgi.bin"), download::QueueKind::kSrc, 0});
    journal.Finished(0, 1);

    std::vector<std::string> asked;
    dialogs::SetQuestionAnswerer([&](const std::string& question) {
      asked.push_back(question);
      return resume;
    });
    server.ClearRequests();
    testing_support::MessageRecorder::Clear();
    dialog->OnStart();
    dialogs::SetQuestionAnswerer({});
    EXPECT_EQ(asked, std::vector<std::string>{resources::Text(resources::TextId::kResumeQuestion)});
    std::vector<std::string> crawled;
    for (const auto& request : server.Requests()) {
      if (request.Header("User-Agent") == "HTML Get Sample") crawled.push_back(request.target);
    }
    const std::vector<std::string> expected =
        resume ? std::vector<std::string>{"/a_cgi.bin"}
               : std::vector<std::string>{"/index.html", "/a_cgi.bin"};
    EXPECT_EQ(crawled, expected);
    // Both entries count, the one finished before the crawl was cut off too.
    EXPECT_EQ(dialogs::FromWx(dialog->FindWindow(ids::kStatus)->GetLabel()),
              resources::ProcessedCountText(2));
    // Finished now: the next Start asks nothing.
    EXPECT_FALSE(download::HasUnfinishedCrawl(temp / "state", 10));
    dialog->Destroy();
    browser::PumpPendingEvents();
    wxTheApp->ProcessIdle();
    base::SetCurrentDirectory(startFolder);
  }
}

}  // namespace
