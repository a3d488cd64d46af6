// The limits of a transfer against slow and large loopback answers: total time, file size, and
// the hook that keeps a window responsive and can give a transfer up.
#include "net/curl_transfer.h"

#include <gtest/gtest.h>

#include <chrono>
#include <functional>
#include <vector>

#include "base/file_system.h"
#include "support/http_server.h"
#include "support/temp_folder.h"

namespace {

using Clock = std::chrono::steady_clock;
using testing_support::Answer;
using testing_support::HttpServer;
using testing_support::ReadFile;
using testing_support::Sjis;
using testing_support::TempFolder;
using testing_support::WriteFile;

// 60 bytes, one every 0.4 s: a server that would hold a transfer for 24 s.
Answer Dripping(int bytes = 60) {
  Answer answer{200, std::string(static_cast<std::size_t>(bytes), 'd')};
  answer.dripMilliseconds = 400;
  return answer;
}

// The names in `folder` ("." and ".." left out): a leftover temporary shows here.
std::vector<std::string> Names(const std::string& folder) {
  std::vector<std::string> names;
  for (const auto& entry : base::ListDirectory(folder)) {
    if (!entry.IsDots()) names.push_back(entry.name);
  }
  return names;
}

// One operation of the transfer, and the file it writes ("" for the text operations).
struct Operation {
  std::string name;
  std::string file;
  std::function<net::TransferResult(net::CurlTransfer&, const std::string& address)> call;
};

std::vector<Operation> Operations(const TempFolder& temp) {
  const std::string file = temp / Sjis("ページ.bin");
  return {
      {"GetText", "", [](auto& t, const auto& a) { return t.GetText(a); }},
      {"PostFormText", "", [](auto& t, const auto& a) { return t.PostFormText("a=1", a); }},
      {"DownloadFile", file, [file](auto& t, const auto& a) { return t.DownloadFile(file, a); }},
      {"DownloadQueryFile", file,
       [file](auto& t, const auto& a) { return t.DownloadQueryFile(file, a); }},
  };
}

TEST(TransferLimits, SlowServerIsGivenUpAtTheTotalTimeLimit) {
  HttpServer server;
  server.Serve("/slow.html", Dripping());
  TempFolder temp;
  net::TransferLimits limits;
  limits.stallTimeoutSeconds = 3;  // a byte comes every 0.4 s: the stall limit never trips
  limits.totalTimeoutSeconds = 1;
  net::CurlTransfer transfer(limits);
  for (const auto& operation : Operations(temp)) {
    if (!operation.file.empty()) WriteFile(operation.file, "earlier content");
    const auto result = operation.call(transfer, server.Address("/slow.html"));
    EXPECT_FALSE(result.ok) << operation.name;
    EXPECT_EQ(result.status, 200) << operation.name;
    EXPECT_LT(result.bytes, 60u) << operation.name;
    EXPECT_NE(result.error.find("timed out"), std::string::npos) << result.error;
    EXPECT_EQ(result.cause, net::TransferCause::kTimeout) << operation.name;
    if (operation.file.empty()) continue;
    // The file was emptied before the request; no part of the body took its name.
    EXPECT_EQ(ReadFile(operation.file), "") << operation.name;
    EXPECT_EQ(Names(temp.path()), std::vector<std::string>{Sjis("ページ.bin")}) << operation.name;
  }
}

TEST(TransferLimits, DownloadOverTheSizeLimitLeavesItsFileEmpty) {
  HttpServer server;
  TempFolder temp;
  net::TransferLimits limits;
  limits.fileCap = 1000;
  net::CurlTransfer transfer(limits);
  struct Case {
    std::size_t size;
    bool announced;  // with a Content-Length, or ended by the closing connection
    bool ok;
  } cases[] = {
      {1000, true, true},   {1001, true, false},    {1000, false, true},
      {1001, false, false}, {300000, false, false}, {0, false, true},
  };
  for (const auto& c : cases) {
    Answer answer{200, std::string(c.size, 'x'), "application/octet-stream"};
    answer.announceLength = c.announced;
    server.Serve("/big.bin", answer);
    for (const bool query : {false, true}) {
      const std::string file = temp / "big.bin";
      WriteFile(file, "earlier content");
      const auto result = query ? transfer.DownloadQueryFile(file, server.Address("/big.bin"))
                                : transfer.DownloadFile(file, server.Address("/big.bin"));
      EXPECT_EQ(result.ok, c.ok) << c.size << " " << c.announced;
      EXPECT_EQ(ReadFile(file), c.ok ? answer.body : "") << c.size << " " << c.announced;
      EXPECT_EQ(result.error, c.ok ? "" : "the file is longer than 1000 bytes") << c.size;
      EXPECT_EQ(result.cause, c.ok ? net::TransferCause::kNone : net::TransferCause::kTooLarge);
      EXPECT_EQ(Names(temp.path()), std::vector<std::string>{"big.bin"}) << c.size;
    }
  }
  // Bytes that came in pieces before the limit was passed never reach the file's name either.
  net::TransferLimits small;
  small.fileCap = 5;
  net::CurlTransfer smallTransfer(small);
  Answer trickle{200, "12345678", "application/octet-stream"};
  trickle.announceLength = false;
  trickle.dripMilliseconds = 20;
  server.Serve("/trickle.bin", trickle);
  WriteFile(temp / "big.bin", "earlier content");
  const auto trickled =
      smallTransfer.DownloadFile(temp / "big.bin", server.Address("/trickle.bin"));
  EXPECT_FALSE(trickled.ok);
  EXPECT_EQ(trickled.bytes, 5u);
  EXPECT_EQ(ReadFile(temp / "big.bin"), "");
  EXPECT_EQ(Names(temp.path()), std::vector<std::string>{"big.bin"});

  // The limit is the file's alone: a text keeps its own.
  server.Serve("/big.bin", Answer{200, std::string(5000, 'x')});
  EXPECT_TRUE(transfer.GetText(server.Address("/big.bin")).ok);
}

TEST(TransferLimits, HookIsCalledThroughoutASlowTransfer) {
  HttpServer server;
  server.Serve("/slow.html", Dripping(4));
  TempFolder temp;
  for (const auto& operation : Operations(temp)) {
    net::CurlTransfer transfer;
    std::vector<Clock::time_point> calls;
    transfer.SetProgressHook([&] {
      calls.push_back(Clock::now());
      return true;
    });
    const auto start = Clock::now();
    const auto result = operation.call(transfer, server.Address("/slow.html"));
    const auto end = Clock::now();
    EXPECT_TRUE(result.ok) << operation.name << " " << result.error;
    EXPECT_EQ(operation.file.empty() ? result.text : ReadFile(operation.file), "dddd");
    // About 1.6 s of waiting, handed back at least every 100 ms (a loaded machine may stretch
    // a wait; a hook that ran only when bytes came would leave gaps of 400 ms).
    ASSERT_GE(calls.size(), 8u) << operation.name;
    auto previous = start;
    for (const auto& call : calls) {
      EXPECT_LT(call - previous, std::chrono::milliseconds(300)) << operation.name;
      previous = call;
    }
    EXPECT_LT(end - previous, std::chrono::milliseconds(300)) << operation.name;
  }
}

TEST(TransferLimits, HookAnsweringFalseEndsTheTransferWithinASecond) {
  HttpServer server;
  server.Serve("/slow.html", Dripping());
  testing_support::SilentServer silent;
  const std::string quiet = "http://127.0.0.1:" + std::to_string(silent.port()) + "/page.html";
  TempFolder temp;
  for (const std::string& address : {server.Address("/slow.html"), quiet}) {
    for (const auto& operation : Operations(temp)) {
      if (!operation.file.empty()) WriteFile(operation.file, "earlier content");
      net::CurlTransfer transfer;
      int calls = 0;
      Clock::time_point stoppedAt;
      // Stop is pressed at the twelfth look, about 0.6 s in: a byte of the answer has come.
      transfer.SetProgressHook([&] {
        if (++calls < 12) return true;
        stoppedAt = Clock::now();
        return false;
      });
      const auto result = operation.call(transfer, address);
      const auto ended = Clock::now();
      EXPECT_EQ(calls, 12) << operation.name << " " << address;
      EXPECT_LT(ended - stoppedAt, std::chrono::seconds(1)) << operation.name;
      EXPECT_FALSE(result.ok) << operation.name;
      EXPECT_EQ(result.error, "the transfer was stopped") << operation.name;
      EXPECT_EQ(result.cause, net::TransferCause::kStopped) << operation.name;
      EXPECT_LT(result.bytes, 60u) << operation.name;
      // A text keeps what had come, as with any failure.
      if (operation.file.empty()) {
        EXPECT_EQ(result.text, std::string(result.bytes, 'd')) << operation.name;
        continue;
      }
      EXPECT_EQ(ReadFile(operation.file), "") << operation.name << " " << address;
      EXPECT_EQ(Names(temp.path()), std::vector<std::string>{Sjis("ページ.bin")});
    }
  }
}

}  // namespace
