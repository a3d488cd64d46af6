// Loopback HTTP and HTTPS servers for tests, on plain sockets and OpenSSL.
#include "support/http_server.h"

#include <arpa/inet.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <poll.h>
#include <signal.h>
#include <strings.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdlib>
#include <list>
#include <map>
#include <mutex>
#include <stdexcept>
#include <thread>

#include <openssl/ssl.h>

namespace testing_support {

namespace {

constexpr std::size_t kMaxHead = 1 << 20;

// A listening socket on 127.0.0.1 at an ephemeral port.
int ListenOnLoopback(int& port) {
  const int fd = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
  sockaddr_in address{};
  address.sin_family = AF_INET;
  address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  socklen_t length = sizeof address;
  if (fd < 0 || ::bind(fd, reinterpret_cast<sockaddr*>(&address), length) != 0 ||
      ::listen(fd, 64) != 0 ||
      ::getsockname(fd, reinterpret_cast<sockaddr*>(&address), &length) != 0) {
    if (fd >= 0) ::close(fd);
    throw std::runtime_error("test server cannot listen on 127.0.0.1");
  }
  port = ntohs(address.sin_port);
  return fd;
}

const char* Reason(int status) {
  switch (status) {
    case 200: return "OK";
    case 301: return "Moved Permanently";
    case 302: return "Found";
    case 403: return "Forbidden";
    case 404: return "Not Found";
    case 429: return "Too Many Requests";
    case 503: return "Service Unavailable";
    case 500: return "Internal Server Error";
    default: return "Status";
  }
}

std::string Trim(const std::string& text) {
  const auto first = text.find_first_not_of(" \t");
  if (first == std::string::npos) return {};
  return text.substr(first, text.find_last_not_of(" \t") - first + 1);
}

// One accepted connection, plain or TLS.
class Connection {
 public:
  Connection(int fd, SSL_CTX* tls) : m_fd(fd) {
    if (tls) {
      m_ssl = SSL_new(tls);
      SSL_set_fd(m_ssl, fd);
      m_ok = SSL_accept(m_ssl) == 1;
    }
  }
  ~Connection() {
    if (m_ssl) {
      if (m_ok) SSL_shutdown(m_ssl);
      SSL_free(m_ssl);
    }
  }
  bool ok() const { return m_ok; }
  // Drops the connection with a reset: the client sees it broken, not ended.
  void Reset() {
    const linger abort{1, 0};
    ::setsockopt(m_fd, SOL_SOCKET, SO_LINGER, &abort, sizeof abort);
  }
  long Read(char* buffer, std::size_t size) {
    return m_ssl ? SSL_read(m_ssl, buffer, static_cast<int>(size)) : ::read(m_fd, buffer, size);
  }
  bool Write(const std::string& bytes) {
    std::size_t done = 0;
    while (done < bytes.size()) {
      const long written =
          m_ssl ? SSL_write(m_ssl, bytes.data() + done, static_cast<int>(bytes.size() - done))
                : ::send(m_fd, bytes.data() + done, bytes.size() - done, MSG_NOSIGNAL);
      if (written <= 0) return false;
      done += static_cast<std::size_t>(written);
    }
    return true;
  }

 private:
  int m_fd;
  SSL* m_ssl = nullptr;
  bool m_ok = true;
};

// Reads one request (head and Content-Length body); false when the client sent none.
bool ReadRequest(Connection& connection, RecordedRequest& request) {
  std::string data;
  char buffer[4096];
  std::size_t headEnd;
  while ((headEnd = data.find("\r\n\r\n")) == std::string::npos) {
    if (data.size() > kMaxHead) return false;
    const long got = connection.Read(buffer, sizeof buffer);
    if (got <= 0) return false;
    data.append(buffer, static_cast<std::size_t>(got));
  }
  const std::string head = data.substr(0, headEnd);
  request.head = head;
  std::string body = data.substr(headEnd + 4);

  std::size_t lineEnd = head.find("\r\n");
  const std::string requestLine = head.substr(0, lineEnd);
  const auto firstBlank = requestLine.find(' ');
  const auto lastBlank = requestLine.rfind(' ');
  if (firstBlank == std::string::npos || lastBlank == firstBlank) return false;
  request.method = requestLine.substr(0, firstBlank);
  request.target = requestLine.substr(firstBlank + 1, lastBlank - firstBlank - 1);
  request.version = requestLine.substr(lastBlank + 1);

  std::size_t contentLength = 0;
  while (lineEnd != std::string::npos) {
    const std::size_t start = lineEnd + 2;
    lineEnd = head.find("\r\n", start);
    const std::string line =
        head.substr(start, lineEnd == std::string::npos ? lineEnd : lineEnd - start);
    const auto colon = line.find(':');
    if (colon == std::string::npos) continue;
    request.headers.emplace_back(line.substr(0, colon), Trim(line.substr(colon + 1)));
    if (strcasecmp(request.headers.back().first.c_str(), "Content-Length") == 0) {
      contentLength = std::strtoull(request.headers.back().second.c_str(), nullptr, 10);
    }
  }
  while (body.size() < contentLength) {
    const long got = connection.Read(buffer, sizeof buffer);
    if (got <= 0) break;
    body.append(buffer, static_cast<std::size_t>(got));
  }
  request.body = body.substr(0, contentLength);
  return true;
}

}  // namespace

bool RecordedRequest::HasHeader(const std::string& name) const { return HeaderCount(name) > 0; }

std::string RecordedRequest::Header(const std::string& name) const {
  for (const auto& [key, value] : headers) {
    if (strcasecmp(key.c_str(), name.c_str()) == 0) return value;
  }
  return {};
}

int RecordedRequest::HeaderCount(const std::string& name) const {
  int count = 0;
  for (const auto& [key, value] : headers) {
    if (strcasecmp(key.c_str(), name.c_str()) == 0) ++count;
  }
  return count;
}

struct HttpServer::Impl {
  int listener = -1;
  int wakeRead = -1, wakeWrite = -1;
  int port = 0;
  SSL_CTX* tls = nullptr;
  std::thread acceptor;
  mutable std::mutex mutex;
  struct Client {
    std::thread thread;
    int fd;  // -1 once its thread has closed it
  };
  std::list<Client> connections;
  // (method or "", target): the answers in turn, and how many requests took one
  std::map<std::pair<std::string, std::string>, std::vector<Answer>> answers;
  std::map<std::pair<std::string, std::string>, std::size_t> taken;
  std::vector<RecordedRequest> requests;

  void Start() {
    // A client that drops the connection in the middle of a TLS handshake must not end the
    // test program: OpenSSL writes to the socket without MSG_NOSIGNAL.
    ::signal(SIGPIPE, SIG_IGN);
    listener = ListenOnLoopback(port);
    int pipeEnds[2];
    if (::pipe2(pipeEnds, O_CLOEXEC) != 0) throw std::runtime_error("test server: no pipe");
    wakeRead = pipeEnds[0];
    wakeWrite = pipeEnds[1];
    acceptor = std::thread([this] { AcceptLoop(); });
  }

  void AcceptLoop() {
    for (;;) {
      pollfd fds[2] = {{listener, POLLIN, 0}, {wakeRead, POLLIN, 0}};
      if (::poll(fds, 2, -1) < 0) continue;
      if (fds[1].revents) return;
      sockaddr_in client{};
      socklen_t length = sizeof client;
      const int fd =
          ::accept4(listener, reinterpret_cast<sockaddr*>(&client), &length, SOCK_CLOEXEC);
      if (fd < 0) continue;
      std::lock_guard lock(mutex);
      // Threads whose connection is closed have left the mutex for good: reap them, so that a
      // long crawl does not pile up finished threads.
      connections.remove_if([](Client& client) {
        if (client.fd >= 0) return false;
        client.thread.join();
        return true;
      });
      Client& entry = connections.emplace_back(Client{{}, fd});
      const int clientPort = ntohs(client.sin_port);
      entry.thread = std::thread([this, &entry, clientPort] {
        Serve(entry.fd, clientPort);
        std::lock_guard closing(mutex);
        ::close(entry.fd);
        entry.fd = -1;
      });
    }
  }

  void Serve(int fd, int clientPort) {
    Connection connection(fd, tls);
    RecordedRequest request;
    if (!connection.ok() || !ReadRequest(connection, request)) return;
    request.clientPort = clientPort;
    request.received = std::chrono::steady_clock::now();
    std::size_t index = 0;
    const Answer answer = Take(request, index);
    if (answer.delayMilliseconds > 0) {
      std::this_thread::sleep_for(std::chrono::milliseconds(answer.delayMilliseconds));
    }
    Reply(connection, request, answer);
    std::lock_guard lock(mutex);
    // The log may have been cleared meanwhile; then there is nothing to complete.
    if (index < requests.size() && requests[index].received == request.received) {
      requests[index].answered = std::chrono::steady_clock::now();
    }
  }

  // Logs `request` (at `index`) before it is answered, so that a client that has its answer
  // finds it in the log; its answer: the next of its target's answers in turn, or 404.
  Answer Take(const RecordedRequest& request, std::size_t& index) {
    std::lock_guard lock(mutex);
    index = requests.size();
    requests.push_back(request);
    auto found = answers.find({request.method, request.target});
    if (found == answers.end()) found = answers.find({"", request.target});
    if (found == answers.end()) return Answer(404);
    const std::size_t turn = taken[found->first]++;
    const Answer& answer = found->second[std::min(turn, found->second.size() - 1)];
    if (answer.admit && !answer.admit(request)) return Answer(403, "forbidden");
    return answer;
  }

  void Reply(Connection& connection, const RecordedRequest& request, const Answer& answer) {
    std::string reply = "HTTP/1.1 " + std::to_string(answer.status) + " " + Reason(answer.status) +
                        "\r\nContent-Type: " + answer.contentType;
    if (answer.announceLength) {
      reply += "\r\nContent-Length: " + std::to_string(answer.body.size());
    }
    reply += "\r\nConnection: close\r\n";
    for (const auto& [key, value] : answer.headers) reply += key + ": " + value + "\r\n";
    reply += "\r\n";
    const std::string body = request.method == "HEAD" ? std::string() : answer.body;
    if (answer.resetAfter) {
      // A connection that breaks half-way: part of the body, then a reset instead of a close.
      connection.Write(reply + body.substr(0, *answer.resetAfter));
      connection.Reset();
      return;
    }
    if (answer.dripMilliseconds <= 0) {
      connection.Write(reply + body);
      return;
    }
    if (!connection.Write(reply)) return;
    // A slow server: a byte at a time, until the body is out or the client has gone.
    for (const char byte : body) {
      std::this_thread::sleep_for(std::chrono::milliseconds(answer.dripMilliseconds));
      if (!connection.Write(std::string(1, byte))) return;
    }
  }

  void Stop() {
    if (acceptor.joinable()) {
      const char wake = 1;
      (void)!::write(wakeWrite, &wake, 1);
      acceptor.join();
    }
    // The acceptor is gone: no connection is added any more. Wake the ones still reading.
    {
      std::lock_guard lock(mutex);
      for (auto& client : connections) {
        if (client.fd >= 0) ::shutdown(client.fd, SHUT_RDWR);
      }
    }
    for (auto& client : connections) client.thread.join();
    for (int fd : {listener, wakeRead, wakeWrite}) {
      if (fd >= 0) ::close(fd);
    }
    if (tls) SSL_CTX_free(tls);
  }
};

HttpServer::HttpServer() : m_impl(std::make_unique<Impl>()) { m_impl->Start(); }

HttpServer::HttpServer(const std::string& certificateFile, const std::string& keyFile)
    : m_impl(std::make_unique<Impl>()) {
  m_impl->tls = SSL_CTX_new(TLS_server_method());
  if (!m_impl->tls ||
      SSL_CTX_use_certificate_chain_file(m_impl->tls, certificateFile.c_str()) != 1 ||
      SSL_CTX_use_PrivateKey_file(m_impl->tls, keyFile.c_str(), SSL_FILETYPE_PEM) != 1) {
    if (m_impl->tls) SSL_CTX_free(m_impl->tls);
    throw std::runtime_error("test server: certificate or key unusable");
  }
  m_impl->Start();
}

HttpServer::~HttpServer() { m_impl->Stop(); }

int HttpServer::port() const { return m_impl->port; }

std::string HttpServer::Address(const std::string& target) const {
  return std::string(m_impl->tls ? "https" : "http") +
         "://127.0.0.1:" + std::to_string(m_impl->port) + target;
}

void HttpServer::Serve(const std::string& target, Answer answer) { Serve("", target, answer); }

void HttpServer::Serve(const std::string& method, const std::string& target, Answer answer) {
  std::lock_guard lock(m_impl->mutex);
  m_impl->answers[{method, target}] = {std::move(answer)};
  m_impl->taken.erase({method, target});
}

void HttpServer::ServeInTurn(const std::string& target, std::vector<Answer> answers) {
  std::lock_guard lock(m_impl->mutex);
  m_impl->answers[{"", target}] = std::move(answers);
  m_impl->taken.erase({"", target});
}

void HttpServer::Redirect(const std::string& target, const std::string& location, int status) {
  Serve(target, Answer{status, "moved", "text/html", {{"Location", location}}});
}

std::vector<RecordedRequest> HttpServer::Requests() const {
  std::lock_guard lock(m_impl->mutex);
  return m_impl->requests;
}

std::vector<std::string> HttpServer::RequestLines() const {
  std::vector<std::string> lines;
  for (const auto& request : Requests()) lines.push_back(request.method + " " + request.target);
  return lines;
}

void HttpServer::ClearRequests() {
  std::lock_guard lock(m_impl->mutex);
  m_impl->requests.clear();
}

SilentServer::SilentServer() { m_socket = ListenOnLoopback(m_port); }

SilentServer::~SilentServer() { ::close(m_socket); }

bool MakeSelfSignedCertificate(const std::string& folder, const std::string& name,
                               const std::string& hostName) {
  const std::string command =
      "openssl req -x509 -newkey rsa:2048 -nodes -days 2 -subj '/CN=" + hostName +
      "' -addext 'subjectAltName=DNS:" + hostName + "' -keyout '" + folder + name + ".key' -out '" +
      folder + name + ".pem' >/dev/null 2>&1";
  return std::system(command.c_str()) == 0;
}

}  // namespace testing_support
