// A loopback HTTP server whose answers come only after a set delay, as over a slow network.
#pragma once

#include <atomic>
#include <map>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace testing_support {

// Listens on 127.0.0.1 at an ephemeral port from construction to destruction. Every connection
// gets its own thread; each request is answered after its path's delay, then the connection
// closes. Paths without content get 404.
class DelayedServer {
 public:
  DelayedServer();
  ~DelayedServer();
  DelayedServer(const DelayedServer&) = delete;
  DelayedServer& operator=(const DelayedServer&) = delete;

  // Answers GET `path` with `body` of `contentType` after `delayMilliseconds`.
  void Serve(const std::string& path, std::string body, std::string contentType,
             int delayMilliseconds = 0);
  // "http://127.0.0.1:<port>" + path.
  std::string Address(const std::string& path) const;
  // How many requests have come for `path`.
  int RequestCount(const std::string& path) const;

 private:
  struct Content {
    std::string body;
    std::string contentType;
    int delayMilliseconds = 0;
  };
  void Accept();
  void Answer(int connection);

  int m_listener = -1;
  int m_port = 0;
  std::atomic<bool> m_stopping{false};
  mutable std::mutex m_mutex;
  std::map<std::string, Content> m_contents;
  std::map<std::string, int> m_requests;
  std::thread m_acceptor;
  std::vector<std::thread> m_connections;
};

}  // namespace testing_support
