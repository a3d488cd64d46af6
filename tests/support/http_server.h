// Loopback HTTP and HTTPS servers for tests: configured answers, every request recorded whole
// (a GET's body included, which general-purpose servers leave unread).
#pragma once

#include <chrono>
#include <cstddef>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace testing_support {

using HeaderList = std::vector<std::pair<std::string, std::string>>;

// One request as the server received it.
struct RecordedRequest {
  std::string method;
  std::string target;   // path and query, as sent in the request line
  std::string version;  // "HTTP/1.0" or "HTTP/1.1"
  HeaderList headers;
  std::string body;
  int clientPort = 0;  // the client's side of the connection the request came on
  std::string head;    // the request line and headers as they came, up to the blank line
  std::chrono::steady_clock::time_point received;  // when the whole request was in
  std::chrono::steady_clock::time_point answered;  // when the answer had gone out

  bool HasHeader(const std::string& name) const;  // any letter case
  // The first value of header `name` (any letter case); "" when there is none.
  std::string Header(const std::string& name) const;
  // How many headers named `name` came.
  int HeaderCount(const std::string& name) const;
};

struct Answer {
  Answer(int status = 200, std::string body = {}, std::string contentType = "text/html",
         HeaderList headers = {})
      : status(status),
        body(std::move(body)),
        contentType(std::move(contentType)),
        headers(std::move(headers)) {}

  int status;
  std::string body;
  std::string contentType;
  HeaderList headers;
  // The body goes out one byte at a time, each after this pause (0: all at once, with the head).
  int dripMilliseconds = 0;
  // False: no Content-Length; the body ends where the server closes the connection.
  bool announceLength = true;
  // The answer waits this long before its head goes out (a slow server).
  int delayMilliseconds = 0;
  // When set, only this many body bytes go out after the head, then the connection is reset.
  std::optional<std::size_t> resetAfter;
  // When set, a request it does not admit (a missing agent, Referer or cookie) gets 403.
  std::function<bool(const RecordedRequest&)> admit;
};

// Listens on 127.0.0.1 at an ephemeral port from construction to destruction, one thread per
// connection, one request per connection (answers say "Connection: close"). A target with no
// answer configured gets 404 with an empty body.
class HttpServer {
 public:
  HttpServer();
  // HTTPS with the given PEM certificate and key.
  HttpServer(const std::string& certificateFile, const std::string& keyFile);
  ~HttpServer();
  HttpServer(const HttpServer&) = delete;
  HttpServer& operator=(const HttpServer&) = delete;

  int port() const;
  // "http://127.0.0.1:<port>" + target.
  std::string Address(const std::string& target) const;

  // Answers requests for exactly `target` (path and query) with any method...
  void Serve(const std::string& target, Answer answer);
  // ...or with this method only; a method's own answer goes before the any-method one.
  void Serve(const std::string& method, const std::string& target, Answer answer);
  void Redirect(const std::string& target, const std::string& location, int status = 302);
  // Answers the requests for `target` with these answers in turn; the last one stays.
  void ServeInTurn(const std::string& target, std::vector<Answer> answers);

  std::vector<RecordedRequest> Requests() const;
  // "METHOD target" of every request, oldest first.
  std::vector<std::string> RequestLines() const;
  void ClearRequests();

 private:
  struct Impl;
  std::unique_ptr<Impl> m_impl;
};

// Takes connections and never answers: the socket listens and nothing ever reads from it.
class SilentServer {
 public:
  SilentServer();
  ~SilentServer();
  SilentServer(const SilentServer&) = delete;
  SilentServer& operator=(const SilentServer&) = delete;

  int port() const { return m_port; }

 private:
  int m_socket = -1;
  int m_port = 0;
};

// Writes `folder`/<name>.pem and `folder`/<name>.key: a self-signed certificate for the host
// `hostName`, made with the openssl tool. False when the tool failed.
bool MakeSelfSignedCertificate(const std::string& folder, const std::string& name,
                               const std::string& hostName);

}  // namespace testing_support
