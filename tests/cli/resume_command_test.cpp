// Nothing done twice, as a user meets it: a crawl killed half-way and resumed ends with the
// files of an uninterrupted crawl, and the server is asked for no finished entry again.
#include <gtest/gtest.h>
#include <signal.h>

#include <algorithm>
#include <chrono>
#include <iterator>
#include <map>
#include <thread>

#include "cli/command_runner.h"
#include "support/http_server.h"
#include "support/temp_folder.h"

namespace {

using testing_support::FilesBelow;
using testing_support::ReadFile;
using testing_support::RunRendora;
using testing_support::TempFolder;

constexpr int kFiles = 40;

// A page linking kFiles files whose bodies come slowly, so that a kill falls among them. The
// links are anchors, which the page engine does not follow.
void ServeSite(testing_support::HttpServer& server) {
  std::string page = "<p>files</p>";
  for (int i = 0; i < kFiles; ++i) {
    const std::string name = "f" + std::to_string(i) + "_cgi.bin";
    page += "<a href=\"" + name + "\">" + name + "</a>";
    testing_support::Answer answer(200, "body of " + name, "application/octet-stream");
    answer.dripMilliseconds = 4;
    server.Serve("/site/" + name, answer);
  }
  server.Serve("/site/start.html", {200, page});
}

// How often the crawl (not the page engine) asked for each target.
std::map<std::string, int> CrawlRequests(const testing_support::HttpServer& server) {
  std::map<std::string, int> counts;
  for (const auto& request : server.Requests()) {
    if (request.Header("User-Agent") == "HTML Get Sample") ++counts[request.target];
  }
  return counts;
}

TEST(ResumedCrawl, AKilledCrawlResumedEndsWithTheFilesOfAnUninterruptedOne) {
  TempFolder temp;
  testing_support::HttpServer server;
  ServeSite(server);
  const std::string start = server.Address("/site/start.html");
  const std::vector<std::string> options = {"--wait", "1", "--jobs", "1"};
  const auto command = [&](std::vector<std::string> arguments) {
    arguments.insert(arguments.end(), options.begin(), options.end());
    return arguments;
  };

  ASSERT_EQ(RunRendora(command({"crawl", start, "whole"}), temp.path()).status, 0);
  server.ClearRequests();

  {
    testing_support::RunningCommand killed(command({"crawl", start, "out", "--state", "state"}),
                                           temp.path());
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(60);
    while (CrawlRequests(server).size() < kFiles / 2 &&
           std::chrono::steady_clock::now() < deadline) {
      std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    killed.Signal(SIGKILL);
    EXPECT_EQ(killed.Wait().status, 128 + SIGKILL);
  }
  const std::size_t before = CrawlRequests(server).size();
  EXPECT_GT(before, 2u);
  EXPECT_LT(before, kFiles + 1u);

  const auto resumed =
      RunRendora(command({"crawl", start, "out", "--resume", "state"}), temp.path());
  EXPECT_EQ(resumed.status, 0) << resumed.standardError;
  std::vector<std::string> differing;
  std::ranges::set_symmetric_difference(FilesBelow(temp / "out"), FilesBelow(temp / "whole"),
                                        std::back_inserter(differing));
  EXPECT_TRUE(differing.empty()) << differing.front();
  for (const std::string& file : FilesBelow(temp / "whole")) {
    if (file.ends_with(".bin")) {
      EXPECT_EQ(ReadFile(temp / ("out/" + file)), ReadFile(temp / ("whole/" + file))) << file;
    }
  }
  // Every entry was asked for; only those in flight at the kill (two side by side, the command
  // line's default) were asked for twice.
  int twice = 0;
  for (const auto& [target, count] : CrawlRequests(server)) twice += count - 1;
  EXPECT_EQ(CrawlRequests(server).size(), kFiles + 1u);
  EXPECT_LE(twice, 2);

  // A resume with another filter is refused, naming it, and asks for nothing.
  server.ClearRequests();
  const auto refused = RunRendora(
      command({"crawl", start, "out", "--resume", "state", "--disable", "f1"}), temp.path());
  EXPECT_EQ(refused.status, 2);
  EXPECT_NE(refused.standardError.find("無効リスト"), std::string::npos) << refused.standardError;
  EXPECT_TRUE(CrawlRequests(server).empty());
}

TEST(ResumedCrawl, NoClobberOnASecondCrawlRequestsNoFileThatExists) {
  TempFolder temp;
  testing_support::HttpServer server;
  ServeSite(server);
  const std::string start = server.Address("/site/start.html");
  ASSERT_EQ(RunRendora({"crawl", start, "out", "--count", "6"}, temp.path()).status, 0);
  server.ClearRequests();
  const auto second =
      RunRendora({"crawl", start, "out", "--count", "8", "--no-clobber"}, temp.path());
  EXPECT_EQ(second.status, 0) << second.standardError;
  // The page is read again for its links, the five files it gave before are not.
  EXPECT_EQ(CrawlRequests(server),
            (std::map<std::string, int>{
                {"/site/start.html", 1}, {"/site/f5_cgi.bin", 1}, {"/site/f6_cgi.bin", 1}}));
}

}  // namespace
