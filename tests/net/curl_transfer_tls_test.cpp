// https addresses: TLS on port 443 unless the address names another, with certificate checks.
#include "net/curl_transfer.h"

#include <gtest/gtest.h>

#include "support/http_server.h"
#include "support/temp_folder.h"

namespace {

using testing_support::Answer;
using testing_support::HttpServer;
using testing_support::MakeSelfSignedCertificate;
using testing_support::TempFolder;

// The host name the tests give their https addresses; routes send it to the loopback server, so
// nothing is ever looked up or sent beyond 127.0.0.1.
const std::string kHost = "rendora.test";

class TlsTransfer : public ::testing::Test {
 protected:
  // The certificates are made once for all the tests: key generation is slow.
  static void SetUpTestSuite() {
    s_folder = new TempFolder;
    s_made = MakeSelfSignedCertificate(s_folder->path(), "good", kHost) &&
             MakeSelfSignedCertificate(s_folder->path(), "other", "other.test");
  }
  static void TearDownTestSuite() {
    delete s_folder;
    s_folder = nullptr;
  }
  void SetUp() override { ASSERT_TRUE(s_made) << "the openssl tool made no certificate"; }

  static std::string Certificate(const std::string& name) { return *s_folder / (name + ".pem"); }
  static std::string Key(const std::string& name) { return *s_folder / (name + ".key"); }

  // A transfer that trusts `trusted` (or the system's certificates) and sends requests for
  // kHost at `namedPort` to the loopback server.
  static net::CurlTransfer Transfer(const std::string& trusted, int namedPort, int serverPort) {
    net::TransferLimits limits;
    limits.certificateFile = trusted;
    limits.stallTimeoutSeconds = 5;
    limits.routes = {kHost + ":" + std::to_string(namedPort) +
                     ":127.0.0.1:" + std::to_string(serverPort)};
    return net::CurlTransfer(limits);
  }

  static inline TempFolder* s_folder = nullptr;
  static inline bool s_made = false;
};

TEST_F(TlsTransfer, HttpsAddressGoesToPort443OverTls) {
  HttpServer server(Certificate("good"), Key("good"));
  server.Serve("/secure.html", Answer{200, "secret page"});
  // The route exists for port 443 only: the request reaches the server only if it went there.
  auto transfer = Transfer(Certificate("good"), 443, server.port());
  const std::vector<std::string> addresses = {"https://" + kHost + "/secure.html",
                                              "HTTPS://" + kHost + ":443/secure.html"};
  for (const auto& address : addresses) {
    const auto result = transfer.GetText(address);
    EXPECT_TRUE(result.ok) << result.error;
    EXPECT_EQ(result.text, "secret page");
  }
  const auto requests = server.Requests();
  ASSERT_EQ(requests.size(), 2u);
  EXPECT_EQ(requests[0].Header("Host"), kHost);
  EXPECT_EQ(requests[0].Header("User-Agent"), "HTML Get Sample");
}

TEST_F(TlsTransfer, HttpsAddressWithItsOwnPortGoesThere) {
  HttpServer server(Certificate("good"), Key("good"));
  server.Serve("/form.cgi", Answer{200, "posted"});
  auto transfer = Transfer(Certificate("good"), 8443, server.port());
  const auto result = transfer.PostFormText("a=1", "https://" + kHost + ":8443/form.cgi");
  EXPECT_TRUE(result.ok) << result.error;
  EXPECT_EQ(result.text, "posted");
  ASSERT_EQ(server.Requests().size(), 1u);
  EXPECT_EQ(server.Requests()[0].body, "a=1");
}

TEST_F(TlsTransfer, CertificateThatDoesNotCheckOutFails) {
  struct Case {
    std::string name, served, trusted;
  } cases[] = {
      {"self-signed, not trusted", "good", ""},
      {"trusted, but for another host", "other", "other"},
  };
  for (const auto& c : cases) {
    HttpServer server(Certificate(c.served), Key(c.served));
    server.Serve("/secure.html", Answer{200, "secret page"});
    auto transfer = Transfer(c.trusted.empty() ? "" : Certificate(c.trusted), 443, server.port());
    const auto result = transfer.GetText("https://" + kHost + "/secure.html");
    EXPECT_FALSE(result.ok) << c.name;
    EXPECT_EQ(result.status, 0) << c.name;
    EXPECT_EQ(result.text, "");
    // The cause is the certificate check's own message.
    EXPECT_NE(result.error.find("certificate"), std::string::npos) << c.name << result.error;
    EXPECT_EQ(result.cause, net::TransferCause::kTls) << c.name;
    EXPECT_TRUE(server.Requests().empty()) << c.name;
  }
}

TEST_F(TlsTransfer, PlainHttpToATlsServerFails) {
  HttpServer server(Certificate("good"), Key("good"));
  server.Serve("/secure.html", Answer{200, "secret page"});
  net::TransferLimits limits;
  limits.stallTimeoutSeconds = 2;
  net::CurlTransfer transfer(limits);
  const auto result =
      transfer.GetText("http://127.0.0.1:" + std::to_string(server.port()) + "/secure.html");
  EXPECT_FALSE(result.ok);
  EXPECT_FALSE(result.error.empty());
  EXPECT_TRUE(server.Requests().empty());
}

}  // namespace
