// A loopback HTTP server whose answers come only after a set delay, as over a slow network.
#include "browser/delayed_server.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <chrono>
#include <cstring>

namespace testing_support {

DelayedServer::DelayedServer() {
  m_listener = socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
  sockaddr_in address{};
  address.sin_family = AF_INET;
  address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  socklen_t length = sizeof address;
  if (m_listener < 0 || bind(m_listener, reinterpret_cast<sockaddr*>(&address), length) != 0 ||
      listen(m_listener, 64) != 0 ||
      getsockname(m_listener, reinterpret_cast<sockaddr*>(&address), &length) != 0) {
    return;
  }
  m_port = ntohs(address.sin_port);
  m_acceptor = std::thread([this] { Accept(); });
}

DelayedServer::~DelayedServer() {
  m_stopping = true;
  if (m_acceptor.joinable()) m_acceptor.join();
  for (std::thread& connection : m_connections) connection.join();
  if (m_listener >= 0) close(m_listener);
}

void DelayedServer::Serve(const std::string& path, std::string body, std::string contentType,
                          int delayMilliseconds) {
  std::lock_guard<std::mutex> lock(m_mutex);
  m_contents[path] = {std::move(body), std::move(contentType), delayMilliseconds};
}

std::string DelayedServer::Address(const std::string& path) const {
  return "http://127.0.0.1:" + std::to_string(m_port) + path;
}

int DelayedServer::RequestCount(const std::string& path) const {
  std::lock_guard<std::mutex> lock(m_mutex);
  const auto found = m_requests.find(path);
  return found == m_requests.end() ? 0 : found->second;
}

void DelayedServer::Accept() {
  while (!m_stopping) {
    pollfd waiting{m_listener, POLLIN, 0};
    if (poll(&waiting, 1, 50) <= 0) continue;
    const int connection = accept4(m_listener, nullptr, nullptr, SOCK_CLOEXEC);
    if (connection < 0) continue;
    m_connections.emplace_back([this, connection] { Answer(connection); });
  }
}

void DelayedServer::Answer(int connection) {
  // The request head, up to its empty line; the path is the request line's second word.
  std::string head;
  char buffer[4096];
  while (head.find("\r\n\r\n") == std::string::npos && !m_stopping) {
    pollfd waiting{connection, POLLIN, 0};
    if (poll(&waiting, 1, 50) <= 0) continue;
    const ssize_t got = recv(connection, buffer, sizeof buffer, 0);
    if (got <= 0) break;
    head.append(buffer, static_cast<std::size_t>(got));
  }
  const std::size_t space = head.find(' ');
  const std::size_t end = space == std::string::npos ? space : head.find(' ', space + 1);
  const std::string path =
      end == std::string::npos ? std::string() : head.substr(space + 1, end - space - 1);
  Content content{"", "text/plain", 0};
  std::string status = "404 Not Found";
  {
    std::lock_guard<std::mutex> lock(m_mutex);
    ++m_requests[path];
    if (const auto found = m_contents.find(path); found != m_contents.end()) {
      content = found->second;
      status = "200 OK";
    }
  }
  std::this_thread::sleep_for(std::chrono::milliseconds(content.delayMilliseconds));
  const std::string answer = "HTTP/1.1 " + status + "\r\nContent-Type: " + content.contentType +
                             "\r\nContent-Length: " + std::to_string(content.body.size()) +
                             "\r\nCache-Control: no-store\r\nConnection: close\r\n\r\n" +
                             content.body;
  for (std::size_t sent = 0; sent < answer.size();) {
    const ssize_t put = send(connection, answer.data() + sent, answer.size() - sent, MSG_NOSIGNAL);
    if (put <= 0) break;
    sent += static_cast<std::size_t>(put);
  }
  close(connection);
}

}  // namespace testing_support
