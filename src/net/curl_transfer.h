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

// What the last operation came to, with its cause, for diagnostics and tests.
struct TransferReport {
  long status = 0;     // the HTTP status of the last answer, 0 when none came
  std::string error;   // empty when the exchange itself succeeded; else why it did not
};

class CurlTransfer : public Transfer {
 public:
  explicit CurlTransfer(TransferLimits limits = {});

  int GetText(const std::string& address, int port, std::string& response) override;
  int GetFormText(const std::string& body, std::string& response, const std::string& address,
                  int port) override;
  int PostFormText(const std::string& body, std::string& response, const std::string& address,
                   int port) override;
  int DownloadFile(const std::string& filePath, const std::string& address, int port) override;
  int DownloadQueryFile(const std::string& filePath, const std::string& address,
                        int port) override;
  int GetServerName(const std::string& address, int port, std::string& server) override;

  const TransferReport& LastReport() const { return m_report; }

  // Answers are taken in pieces of this many bytes; a text keeps each piece up to its first
  // zero byte, a file gets every byte.
  static constexpr std::size_t kPieceSize = 1023;

 private:
  struct Request;
  struct Sink;
  int FormText(const char* agent, const char* verb, const std::string& body,
               std::string& response, const std::string& address);
  int ToFile(const Request& request, const std::string& filePath, const std::string& address);
  // Sends `request` and feeds the answer's body to `sink`; true when the exchange completed.
  bool Perform(const Request& request, const std::string& address, Sink& sink);

  TransferLimits m_limits;
  TransferReport m_report;
};

}  // namespace net
