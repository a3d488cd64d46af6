// The HTTP operations of a crawl on libcurl: one easy handle, one request and one answer per call.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

#include "net/transfer.h"

namespace net {

// How long a transfer may take to connect or stand still, how much text it holds, and where it
// finds its trust anchors. The defaults suit a crawl; tests shorten them.
struct TransferLimits {
  long connectTimeoutSeconds = 30;
  // A transfer that moves no byte for this long is given up (the server accepted and went quiet).
  long stallTimeoutSeconds = 60;
  // A text answer longer than this fails its transfer instead of filling the memory.
  std::size_t textCap = std::size_t{64} << 20;
  // PEM file of the certificates that https servers are checked against; empty: the system's.
  std::string certificateFile;
  // "host:port:connect-host:connect-port" entries: requests for host:port go to the other
  // place, while names and certificates are still checked against host.
  std::vector<std::string> routes;
};

class CurlTransfer : public Transfer {
 public:
  explicit CurlTransfer(TransferLimits limits = {});

  TransferResult GetText(const std::string& address) override;
  TransferResult GetFormText(const std::string& body, const std::string& address) override;
  TransferResult PostFormText(const std::string& body, const std::string& address) override;
  TransferResult DownloadFile(const std::string& filePath, const std::string& address) override;
  TransferResult DownloadQueryFile(const std::string& filePath,
                                   const std::string& address) override;
  std::string GetServerName(const std::string& address) override;

  // Answers are taken in pieces of this many bytes; a text keeps each piece up to its first
  // zero byte, a file gets every byte.
  static constexpr std::size_t kPieceSize = 1023;

  // The fixed shape of one kind of request (agent, verb, version, headers, body, redirects).
  struct Request;

 private:
  struct Sink;
  TransferResult FormText(const char* agent, const char* verb, const std::string& body,
                          const std::string& address);
  TransferResult ToFile(const Request& request, const std::string& filePath,
                        const std::string& address);
  // Sends `request` and feeds the answer's body to `sink`; `ok` when the exchange completed
  // (whatever the status).
  TransferResult Perform(const Request& request, const std::string& address, Sink& sink);

  TransferLimits m_limits;
};

}  // namespace net
