// The HTTP operations of a crawl, as one interface so that the crawl can be tested with fakes.
#pragma once

#include <string>

namespace net {

// Results are 1 for success (HTTP status 200 exactly) and 0 for failure. The port argument is a
// starting value only: the address's own port (or 80 for http, 443 for https) replaces it.
class Transfer {
 public:
  virtual ~Transfer() = default;
  // GET (agent "My Session"); appends the body to `response`; 1 when 200 and `response` is not
  // empty afterwards. Redirects are followed.
  virtual int GetText(const std::string& address, int port, std::string& response) = 0;
  // GET with HTTP/1.0 (agent "GetServer"), Content-Type form header and `body`; no redirects.
  virtual int GetFormText(const std::string& body, std::string& response,
                          const std::string& address, int port) = 0;
  // POST with HTTP/1.0 (agent "PostServer"), Content-Type form header and `body`; no redirects.
  virtual int PostFormText(const std::string& body, std::string& response,
                           const std::string& address, int port) = 0;
  // GET into the file `filePath` (created before any network activity); redirects followed.
  virtual int DownloadFile(const std::string& filePath, const std::string& address, int port) = 0;
  // GET with HTTP/1.0, Content-Type form header and the address as body, into `filePath`.
  virtual int DownloadQueryFile(const std::string& filePath, const std::string& address,
                                int port) = 0;
  // The server name of `address`; always 1.
  virtual int GetServerName(const std::string& address, int port, std::string& server) = 0;
};

}  // namespace net
