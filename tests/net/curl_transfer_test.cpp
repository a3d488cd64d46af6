// The HTTP operations against loopback servers that record every request.
#include "net/curl_transfer.h"

#include <gtest/gtest.h>

#include <functional>

#include "base/file_system.h"
#include "support/http_server.h"
#include "support/temp_folder.h"

namespace {

using testing_support::Answer;
using testing_support::HttpServer;
using testing_support::ReadFile;
using testing_support::Sjis;
using testing_support::TempFolder;
using testing_support::WriteFile;

const std::string kFormType = "application/x-www-form-urlencoded";

// A port on 127.0.0.1 where nothing listens (taken from a server that has gone).
int ClosedPort() {
  HttpServer gone;
  return gone.port();
}

TEST(CurlTransfer, SendsTheRequestShapeOfEachOperation) {
  HttpServer server;
  server.Serve("/form.cgi?x=1", Answer{200, "ok"});
  TempFolder temp;
  net::CurlTransfer transfer;
  const std::string address = server.Address("/form.cgi?x=1");
  const std::string formBody = "name=" + Sjis("日本") + "&b=%82%A0";

  struct Case {
    std::string operation;
    std::function<int()> call;
    std::string method, version, agent, accept, contentType, body;
  } cases[] = {
      {"GetText", [&] { std::string r; return transfer.GetText(address, 80, r); },
       "GET", "HTTP/1.1", "HTML Get Sample", "text", "", ""},
      {"DownloadFile", [&] { return transfer.DownloadFile(temp / "f.bin", address, 80); },
       "GET", "HTTP/1.1", "HTML Get Sample", "text", "", ""},
      {"GetFormText", [&] { std::string r; return transfer.GetFormText(formBody, r, address, 80); },
       "GET", "HTTP/1.0", "GetServer", "", kFormType, formBody},
      {"PostFormText", [&] { std::string r; return transfer.PostFormText(formBody, r, address, 80); },
       "POST", "HTTP/1.0", "PostServer", "", kFormType, formBody},
      {"PostFormText empty", [&] { std::string r; return transfer.PostFormText("", r, address, 80); },
       "POST", "HTTP/1.0", "PostServer", "", kFormType, ""},
      {"DownloadQueryFile", [&] { return transfer.DownloadQueryFile(temp / "q.bin", address, 80); },
       "GET", "HTTP/1.0", "My Session", "", kFormType, address},
  };
  int lastClientPort = 0;
  for (const auto& c : cases) {
    server.ClearRequests();
    EXPECT_EQ(c.call(), 1) << c.operation;
    const auto requests = server.Requests();
    ASSERT_EQ(requests.size(), 1u) << c.operation;
    const auto& request = requests[0];
    EXPECT_EQ(request.method, c.method) << c.operation;
    EXPECT_EQ(request.target, "/form.cgi?x=1") << c.operation;
    EXPECT_EQ(request.version, c.version) << c.operation;
    EXPECT_EQ(request.HeaderCount("User-Agent"), 1) << c.operation;
    EXPECT_EQ(request.Header("User-Agent"), c.agent) << c.operation;
    EXPECT_EQ(request.HasHeader("Accept"), !c.accept.empty()) << c.operation;
    EXPECT_EQ(request.Header("Accept"), c.accept) << c.operation;
    EXPECT_EQ(request.Header("Content-Type"), c.contentType) << c.operation;
    EXPECT_EQ(request.body, c.body) << c.operation;
    EXPECT_FALSE(request.HasHeader("Expect")) << c.operation;
    if (!c.contentType.empty()) {
      EXPECT_EQ(request.Header("Content-Length"), std::to_string(c.body.size())) << c.operation;
    }
    EXPECT_EQ(request.Header("Host"), "127.0.0.1:" + std::to_string(server.port())) << c.operation;
    // Every call opens its own connection.
    EXPECT_NE(request.clientPort, lastClientPort) << c.operation;
    lastClientPort = request.clientPort;
  }
}

TEST(CurlTransfer, SendsTheObjectAsWrittenWithUnsafeBytesEscaped) {
  HttpServer server;
  net::CurlTransfer transfer;
  struct Case {
    std::string object, target;
  } cases[] = {
      {"/a/../b/./c.html", "/a/../b/./c.html"},
      {Sjis("/日本 語.html?q=あ"), "/%93%FA%96%7B%20%8C%EA.html?q=%82%A0"},
      {"/page.html#section", "/page.html"},
  };
  for (const auto& c : cases) {
    server.ClearRequests();
    std::string response;
    transfer.GetText(server.Address(c.object), 80, response);
    const auto requests = server.Requests();
    ASSERT_EQ(requests.size(), 1u) << c.object;
    EXPECT_EQ(requests[0].target, c.target);
  }
}

TEST(CurlTransfer, OnlyStatus200Succeeds) {
  HttpServer server;
  TempFolder temp;
  net::CurlTransfer transfer;
  for (int status : {200, 201, 203, 206, 404, 500}) {
    const std::string target = "/s" + std::to_string(status);
    server.Serve(target, Answer{status, "body of " + target});
    const int expected = status == 200 ? 1 : 0;
    std::string text = "before ";
    EXPECT_EQ(transfer.GetText(server.Address(target), 80, text), expected) << status;
    EXPECT_EQ(text, expected ? "before body of " + target : "before ") << status;
    std::string form = "old";
    EXPECT_EQ(transfer.PostFormText("", form, server.Address(target), 80), expected) << status;
    // An answer came: the old text is gone, and only a 200 body replaces it.
    EXPECT_EQ(form, expected ? "body of " + target : "") << status;
    EXPECT_EQ(transfer.LastReport().status, status);

    // A download creates (or empties) its file first; a refused answer leaves it empty.
    for (const bool query : {false, true}) {
      const std::string path = temp / "out.bin";
      WriteFile(path, "earlier content");
      const int result = query ? transfer.DownloadQueryFile(path, server.Address(target), 80)
                               : transfer.DownloadFile(path, server.Address(target), 80);
      EXPECT_EQ(result, expected) << status << " query " << query;
      EXPECT_TRUE(base::FileExists(path));
      EXPECT_EQ(ReadFile(path), expected ? "body of " + target : "") << status;
    }
  }
}

TEST(CurlTransfer, FollowsRedirectsOnlyForGetTextAndDownloadFile) {
  HttpServer server;
  TempFolder temp;
  net::CurlTransfer transfer;
  server.Serve("/new.html", Answer{200, "new page"});
  for (int status : {301, 302}) {
    const std::string old = "/old" + std::to_string(status) + ".html";
    server.Redirect(old, "/new.html", status);
    const std::string address = server.Address(old);
    struct Case {
      std::string operation;
      std::function<int()> call;
      int result;
      std::vector<std::string> lines;
    } cases[] = {
        {"GetText", [&] { std::string r; return transfer.GetText(address, 80, r); }, 1,
         {"GET " + old, "GET /new.html"}},
        {"DownloadFile", [&] { return transfer.DownloadFile(temp / "r.bin", address, 80); }, 1,
         {"GET " + old, "GET /new.html"}},
        {"GetFormText", [&] { std::string r; return transfer.GetFormText("", r, address, 80); },
         0, {"GET " + old}},
        {"PostFormText", [&] { std::string r; return transfer.PostFormText("", r, address, 80); },
         0, {"POST " + old}},
        {"DownloadQueryFile",
         [&] { return transfer.DownloadQueryFile(temp / "r.bin", address, 80); }, 0,
         {"GET " + old}},
    };
    for (const auto& c : cases) {
      server.ClearRequests();
      EXPECT_EQ(c.call(), c.result) << c.operation << " " << status;
      EXPECT_EQ(server.RequestLines(), c.lines) << c.operation << " " << status;
    }
  }
  std::string text;
  EXPECT_EQ(transfer.GetText(server.Address("/old302.html"), 80, text), 1);
  EXPECT_EQ(text, "new page");
  EXPECT_EQ(transfer.DownloadFile(temp / "r.bin", server.Address("/old301.html"), 80), 1);
  EXPECT_EQ(ReadFile(temp / "r.bin"), "new page");
}

TEST(CurlTransfer, EmptyAnswerFailsOnlyAText) {
  HttpServer server;
  TempFolder temp;
  net::CurlTransfer transfer;
  server.Serve("/empty", Answer{200, ""});
  const std::string address = server.Address("/empty");

  std::string text;
  EXPECT_EQ(transfer.GetText(address, 80, text), 0);
  EXPECT_EQ(text, "");
  // GetText only appends: a text that was not empty before still counts.
  text = "kept";
  EXPECT_EQ(transfer.GetText(address, 80, text), 1);
  EXPECT_EQ(text, "kept");

  std::string form = "old";
  EXPECT_EQ(transfer.PostFormText("", form, address, 80), 1);
  EXPECT_EQ(form, "");
  form = "old";
  EXPECT_EQ(transfer.GetFormText("", form, address, 80), 1);
  EXPECT_EQ(form, "");

  EXPECT_EQ(transfer.DownloadFile(temp / "e.bin", address, 80), 1);
  EXPECT_TRUE(base::FileExists(temp / "e.bin"));
  EXPECT_EQ(ReadFile(temp / "e.bin"), "");
}

// A body of `size` bytes of letters with zero bytes at `zeros`.
std::string BodyWithZeros(std::size_t size, std::initializer_list<std::size_t> zeros) {
  std::string body;
  for (std::size_t i = 0; i < size; ++i) body += static_cast<char>('a' + i % 26);
  for (std::size_t zero : zeros) body[zero] = '\0';
  return body;
}

TEST(CurlTransfer, ZeroByteCutsTheRestOfItsTextPieceButReachesAFileWhole) {
  HttpServer server;
  TempFolder temp;
  net::CurlTransfer transfer;
  constexpr std::size_t kPiece = net::CurlTransfer::kPieceSize;
  static_assert(kPiece == 1023);
  struct Case {
    std::string name;
    std::string body, text;
  } cases[] = {
      {"zero inside the first piece", BodyWithZeros(3000, {100}),
       BodyWithZeros(3000, {}).substr(0, 100) + BodyWithZeros(3000, {}).substr(kPiece)},
      {"zero opening the second piece and inside the last", BodyWithZeros(3000, {1023, 2100}),
       BodyWithZeros(3000, {}).substr(0, 1023) + BodyWithZeros(3000, {}).substr(2046, 54)},
      {"zero as the last byte of a piece", BodyWithZeros(2046, {1022}),
       BodyWithZeros(2046, {}).substr(0, 1022) + BodyWithZeros(2046, {}).substr(1023)},
      {"a zero byte first", std::string("\0xyz", 4), ""},
      {"no zero", BodyWithZeros(5000, {}), BodyWithZeros(5000, {})},
  };
  for (const auto& c : cases) {
    server.Serve("/z", Answer{200, c.body, "application/octet-stream"});
    const std::string address = server.Address("/z");
    std::string text;
    EXPECT_EQ(transfer.GetText(address, 80, text), c.text.empty() ? 0 : 1) << c.name;
    EXPECT_EQ(text, c.text) << c.name;
    std::string form;
    EXPECT_EQ(transfer.PostFormText("", form, address, 80), 1) << c.name;
    EXPECT_EQ(form, c.text) << c.name;
    EXPECT_EQ(transfer.DownloadFile(temp / "z.bin", address, 80), 1) << c.name;
    EXPECT_EQ(ReadFile(temp / "z.bin"), c.body) << c.name;
    EXPECT_EQ(transfer.DownloadQueryFile(temp / "z.bin", address, 80), 1) << c.name;
    EXPECT_EQ(ReadFile(temp / "z.bin"), c.body) << c.name;
  }
}

TEST(CurlTransfer, FileThatCannotBeCreatedSendsNothing) {
  HttpServer server;
  server.Serve("/f.bin", Answer{200, "data"});
  TempFolder temp;
  net::CurlTransfer transfer;
  const std::string paths[] = {temp / "missing/f.bin", temp / Sjis("無い/f.bin"), temp.path(), ""};
  for (const auto& path : paths) {
    EXPECT_EQ(transfer.DownloadFile(path, server.Address("/f.bin"), 80), 0) << path;
    EXPECT_EQ(transfer.DownloadQueryFile(path, server.Address("/f.bin"), 80), 0) << path;
  }
  EXPECT_TRUE(server.Requests().empty());
  EXPECT_FALSE(base::IsDirectory(temp / "missing"));
}

TEST(CurlTransfer, FailedFileWriteFailsTheTransfer) {
  HttpServer server;
  net::CurlTransfer transfer;
  // A body that fits the file's buffer fails when the file is closed, a longer one while it is
  // being written.
  for (std::size_t size : {10u, 200000u}) {
    server.Serve("/big.bin", Answer{200, std::string(size, 'x'), "application/octet-stream"});
    EXPECT_EQ(transfer.DownloadFile("/dev/full", server.Address("/big.bin"), 80), 0) << size;
    EXPECT_FALSE(transfer.LastReport().error.empty());
    EXPECT_EQ(transfer.DownloadQueryFile("/dev/full", server.Address("/big.bin"), 80), 0) << size;
  }
}

TEST(CurlTransfer, TextLongerThanTheCapFails) {
  HttpServer server;
  net::TransferLimits limits;
  limits.textCap = 4000;
  net::CurlTransfer transfer(limits);
  struct Case {
    std::size_t size;
    int result;
  } cases[] = {{3999, 1}, {4000, 1}, {4001, 0}, {100000, 0}};
  for (const auto& c : cases) {
    server.Serve("/long", Answer{200, std::string(c.size, 'x')});
    std::string text;
    EXPECT_EQ(transfer.GetText(server.Address("/long"), 80, text), c.result) << c.size;
    EXPECT_LE(text.size(), limits.textCap);
    std::string form;
    EXPECT_EQ(transfer.GetFormText("", form, server.Address("/long"), 80), c.result) << c.size;
  }
}

TEST(CurlTransfer, UnansweredOrUnreachableServerGivesZero) {
  testing_support::SilentServer silent;
  TempFolder temp;
  net::TransferLimits limits;
  limits.stallTimeoutSeconds = 1;
  net::CurlTransfer transfer(limits);
  const std::string quiet = "http://127.0.0.1:" + std::to_string(silent.port()) + "/page.html";
  const std::string closed = "http://127.0.0.1:" + std::to_string(ClosedPort()) + "/page.html";
  for (const auto& address : {quiet, closed}) {
    std::string text = "before";
    EXPECT_EQ(transfer.GetText(address, 80, text), 0) << address;
    EXPECT_EQ(text, "before");
    EXPECT_FALSE(transfer.LastReport().error.empty());
    EXPECT_EQ(transfer.DownloadFile(temp / "p.bin", address, 80), 0) << address;
    EXPECT_TRUE(base::FileExists(temp / "p.bin"));
    EXPECT_EQ(ReadFile(temp / "p.bin"), "");
  }
  // A form request that drew no answer keeps the text of the call before.
  std::string form = "previous";
  EXPECT_EQ(transfer.PostFormText("a=1", form, closed, 80), 0);
  EXPECT_EQ(form, "previous");
}

TEST(CurlTransfer, AddressWithoutServerGivesZero) {
  TempFolder temp;
  net::CurlTransfer transfer;
  for (const std::string address : {"ftp://127.0.0.1/x", "file:///etc/hostname", "nothing"}) {
    std::string text;
    EXPECT_EQ(transfer.GetText(address, 80, text), 0) << address;
    // The file is made before the address is looked at, and stays.
    EXPECT_EQ(transfer.DownloadFile(temp / "x.bin", address, 80), 0) << address;
    EXPECT_TRUE(base::FileExists(temp / "x.bin"));
    EXPECT_EQ(ReadFile(temp / "x.bin"), "");
  }
}

TEST(CurlTransfer, GetServerNameSplitsWithoutSending) {
  net::CurlTransfer transfer;
  struct Case {
    std::string address, server;
  } cases[] = {
      {"http://www.example.com/a/b.html", "www.example.com"},
      {"HTTP://Host.Example:8080/", "Host.Example"},
      {"https://secure.example", "secure.example"},
      {"not an address", ""},
  };
  for (const auto& c : cases) {
    std::string server = "stale";
    EXPECT_EQ(transfer.GetServerName(c.address, 80, server), 1);
    EXPECT_EQ(server, c.server) << c.address;
  }
}

}  // namespace
