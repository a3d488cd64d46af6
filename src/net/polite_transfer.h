// The crawl's manners around any transfer: a pause between requests to one server, robots.txt,
// and further tries of a request that failed for a passing reason.
#pragma once

#include <chrono>
#include <functional>
#include <map>
#include <optional>
#include <vector>
#include <random>
#include <string>

#include "net/connection_options.h"
#include "net/robots_txt.h"
#include "net/transfer.h"

namespace net {

// Hands every operation to `inner` as it is, then:
// - before each request to a server, waits until the pause since that server's last answer is
//   over (the options' delay, or robots.txt's Crawl-delay when that is longer);
// - with robots on, fetches a server's robots.txt before its first address and answers an
//   address it keeps out with kRobots, sending nothing;
// - tries a failed request again up to the options' tries, after a pause that doubles from the
//   retry wait and is at least what a 429 or 503 answer's Retry-After asks (both within
//   kLongestRetryPauseSeconds). Retried: a timeout, a refused or broken connection, and the
//   answers 408, 429, 500, 502, 503 and 504; a POST only on 429, 503 or a refused connection,
//   since the server may have acted on one that broke. A file's body only ever takes its final
//   name when whole, so a retried download never leaves half a file there.
// At the defaults (one try, no delay, robots off) it adds nothing: each operation is one call.
class PoliteTransfer : public Transfer {
 public:
  explicit PoliteTransfer(Transfer& inner);

  void SetOptions(const ConnectionOptions& options);
  // Called at least every CurlTransfer::kHookIntervalMs during a pause; false ends the pause and
  // fails the operation as stopped. Without a hook a pause is one plain sleep.
  void SetProgressHook(std::function<bool()> hook) { m_hook = std::move(hook); }
  // The time spent pausing so far (delays, Crawl-delays and retry pauses).
  std::chrono::milliseconds Waited() const { return m_waited; }

  TransferResult GetText(const std::string& address) override;
  TransferResult GetFormText(const std::string& body, const std::string& address) override;
  TransferResult PostFormText(const std::string& body, const std::string& address) override;
  TransferResult DownloadFile(const std::string& filePath, const std::string& address) override;
  TransferResult DownloadQueryFile(const std::string& filePath,
                                   const std::string& address) override;
  std::string GetServerName(const std::string& address) override;
  void SetLinkingPage(const std::string& address) override;
  // Side by side as the inner transfer allows, unless a pause between requests is asked (by the
  // options or by a server's robots.txt); robots.txt and further tries as for one download.
  int TransfersAtOnce() const override;
  std::vector<TransferResult> DownloadFiles(const std::vector<FileDownload>& downloads) override;

 private:
  using Clock = std::chrono::steady_clock;
  struct Server {
    bool robotsRead = false;
    RobotsRules robots;
    Clock::time_point lastAnswer{};
    bool asked = false;  // a request has gone to it
  };
  enum class Method { kGet, kPost };

  // Tries `once` (first counted as try `firstTry`) with pauses, robots.txt and retries.
  TransferResult Attempt(const std::string& address, Method method,
                         const std::function<TransferResult()>& once, int firstTry = 1);
  // The server of `address` (null for one that names none), its robots.txt read where asked;
  // `refusal` is set when robots.txt keeps the address out.
  Server* Admit(const std::string& address, std::optional<TransferResult>& refusal);
  // A download of a run side by side, tried again one by one after its first try `first`.
  TransferResult Retried(const FileDownload& download, TransferResult first);
  // Reads the robots.txt of `server` at `origin` ("scheme://server:port").
  void ReadRobots(const std::string& origin, Server& server);
  // Waits until the pause before the next request to `server` is over; false when stopped.
  bool Pace(Server& server);
  bool Wait(std::chrono::milliseconds duration);
  std::chrono::milliseconds RetryPause(const TransferResult& failed, int triesSoFar) const;

  Transfer& m_inner;
  ConnectionOptions m_options;
  std::string m_agentToken = RobotsAgentToken({});
  std::function<bool()> m_hook;
  std::string m_linkingPage;
  std::map<std::string, Server> m_servers;  // by "scheme://server:port"
  std::mt19937 m_random{std::random_device{}()};
  std::chrono::milliseconds m_waited{0};
};

// Whether a request that failed as `result` is worth another try.
bool IsRetryable(const TransferResult& result, bool post);

}  // namespace net
