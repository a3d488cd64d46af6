// A crawl whose files are downloaded side by side, on a real transfer against a loopback server
// that takes 200 ms over every answer: requests overlap, and the files and the records are those
// of the crawl one by one.
#include <gtest/gtest.h>

#include <algorithm>

#include "base/file_system.h"
#include "download/crawl_driver.h"
#include "net/curl_transfer.h"
#include "net/polite_transfer.h"
#include "support/fake_run_controls.h"
#include "support/http_server.h"
#include "support/recording_renderer.h"
#include "support/temp_folder.h"

namespace {

using settings::Field;
using testing_support::Answer;
using testing_support::HttpServer;
using testing_support::ReadFile;

struct Outcome {
  std::vector<std::string> records;  // source and outcome of every entry, in order
  std::string shared;                // the file that two entries write
  int mostInFlight = 0;              // requests the server had under way at once
};

Answer Slow(std::string body, std::string type = "image/gif") {
  Answer answer{200, std::move(body), std::move(type)};
  answer.delayMilliseconds = 200;
  return answer;
}

Outcome CrawlAt(int perServer) {
  HttpServer server;
  std::string page = "<html><body>";
  for (int i = 0; i < 6; ++i) {
    const std::string name = "/s/f" + std::to_string(i) + ".cgi";
    page += "<img src=\"" + name.substr(3) + "\">";
    server.Serve(name, Slow("file " + std::to_string(i)));
  }
  // Two folders, one name: with one folder for every file, both write x.cgi.
  page += "<img src=\"a/x.cgi\"><img src=\"b/x.cgi\"><img src=\"gone.cgi\"></body></html>";
  server.Serve("/s/a/x.cgi", Slow("from a"));
  server.Serve("/s/b/x.cgi", Slow("from b"));
  server.Serve("/s/index.html", Answer{200, page});

  testing_support::TempFolder temp;
  const std::string started = base::GetCurrentDirectory();
  testing_support::FakeRunControls controls;
  controls.texts[Field::kReadPath] = server.Address("/s/index.html");
  controls.texts[Field::kWritePath] = temp / "out";
  controls.texts[Field::kCount] = "100";
  controls.texts[Field::kLinkCount] = "10";
  controls.checks[Field::kSame] = true;
  convert::RunState run;
  net::CurlTransfer curl;
  net::PoliteTransfer transfer(curl);
  net::ConnectionOptions options;
  options.perServer = perServer;
  std::string error;
  curl.SetConnectionOptions(options, error);
  transfer.SetOptions(options);
  testing_support::RecordingRenderer renderer;
  settings::FilterLists filters;
  download::CrawlState state;
  download::CrawlDriver(run, controls, transfer, renderer, filters, state).Crawl();
  base::SetCurrentDirectory(started);

  Outcome outcome;
  for (const auto& record : controls.records) {
    outcome.records.push_back(record.source.substr(record.source.find("/s/")) + " " +
                              convert::OutcomeName(record.outcome));
  }
  outcome.shared = ReadFile(temp / "out/x.cgi");
  const auto requests = server.Requests();
  for (const auto& request : requests) {
    const auto inFlight = std::count_if(requests.begin(), requests.end(), [&](const auto& other) {
      return other.received <= request.received && other.answered > request.received;
    });
    outcome.mostInFlight = std::max(outcome.mostInFlight, static_cast<int>(inFlight));
  }
  return outcome;
}

TEST(SideBySideCrawl, FilesOverlapAndEndAsOneByOne) {
  const Outcome oneByOne = CrawlAt(1);
  const Outcome sideBySide = CrawlAt(4);
  EXPECT_EQ(oneByOne.mostInFlight, 1);
  EXPECT_EQ(sideBySide.mostInFlight, 4);
  EXPECT_EQ(sideBySide.records, oneByOne.records);
  ASSERT_EQ(oneByOne.records.size(), 10u);
  EXPECT_EQ(oneByOne.records.back(), "/s/gone.cgi failed");
  // The later entry of the queue wins, however the two downloads overlapped.
  EXPECT_EQ(oneByOne.shared, "from b");
  EXPECT_EQ(sideBySide.shared, "from b");
}

}  // namespace
