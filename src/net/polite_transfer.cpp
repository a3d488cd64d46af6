// The crawl's manners around any transfer: pauses, robots.txt and further tries.
#include "net/polite_transfer.h"

#include <algorithm>
#include <cmath>
#include <thread>

#include "net/address_split.h"
#include "net/curl_transfer.h"

namespace net {
namespace {

std::chrono::milliseconds Milliseconds(double seconds) {
  return std::chrono::milliseconds(static_cast<long long>(std::llround(seconds * 1000)));
}

TransferResult Refusal(TransferCause cause, std::string words) {
  TransferResult result;
  result.cause = cause;
  result.error = std::move(words);
  result.tries = 0;
  return result;
}

}  // namespace

bool IsRetryable(const TransferResult& result, bool post) {
  if (result.cause == TransferCause::kHttpStatus) {
    switch (result.status) {
      case 429:
      case 503: return true;
      case 408:
      case 500:
      case 502:
      case 504: return !post;
      default: return false;
    }
  }
  if (result.cause == TransferCause::kRefused) return true;
  return !post && (result.cause == TransferCause::kTimeout ||
                   result.cause == TransferCause::kConnectionLost);
}

PoliteTransfer::PoliteTransfer(Transfer& inner) : m_inner(inner) {}

void PoliteTransfer::SetOptions(const ConnectionOptions& options) {
  m_options = options;
  m_options.tries = std::max(options.tries, 1);
  m_agentToken = RobotsAgentToken(options.userAgent);
  m_servers.clear();
  m_waited = {};
}

bool PoliteTransfer::Wait(std::chrono::milliseconds duration) {
  if (duration <= std::chrono::milliseconds::zero()) return true;
  m_waited += duration;
  const Clock::time_point end = Clock::now() + duration;
  if (!m_hook) {
    std::this_thread::sleep_until(end);
    return true;
  }
  const auto slice = std::chrono::milliseconds(CurlTransfer::kHookIntervalMs);
  for (Clock::time_point now = Clock::now(); now < end; now = Clock::now()) {
    std::this_thread::sleep_for(std::min<Clock::duration>(slice, end - now));
    if (!m_hook()) return false;
  }
  return true;
}

bool PoliteTransfer::Pace(Server& server) {
  double seconds = m_options.delaySeconds;
  if (m_options.robots && server.robots.crawlDelay) {
    seconds = std::max(seconds, *server.robots.crawlDelay);
  }
  if (m_options.randomDelay && seconds > 0) {
    seconds *= std::uniform_real_distribution<double>(0.5, 1.5)(m_random);
  }
  if (!server.asked || seconds <= 0) return true;
  const auto due = server.lastAnswer + Milliseconds(seconds);
  const auto now = Clock::now();
  if (due <= now) return true;
  return Wait(std::chrono::ceil<std::chrono::milliseconds>(due - now));
}

std::chrono::milliseconds PoliteTransfer::RetryPause(const TransferResult& failed,
                                                     int triesSoFar) const {
  double seconds = m_options.retryWaitSeconds * std::pow(2.0, triesSoFar - 1);
  if (failed.retryAfterSeconds >= 0) {
    seconds = std::max(seconds, static_cast<double>(failed.retryAfterSeconds));
  }
  return Milliseconds(std::min(seconds, kLongestRetryPauseSeconds));
}

void PoliteTransfer::ReadRobots(const std::string& origin, Server& server) {
  server.robotsRead = true;
  // robots.txt is asked for by itself, named by no page.
  m_inner.SetLinkingPage({});
  const TransferResult answer = Attempt(origin + "/robots.txt", Method::kGet,
                                        [&] { return m_inner.GetText(origin + "/robots.txt"); });
  m_inner.SetLinkingPage(m_linkingPage);
  if (answer.ok) {
    server.robots = ParseRobots(answer.text, m_agentToken);
  } else if (answer.cause == TransferCause::kHttpStatus && answer.status >= 500) {
    // A server that cannot say what it allows is asked for nothing.
    server.robots.disallowAll = true;
  }
}

PoliteTransfer::Server* PoliteTransfer::Admit(const std::string& address,
                                              std::optional<TransferResult>& refusal) {
  const std::optional<AddressParts> parts = SplitAddress(address);
  if (!parts) return nullptr;
  const std::string origin = std::string(parts->secure ? "https://" : "http://") + parts->server +
                             ":" + std::to_string(parts->port);
  Server& server = m_servers[origin];
  if (m_options.robots && !server.robotsRead) ReadRobots(origin, server);
  if (m_options.robots && !server.robots.Allows(parts->object)) {
    refusal = Refusal(TransferCause::kRobots, "robots.txt keeps the address out");
  }
  return &server;
}

TransferResult PoliteTransfer::Attempt(const std::string& address, Method method,
                                       const std::function<TransferResult()>& once, int firstTry) {
  std::optional<TransferResult> refusal;
  Server* admitted = Admit(address, refusal);
  if (refusal) return *refusal;
  if (!admitted) return once();
  Server& server = *admitted;
  TransferResult result;
  for (int tries = firstTry;; ++tries) {
    if (!Pace(server)) return Refusal(TransferCause::kStopped, "the transfer was stopped");
    result = once();
    server.asked = true;
    server.lastAnswer = Clock::now();
    result.tries = tries;
    if (result.ok || tries >= m_options.tries || !IsRetryable(result, method == Method::kPost)) {
      return result;
    }
    if (!Wait(RetryPause(result, tries))) return result;
  }
}

TransferResult PoliteTransfer::GetText(const std::string& address) {
  return Attempt(address, Method::kGet, [&] { return m_inner.GetText(address); });
}

TransferResult PoliteTransfer::GetFormText(const std::string& body, const std::string& address) {
  return Attempt(address, Method::kGet, [&] { return m_inner.GetFormText(body, address); });
}

TransferResult PoliteTransfer::PostFormText(const std::string& body, const std::string& address) {
  return Attempt(address, Method::kPost, [&] { return m_inner.PostFormText(body, address); });
}

TransferResult PoliteTransfer::DownloadFile(const std::string& filePath,
                                            const std::string& address) {
  return Attempt(address, Method::kGet, [&] { return m_inner.DownloadFile(filePath, address); });
}

TransferResult PoliteTransfer::DownloadQueryFile(const std::string& filePath,
                                                 const std::string& address) {
  return Attempt(address, Method::kGet,
                 [&] { return m_inner.DownloadQueryFile(filePath, address); });
}

int PoliteTransfer::TransfersAtOnce() const {
  // A pause between requests to a server leaves nothing to overlap.
  if (m_options.delaySeconds > 0) return 1;
  return std::max(m_inner.TransfersAtOnce(), 1);
}

std::vector<TransferResult> PoliteTransfer::DownloadFiles(
    const std::vector<FileDownload>& downloads) {
  if (TransfersAtOnce() <= 1) return Transfer::DownloadFiles(downloads);
  std::vector<TransferResult> results(downloads.size());
  std::vector<FileDownload> admitted;
  std::vector<std::size_t> placed;
  bool paced = false;
  for (std::size_t i = 0; i < downloads.size(); ++i) {
    std::optional<TransferResult> refusal;
    const Server* server = Admit(downloads[i].address, refusal);
    if (refusal) {
      results[i] = *refusal;
      continue;
    }
    paced = paced || (server && server->robots.crawlDelay && *server->robots.crawlDelay > 0);
    admitted.push_back(downloads[i]);
    placed.push_back(i);
  }
  // A server whose robots.txt asks for a pause is asked one request at a time.
  if (paced) {
    for (std::size_t i : placed) results[i] = Transfer::DownloadFiles({downloads[i]}).front();
    return results;
  }
  std::vector<TransferResult> together = m_inner.DownloadFiles(admitted);
  for (std::size_t k = 0; k < placed.size(); ++k) {
    results[placed[k]] = Retried(downloads[placed[k]], std::move(together[k]));
  }
  return results;
}

TransferResult PoliteTransfer::Retried(const FileDownload& download, TransferResult first) {
  first.tries = 1;
  if (first.ok || m_options.tries <= 1 || !IsRetryable(first, false)) return first;
  if (!Wait(RetryPause(first, 1))) return first;
  m_inner.SetLinkingPage(download.linkingPage);
  TransferResult again = Attempt(
      download.address, Method::kGet,
      [&] {
        return download.query ? m_inner.DownloadQueryFile(download.filePath, download.address)
                              : m_inner.DownloadFile(download.filePath, download.address);
      },
      2);
  m_inner.SetLinkingPage(m_linkingPage);
  return again;
}

std::string PoliteTransfer::GetServerName(const std::string& address) {
  return m_inner.GetServerName(address);
}

void PoliteTransfer::SetLinkingPage(const std::string& address) {
  m_linkingPage = address;
  m_inner.SetLinkingPage(address);
}

}  // namespace net
