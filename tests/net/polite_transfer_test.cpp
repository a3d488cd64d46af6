// Identity, pauses, robots.txt and retries of the crawl's requests, against loopback servers
// that misbehave on purpose and log every request with its time.
#include "net/polite_transfer.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "net/curl_transfer.h"
#include "support/http_server.h"
#include "support/temp_folder.h"

namespace {

using std::chrono::milliseconds;
using testing_support::Answer;
using testing_support::HttpServer;
using testing_support::ReadFile;
using testing_support::RecordedRequest;
using testing_support::TempFolder;
using testing_support::WriteFile;

// The library's transfer behind the crawl's manners, as the front ends put them together.
struct Transfers {
  explicit Transfers(const net::ConnectionOptions& options) {
    std::string error;
    EXPECT_TRUE(curl.SetConnectionOptions(options, error)) << error;
    polite.SetOptions(options);
  }
  net::CurlTransfer curl;
  net::PoliteTransfer polite{curl};
};

net::ConnectionOptions Retrying(int tries) {
  net::ConnectionOptions options;
  options.tries = tries;
  options.retryWaitSeconds = 0.05;
  return options;
}

long long Between(const RecordedRequest& earlier, const RecordedRequest& later) {
  return std::chrono::duration_cast<milliseconds>(later.received - earlier.answered).count();
}

TEST(PoliteTransfer, PassingFailuresAreTriedAgainAndCounted) {
  HttpServer server;
  server.ServeInTurn("/busy.png", {Answer{503}, Answer{503}, Answer{200, "PNGDATA"}});
  server.ServeInTurn("/gone.png", {Answer{404}, Answer{200, "never"}});
  TempFolder temp;
  Transfers transfers(Retrying(3));

  const net::TransferResult busy =
      transfers.polite.DownloadFile(temp / "busy.png", server.Address("/busy.png"));
  EXPECT_TRUE(busy.ok);
  EXPECT_EQ(busy.tries, 3);
  EXPECT_EQ(ReadFile(temp / "busy.png"), "PNGDATA");
  // A 404 is an answer, not a passing failure: asked once.
  const net::TransferResult gone = transfers.polite.GetText(server.Address("/gone.png"));
  EXPECT_FALSE(gone.ok);
  EXPECT_EQ(gone.tries, 1);
  EXPECT_EQ(server.RequestLines(), (std::vector<std::string>{"GET /busy.png", "GET /busy.png",
                                                             "GET /busy.png", "GET /gone.png"}));

  // One try, as always: the 503 is the result.
  server.ServeInTurn("/busy.png", {Answer{503}, Answer{200, "PNGDATA"}});
  Transfers once(net::ConnectionOptions{});
  EXPECT_EQ(once.polite.DownloadFile(temp / "once.png", server.Address("/busy.png")).status, 503);
}

TEST(PoliteTransfer, SideBySideDownloadsAreTriedAgainOneByOne) {
  HttpServer server;
  server.Serve("/a.png", Answer{200, "A"});
  server.ServeInTurn("/busy.png", {Answer{503}, Answer{200, "B"}});
  TempFolder temp;
  net::ConnectionOptions options = Retrying(3);
  options.perServer = 3;
  Transfers transfers(options);
  ASSERT_EQ(transfers.polite.TransfersAtOnce(), 3);
  const auto results =
      transfers.polite.DownloadFiles({{temp / "a.png", server.Address("/a.png")},
                                      {temp / "b.png", server.Address("/busy.png")},
                                      {temp / "c.png", server.Address("/gone.png")}});
  ASSERT_EQ(results.size(), 3u);
  EXPECT_TRUE(results[0].ok);
  EXPECT_EQ(results[0].tries, 1);
  EXPECT_TRUE(results[1].ok);
  EXPECT_EQ(results[1].tries, 2);
  EXPECT_EQ(ReadFile(temp / "b.png"), "B");
  EXPECT_EQ(results[2].status, 404);
  EXPECT_EQ(results[2].tries, 1);
  // A pause between requests leaves nothing to overlap.
  options.delaySeconds = 0.01;
  Transfers paused(options);
  EXPECT_EQ(paused.polite.TransfersAtOnce(), 1);
}

TEST(PoliteTransfer, RetryAfterIsWaitedFor) {
  HttpServer server;
  server.ServeInTurn("/page.html",
                     {Answer{429, "", "text/html", {{"Retry-After", "1"}}}, Answer{200, "text"}});
  Transfers transfers(Retrying(2));
  const net::TransferResult result = transfers.polite.GetText(server.Address("/page.html"));
  EXPECT_TRUE(result.ok);
  EXPECT_EQ(result.tries, 2);
  const auto requests = server.Requests();
  ASSERT_EQ(requests.size(), 2u);
  EXPECT_GE(Between(requests[0], requests[1]), 950);  // the retry wait alone would be 50 ms
}

TEST(PoliteTransfer, BrokenDownloadNeverLeavesHalfAFileUnderItsName) {
  HttpServer server;
  const std::string body(200000, 'x');
  Answer broken{200, body, "image/png"};
  broken.resetAfter = body.size() / 2;
  server.ServeInTurn("/big.png", {broken, Answer{200, body, "image/png"}});
  TempFolder temp;
  const std::string file = temp / "big.png";
  Transfers transfers(Retrying(2));
  // Between the tries the final name holds the empty file, never the half body.
  std::vector<std::size_t> sizesSeen;
  transfers.polite.SetProgressHook([&] {
    sizesSeen.push_back(ReadFile(file).size());
    return true;
  });
  const net::TransferResult result =
      transfers.polite.DownloadFile(file, server.Address("/big.png"));
  EXPECT_TRUE(result.ok) << result.error;
  EXPECT_EQ(result.tries, 2);
  EXPECT_EQ(ReadFile(file), body);
  ASSERT_FALSE(sizesSeen.empty());
  EXPECT_EQ(sizesSeen.front(), 0u);
  // One try: the broken transfer fails as a lost connection, the file stays empty, no leftovers.
  server.ServeInTurn("/big.png", {broken});
  Transfers once(net::ConnectionOptions{});
  const net::TransferResult lost =
      once.polite.DownloadFile(temp / "lost.png", server.Address("/big.png"));
  EXPECT_EQ(lost.cause, net::TransferCause::kConnectionLost);
  EXPECT_EQ(ReadFile(temp / "lost.png"), "");
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(temp.path()),
                          std::filesystem::directory_iterator()),
            2);
}

TEST(PoliteTransfer, FormPostIsRetriedOnlyWhenTheServerCannotHaveActed) {
  HttpServer server;
  Answer broken{200, "partial answer"};
  broken.resetAfter = 3;
  const struct {
    Answer first;
    int requests;
  } cases[] = {{Answer{503}, 2}, {Answer{429}, 2}, {Answer{500}, 1}, {broken, 1}};
  Transfers transfers(Retrying(3));
  for (const auto& c : cases) {
    server.ClearRequests();
    server.ServeInTurn("/form.cgi", {c.first, Answer{200, "ok"}});
    transfers.polite.PostFormText("", server.Address("/form.cgi"));
    EXPECT_EQ(static_cast<int>(server.Requests().size()), c.requests) << c.first.status;
  }
}

TEST(PoliteTransfer, IdentityReachesEveryRequestAndCookiesAreShared) {
  HttpServer server;
  TempFolder temp;
  WriteFile(temp / "cookies.txt",
            "# Netscape HTTP Cookie File\n127.0.0.1\tFALSE\t/\tFALSE\t0\tsession\tabc\n");
  Answer guarded{200, "welcome"};
  guarded.admit = [](const RecordedRequest& request) {
    return request.Header("User-Agent") == "Crawler/2.0" &&
           request.Header("Referer") == "http://example.org/from.html" &&
           request.Header("Cookie").find("session=abc") != std::string::npos &&
           request.Header("X-Test") == "yes";
  };
  server.Serve("/guarded.png", guarded);
  server.Serve("/login.html", Answer{200, "in", "text/html", {{"Set-Cookie", "token=7; Path=/"}}});
  Transfers plain(net::ConnectionOptions{});
  EXPECT_EQ(plain.polite.DownloadFile(temp / "a.png", server.Address("/guarded.png")).status, 403);

  net::ConnectionOptions options;
  options.userAgent = "Crawler/2.0";
  options.referer = net::RefererMode::kLinkingPage;
  options.headers = {"X-Test: yes"};
  options.loadCookies = temp / "cookies.txt";
  options.saveCookies = temp / "saved.txt";
  Transfers identified(options);
  identified.polite.SetLinkingPage("http://example.org/from.html");
  EXPECT_TRUE(identified.polite.DownloadFile(temp / "b.png", server.Address("/guarded.png")).ok);
  EXPECT_TRUE(identified.polite.GetText(server.Address("/login.html")).ok);
  // The cookie the server set goes with the next request of the run.
  identified.polite.GetText(server.Address("/guarded.png"));
  EXPECT_NE(server.Requests().back().Header("Cookie").find("token=7"), std::string::npos);
  std::string error;
  EXPECT_TRUE(identified.curl.SaveCookies(error)) << error;
  EXPECT_NE(ReadFile(temp / "saved.txt").find("token\t7"), std::string::npos);

  options.loadCookies = temp / "missing.txt";
  net::CurlTransfer refused;
  EXPECT_FALSE(refused.SetConnectionOptions(options, error));
}

TEST(PoliteTransfer, RobotsTxtKeepsAddressesOutAndPacesTheServer) {
  HttpServer server;
  server.Serve("/robots.txt",
               Answer{200, "User-agent: *\nDisallow: /private/\nCrawl-delay: 0.3\n", "text/plain"});
  server.Serve("/a.html", Answer{200, "a"});
  server.Serve("/b.html", Answer{200, "b"});
  net::ConnectionOptions options;
  options.robots = true;
  options.delaySeconds = 0.1;  // the longer Crawl-delay wins
  Transfers transfers(options);
  EXPECT_TRUE(transfers.polite.GetText(server.Address("/a.html")).ok);
  const net::TransferResult kept = transfers.polite.GetText(server.Address("/private/x.html"));
  EXPECT_EQ(kept.cause, net::TransferCause::kRobots);
  EXPECT_EQ(kept.tries, 0);
  EXPECT_TRUE(transfers.polite.GetText(server.Address("/b.html")).ok);
  const auto requests = server.Requests();
  ASSERT_EQ(server.RequestLines(),
            (std::vector<std::string>{"GET /robots.txt", "GET /a.html", "GET /b.html"}));
  EXPECT_GE(Between(requests[0], requests[1]), 290);
  EXPECT_GE(Between(requests[1], requests[2]), 290);
  EXPECT_GE(transfers.polite.Waited(), milliseconds(580));
}

TEST(PoliteTransfer, StopEndsAPause) {
  HttpServer server;
  server.Serve("/a.html", Answer{200, "a"});
  net::ConnectionOptions options;
  options.delaySeconds = 30;
  Transfers transfers(options);
  transfers.polite.SetProgressHook([] { return false; });
  EXPECT_TRUE(transfers.polite.GetText(server.Address("/a.html")).ok);
  EXPECT_EQ(transfers.polite.GetText(server.Address("/a.html")).cause,
            net::TransferCause::kStopped);
  EXPECT_EQ(server.Requests().size(), 1u);
}

// The window's crawl at the default options: every operation's request, byte for byte, as the
// window has always sent it (the server's port written as PORT).
TEST(PoliteTransfer, AtTheDefaultsEveryRequestGoesOutAsBefore) {
  HttpServer server;
  server.Serve("/p/page.html?x=1", Answer{200, "page"});
  TempFolder temp;
  Transfers transfers(net::ConnectionOptions{});
  net::PoliteTransfer& t = transfers.polite;
  const std::string address = server.Address("/p/page.html?x=1");
  t.SetLinkingPage(server.Address("/p/"));
  t.GetText(address);
  t.GetFormText("", address);
  t.PostFormText("a=1", address);
  t.DownloadFile(temp / "f", address);
  t.DownloadQueryFile(temp / "q", address);
  std::string heads;
  for (const RecordedRequest& request : server.Requests()) heads += request.head + "\n\n";
  const std::string port = std::to_string(server.port());
  for (std::size_t at = heads.find(port); at != std::string::npos; at = heads.find(port, at)) {
    heads.replace(at, port.size(), "PORT");
  }
  EXPECT_EQ(heads, ReadFile(std::string(RENDORA_SOURCE_DIR) + "/tests/net/golden/requests.txt"))
      << heads;
}

}  // namespace
