// The HTTP operations against loopback servers that record every request.
#include "net/curl_transfer.h"

#include <curl/curl.h>
#include <gtest/gtest.h>

#include <functional>
#include <utility>

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
    std::function<net::TransferResult()> call;
    std::string method, version, agent, accept, contentType, body;
  } cases[] = {
      {"GetText", [&] { return transfer.GetText(address); }, "GET", "HTTP/1.1", "HTML Get Sample",
       "text", "", ""},
      {"DownloadFile", [&] { return transfer.DownloadFile(temp / "f.bin", address); }, "GET",
       "HTTP/1.1", "HTML Get Sample", "text", "", ""},
      {"GetFormText", [&] { return transfer.GetFormText(formBody, address); }, "GET", "HTTP/1.0",
       "GetServer", "", kFormType, formBody},
      {"PostFormText", [&] { return transfer.PostFormText(formBody, address); }, "POST", "HTTP/1.0",
       "PostServer", "", kFormType, formBody},
      {"PostFormText empty", [&] { return transfer.PostFormText("", address); }, "POST", "HTTP/1.0",
       "PostServer", "", kFormType, ""},
      {"DownloadQueryFile", [&] { return transfer.DownloadQueryFile(temp / "q.bin", address); },
       "GET", "HTTP/1.0", "My Session", "", kFormType, address},
  };
  int lastClientPort = 0;
  for (const auto& c : cases) {
    server.ClearRequests();
    const net::TransferResult result = c.call();
    EXPECT_TRUE(result.ok) << c.operation << " " << result.error;
    EXPECT_EQ(result.status, 200) << c.operation;
    EXPECT_EQ(result.bytes, 2u) << c.operation;
    EXPECT_EQ(result.error, "") << c.operation;
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
    transfer.GetText(server.Address(c.object));
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
    const bool expected = status == 200;
    const std::string body = expected ? "body of " + target : "";
    // Every answer is a completed exchange: no error, its status kept, only a 200 body taken.
    const net::TransferResult results[] = {
        transfer.GetText(server.Address(target)),
        transfer.GetFormText("", server.Address(target)),
        transfer.PostFormText("", server.Address(target)),
    };
    for (const auto& result : results) {
      EXPECT_EQ(result.ok, expected) << status;
      EXPECT_EQ(result.status, status);
      EXPECT_EQ(result.text, body) << status;
      EXPECT_EQ(result.bytes, body.size()) << status;
      EXPECT_EQ(result.error, "") << status;
      EXPECT_EQ(result.cause,
                expected ? net::TransferCause::kNone : net::TransferCause::kHttpStatus)
          << status;
    }

    // A download creates (or empties) its file first; a refused answer leaves it empty.
    for (const bool query : {false, true}) {
      const std::string path = temp / "out.bin";
      WriteFile(path, "earlier content");
      const auto result = query ? transfer.DownloadQueryFile(path, server.Address(target))
                                : transfer.DownloadFile(path, server.Address(target));
      EXPECT_EQ(result.ok, expected) << status << " query " << query;
      EXPECT_EQ(result.status, status);
      EXPECT_EQ(result.bytes, body.size()) << status;
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
      std::function<net::TransferResult()> call;
      bool ok;
      std::vector<std::string> lines;
    } cases[] = {
        {"GetText",
         [&] { return transfer.GetText(address); },
         true,
         {"GET " + old, "GET /new.html"}},
        {"DownloadFile",
         [&] { return transfer.DownloadFile(temp / "r.bin", address); },
         true,
         {"GET " + old, "GET /new.html"}},
        {"GetFormText", [&] { return transfer.GetFormText("", address); }, false, {"GET " + old}},
        {"PostFormText",
         [&] { return transfer.PostFormText("", address); },
         false,
         {"POST " + old}},
        {"DownloadQueryFile",
         [&] { return transfer.DownloadQueryFile(temp / "r.bin", address); },
         false,
         {"GET " + old}},
    };
    for (const auto& c : cases) {
      server.ClearRequests();
      const net::TransferResult result = c.call();
      EXPECT_EQ(result.ok, c.ok) << c.operation << " " << status;
      // The status is the last answer's: the new page's, or the redirect's own.
      EXPECT_EQ(result.status, c.ok ? 200 : status) << c.operation;
      EXPECT_EQ(server.RequestLines(), c.lines) << c.operation << " " << status;
    }
  }
  EXPECT_EQ(transfer.GetText(server.Address("/old302.html")).text, "new page");
  EXPECT_TRUE(transfer.DownloadFile(temp / "r.bin", server.Address("/old301.html")).ok);
  EXPECT_EQ(ReadFile(temp / "r.bin"), "new page");
}

TEST(CurlTransfer, EmptyAnswerFailsOnlyAText) {
  HttpServer server;
  TempFolder temp;
  net::CurlTransfer transfer;
  server.Serve("/empty", Answer{200, ""});
  const std::string address = server.Address("/empty");

  // A text with nothing in it fails although the exchange went well.
  const auto text = transfer.GetText(address);
  EXPECT_FALSE(text.ok);
  EXPECT_EQ(text.status, 200);
  EXPECT_EQ(text.text, "");
  EXPECT_EQ(text.error, "");
  EXPECT_EQ(text.cause, net::TransferCause::kEmpty);

  for (const auto& form : {transfer.PostFormText("", address), transfer.GetFormText("", address)}) {
    EXPECT_TRUE(form.ok);
    EXPECT_EQ(form.text, "");
  }

  EXPECT_TRUE(transfer.DownloadFile(temp / "e.bin", address).ok);
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
    const auto text = transfer.GetText(address);
    EXPECT_EQ(text.ok, !c.text.empty()) << c.name;
    EXPECT_EQ(text.text, c.text) << c.name;
    EXPECT_EQ(text.bytes, c.body.size()) << c.name;  // every byte was received
    const auto form = transfer.PostFormText("", address);
    EXPECT_TRUE(form.ok) << c.name;
    EXPECT_EQ(form.text, c.text) << c.name;
    EXPECT_TRUE(transfer.DownloadFile(temp / "z.bin", address).ok) << c.name;
    EXPECT_EQ(ReadFile(temp / "z.bin"), c.body) << c.name;
    EXPECT_TRUE(transfer.DownloadQueryFile(temp / "z.bin", address).ok) << c.name;
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
    for (const auto& result : {transfer.DownloadFile(path, server.Address("/f.bin")),
                               transfer.DownloadQueryFile(path, server.Address("/f.bin"))}) {
      EXPECT_FALSE(result.ok) << path;
      EXPECT_EQ(result.status, 0) << path;
      EXPECT_EQ(result.error, "the file cannot be created") << path;
      EXPECT_EQ(result.cause, net::TransferCause::kWriteError) << path;
    }
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
    const std::string address = server.Address("/big.bin");
    for (const auto& result : {transfer.DownloadFile("/dev/full", address),
                               transfer.DownloadQueryFile("/dev/full", address)}) {
      EXPECT_FALSE(result.ok) << size;
      EXPECT_EQ(result.status, 200) << size;
      EXPECT_EQ(result.error, "the file could not be written") << size;
      EXPECT_EQ(result.cause, net::TransferCause::kWriteError) << size;
    }
  }
}

TEST(CurlTransfer, TextLongerThanTheCapFails) {
  HttpServer server;
  net::TransferLimits limits;
  limits.textCap = 4000;
  net::CurlTransfer transfer(limits);
  struct Case {
    std::size_t size;
    bool ok;
  } cases[] = {{3999, true}, {4000, true}, {4001, false}, {100000, false}};
  for (const auto& c : cases) {
    server.Serve("/long", Answer{200, std::string(c.size, 'x')});
    for (const auto& result : {transfer.GetText(server.Address("/long")),
                               transfer.GetFormText("", server.Address("/long"))}) {
      EXPECT_EQ(result.ok, c.ok) << c.size;
      EXPECT_LE(result.text.size(), limits.textCap);
      EXPECT_EQ(result.error.empty(), c.ok) << c.size;
      EXPECT_EQ(result.cause, c.ok ? net::TransferCause::kNone : net::TransferCause::kTooLarge)
          << c.size;
    }
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
  const std::pair<std::string, net::TransferCause> cases[] = {
      {quiet, net::TransferCause::kTimeout}, {closed, net::TransferCause::kRefused}};
  for (const auto& [address, cause] : cases) {
    const auto text = transfer.GetText(address);
    EXPECT_FALSE(text.ok) << address;
    EXPECT_EQ(text.cause, cause) << address << " " << text.error;
    EXPECT_EQ(text.status, 0) << address;
    EXPECT_EQ(text.text, "");
    EXPECT_FALSE(text.error.empty());
    EXPECT_EQ(transfer.DownloadFile(temp / "p.bin", address).cause, cause) << address;
    EXPECT_TRUE(base::FileExists(temp / "p.bin"));
    EXPECT_EQ(ReadFile(temp / "p.bin"), "");
  }
  const auto form = transfer.PostFormText("a=1", closed);
  EXPECT_FALSE(form.ok);
  EXPECT_EQ(form.status, 0);
  // The cause is the connection's own message.
  EXPECT_NE(form.error.find("onnect"), std::string::npos) << form.error;
}

TEST(CurlTransfer, AddressWithoutServerGivesZero) {
  TempFolder temp;
  net::CurlTransfer transfer;
  for (const std::string address : {"ftp://127.0.0.1/x", "file:///etc/hostname", "nothing"}) {
    EXPECT_FALSE(transfer.GetText(address).ok) << address;
    // The file is made before the address is looked at, and stays.
    const auto file = transfer.DownloadFile(temp / "x.bin", address);
    EXPECT_FALSE(file.ok) << address;
    EXPECT_EQ(file.error, "the address names no http or https server") << address;
    EXPECT_EQ(file.cause, net::TransferCause::kBadAddress) << address;
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
    EXPECT_EQ(transfer.GetServerName(c.address), c.server) << c.address;
  }
}

// The library's codes that no loopback server here provokes cheaply (a name lookup, the other
// TLS failures) are checked by the mapping alone; the rest are checked above on real servers.
TEST(CurlTransfer, LibraryCodesMapToTheirCauses) {
  const std::pair<CURLcode, net::TransferCause> cases[] = {
      {CURLE_OK, net::TransferCause::kNone},
      {CURLE_COULDNT_RESOLVE_HOST, net::TransferCause::kNameNotFound},
      {CURLE_SSL_CONNECT_ERROR, net::TransferCause::kTls},
      {CURLE_SSL_CACERT_BADFILE, net::TransferCause::kTls},
      {CURLE_ABORTED_BY_CALLBACK, net::TransferCause::kStopped},
      {CURLE_FILESIZE_EXCEEDED, net::TransferCause::kTooLarge},
      {CURLE_URL_MALFORMAT, net::TransferCause::kBadAddress},
      {CURLE_GOT_NOTHING, net::TransferCause::kConnectionLost},
      {CURLE_RECV_ERROR, net::TransferCause::kConnectionLost},
      {CURLE_BAD_CONTENT_ENCODING, net::TransferCause::kOther},
  };
  for (const auto& [code, cause] : cases) {
    EXPECT_EQ(net::CauseOfCurlCode(code), cause) << curl_easy_strerror(code);
  }
}

}  // namespace
