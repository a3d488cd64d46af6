// The HTTP operations of a crawl, as one interface so that the crawl can be tested with fakes.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace net {

// Why a transfer did not succeed, as a code a caller can act on; the words of the library (or
// ours, where it has none) stay beside it in TransferResult::error.
enum class TransferCause {
  kNone,            // the operation succeeded
  kHttpStatus,      // the exchange completed with a status other than 200
  kEmpty,           // a text operation's 200 answer had no text
  kTimeout,         // connecting, a stall or the whole transfer took too long
  kTooLarge,        // the text or the file passed its cap
  kStopped,         // the progress hook gave the transfer up
  kRefused,         // the server could not be connected to (refused or unreachable)
  kNameNotFound,    // the server's name does not resolve
  kTls,             // the secure connection failed, or its certificate did not check out
  kWriteError,      // the file could not be created or written
  kBadAddress,      // the address names no http or https server
  kConnectionLost,  // the connection broke before the answer was whole (reset, cut short)
  kRobots,          // the server's robots.txt keeps the address out; nothing was sent
  kOther,           // anything else the library reported (a broken answer)
};

// What one transfer came to. `ok` is the operation's success: HTTP status 200 exactly (and, for
// GetText, a text that is not empty); every other outcome is a failure, with its cause kept.
struct TransferResult {
  bool ok = false;
  long status = 0;          // the HTTP status of the last answer; 0 when none came
  std::uint64_t bytes = 0;  // body bytes of a 200 answer taken in (read, or written to the file)
  // The text operations: the answer's text, each piece up to its first zero byte. Only a 200
  // answer's body is taken; what arrived before a failure is kept.
  std::string text;
  TransferCause cause = TransferCause::kNone;  // kNone exactly when `ok`
  std::string error;  // empty when the exchange completed; else why it did not, in words
  int tries = 1;      // requests sent for this result, retries included
  // The pause the last answer's Retry-After asked for, in seconds; negative when it named none.
  long retryAfterSeconds = -1;
};

// One file of a run of downloads: DownloadQueryFile's request when `query`, else DownloadFile's.
struct FileDownload {
  std::string filePath;
  std::string address;
  bool query = false;
  std::string linkingPage = {};  // as SetLinkingPage names it for this download alone
};

// The port of an address is its own (or 80 for http, 443 for https).
class Transfer {
 public:
  virtual ~Transfer() = default;
  // GET (agent "My Session"); ok when 200 and the text is not empty. Redirects are followed.
  virtual TransferResult GetText(const std::string& address) = 0;
  // GET with HTTP/1.0 (agent "GetServer"), Content-Type form header and `body`; no redirects.
  virtual TransferResult GetFormText(const std::string& body, const std::string& address) = 0;
  // POST with HTTP/1.0 (agent "PostServer"), Content-Type form header and `body`; no redirects.
  virtual TransferResult PostFormText(const std::string& body, const std::string& address) = 0;
  // GET into the file `filePath` (created before any network activity); redirects followed.
  virtual TransferResult DownloadFile(const std::string& filePath, const std::string& address) = 0;
  // GET with HTTP/1.0, Content-Type form header and the address as body, into `filePath`.
  virtual TransferResult DownloadQueryFile(const std::string& filePath,
                                           const std::string& address) = 0;
  // The server name of `address`; empty when it names none. Nothing is sent.
  virtual std::string GetServerName(const std::string& address) = 0;
  // The page whose link the next requests follow; empty for an address of the template. It is
  // their Referer where the connection options ask for the linking page.
  virtual void SetLinkingPage(const std::string& address) {}

  // How many downloads DownloadFiles may have under way at once to one server (1: one after the
  // other, each exactly as DownloadFile or DownloadQueryFile sends it).
  virtual int TransfersAtOnce() const { return 1; }
  // The downloads, their results in the same order. However they overlap, every file ends as
  // the sequence would leave it: where two write one file, the later in the list wins.
  virtual std::vector<TransferResult> DownloadFiles(const std::vector<FileDownload>& downloads) {
    std::vector<TransferResult> results;
    for (const FileDownload& download : downloads) {
      SetLinkingPage(download.linkingPage);
      results.push_back(download.query ? DownloadQueryFile(download.filePath, download.address)
                                       : DownloadFile(download.filePath, download.address));
    }
    return results;
  }
};

}  // namespace net
