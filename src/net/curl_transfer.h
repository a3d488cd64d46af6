// The HTTP operations of a crawl on libcurl: one easy handle, one request and one answer per call.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "net/connection_options.h"
#include "net/transfer.h"

namespace net {

// The longest a transfer may take from start to end, however steadily its bytes come.
inline constexpr long kTransferTimeLimitSeconds = 5 * 60;
// The largest file a download may write; a larger answer fails its transfer.
inline constexpr std::uint64_t kDownloadSizeLimit = std::uint64_t{1} << 30;

// How long a transfer may take to connect, stand still or last, how much text and how large a
// file it takes, and where it finds its trust anchors. The defaults suit a crawl; tests shorten
// them.
struct TransferLimits {
  long connectTimeoutSeconds = 30;
  // A transfer that moves no byte for this long is given up (the server accepted and went quiet).
  long stallTimeoutSeconds = 60;
  // A transfer still under way after this long is given up (a server that sends slowly).
  long totalTimeoutSeconds = kTransferTimeLimitSeconds;
  // A text answer longer than this fails its transfer instead of filling the memory.
  std::size_t textCap = std::size_t{64} << 20;
  // A download whose body is longer than this fails; its file stays empty.
  std::uint64_t fileCap = kDownloadSizeLimit;
  // PEM file of the certificates that https servers are checked against; empty: the system's.
  std::string certificateFile;
  // "host:port:connect-host:connect-port" entries: requests for host:port go to the other
  // place, while names and certificates are still checked against host.
  std::vector<std::string> routes;
};

// The cause of a transfer that libcurl ended with `code` (a CURLcode) where no cap, file or
// hook of ours explains it; kNone for CURLE_OK.
TransferCause CauseOfCurlCode(int code);

class CurlShare;
class OutputFile;

class CurlTransfer : public Transfer {
 public:
  explicit CurlTransfer(TransferLimits limits = {});
  ~CurlTransfer() override;

  // The identity of the requests that follow: agent name, Referer, extra headers, proxy, rate
  // limit and cookies (the options' pauses, tries and robots.txt are the PoliteTransfer's). A
  // cookie file to read is read here, into the jar every later transfer shares. False, with
  // `error` in words, when that file cannot be read; the options are taken all the same.
  bool SetConnectionOptions(const ConnectionOptions& options, std::string& error);
  // Writes the jar's cookies to the options' file for saving, when one is named. False, with
  // `error` in words, when the file could not be written.
  bool SaveCookies(std::string& error);
  void SetLinkingPage(const std::string& address) override { m_linkingPage = address; }
  // With more than one per server, the downloads run side by side on one multi handle, at most
  // perServer at once to each server, reusing its connections; each file takes its name in the
  // order of the list once all are done.
  int TransfersAtOnce() const override { return m_connection.perServer; }
  std::vector<TransferResult> DownloadFiles(const std::vector<FileDownload>& downloads) override;

  TransferResult GetText(const std::string& address) override;
  TransferResult GetFormText(const std::string& body, const std::string& address) override;
  TransferResult PostFormText(const std::string& body, const std::string& address) override;
  TransferResult DownloadFile(const std::string& filePath, const std::string& address) override;
  TransferResult DownloadQueryFile(const std::string& filePath,
                                   const std::string& address) override;
  std::string GetServerName(const std::string& address) override;

  // With `on`, a download keeps a broken body as NAME.part and the next download of NAME asks
  // for the rest (Range, with If-Range and the validator the server gave), joining it, or
  // starts over when the server cannot continue.
  void SetContinueDownloads(bool on) { m_continue = on; }

  // Called again and again while a transfer waits for the network, at least every
  // kHookIntervalMs milliseconds from the start of a request to its end, on the thread that
  // runs the transfer: the place where a window handles its pending events, so that it stays
  // responsive (and Stop can be pressed) during a long transfer. Answering false gives the
  // transfer up at once; it then fails like any failed transfer, with its file left empty. An
  // empty hook (the default) waits inside the library without handing back control.
  using ProgressHook = std::function<bool()>;
  void SetProgressHook(ProgressHook hook) { m_progressHook = std::move(hook); }
  static constexpr long kHookIntervalMs = 50;

  // Answers are taken in pieces of this many bytes; a text keeps each piece up to its first
  // zero byte, a file gets every byte.
  static constexpr std::size_t kPieceSize = 1023;

  // The fixed shape of one kind of request (agent, verb, version, headers, body, redirects).
  struct Request;

 private:
  struct Sink;
  struct Exchange;
  TransferResult FormText(const char* agent, const char* verb, const std::string& body,
                          const std::string& address);
  TransferResult ToFile(const Request& request, const std::string& filePath,
                        const std::string& address);
  // ToFile through NAME.part; `mayStartOver`: a part the server cannot continue is dropped and
  // the whole file asked for once more.
  TransferResult ToPartFile(const Request& request, const std::string& filePath,
                            const std::string& address, bool mayStartOver);
  // Sends `request` and feeds the answer's body to `sink`; `ok` when the exchange completed
  // (whatever the status).
  TransferResult Perform(const Request& request, const std::string& address, Exchange& exchange);
  // Sets `exchange` up for `request` to `address`; the failure found before sending, if any.
  std::optional<TransferResult> Prepare(Exchange& exchange, const Request& request,
                                        const std::string& address, const std::string& referer);
  // The result of an exchange that libcurl ended with `code`.
  TransferResult Collect(Exchange& exchange, int code, bool stopped);
  // A download's file under its final name when the result is a whole 200 answer.
  static void FinishFile(TransferResult& result, OutputFile& file);
  // Sets the cause and its words of a finished exchange (kNone and no words when it completed).
  void Conclude(TransferResult& result, int code, const Sink& sink, bool stopped,
                const char* errorText) const;

  // The Referer of a request that follows a link of `linkingPage`, as the options give it.
  std::string Referer(const std::string& linkingPage) const;

  TransferLimits m_limits;
  ProgressHook m_progressHook;
  ConnectionOptions m_connection;
  std::string m_linkingPage;
  std::unique_ptr<CurlShare> m_cookies;  // the run's cookie jar; none when cookies are off
  bool m_continue = false;
};

}  // namespace net
