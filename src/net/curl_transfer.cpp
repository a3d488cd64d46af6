// The HTTP operations of a crawl on libcurl.
#include "net/curl_transfer.h"

#include <algorithm>
#include <cstdio>
#include <mutex>
#include <string_view>
#include <utility>

#include <curl/curl.h>

#include "base/file_system.h"
#include "net/address_split.h"
#include "net/curl_holder.h"

namespace net {

namespace {

constexpr const char* kFormContentType = "Content-Type: application/x-www-form-urlencoded";

void InitializeCurlOnce() {
  static std::once_flag once;
  std::call_once(once, [] { curl_global_init(CURL_GLOBAL_DEFAULT); });
}

// The output file of a download: created (or emptied) on Open, written directly, so that what
// arrived stays on disk whatever happens later.
class OutputFile {
 public:
  OutputFile() = default;
  ~OutputFile() { Close(); }
  OutputFile(const OutputFile&) = delete;
  OutputFile& operator=(const OutputFile&) = delete;

  bool Open(const std::string& cp932Path) {
    const auto native = base::ToNativePath(cp932Path);
    if (!native || native->empty()) return false;
    m_file = std::fopen(native->c_str(), "wb");
    return m_file != nullptr;
  }
  bool Write(const char* data, std::size_t size) {
    return std::fwrite(data, 1, size, m_file) == size;
  }
  // False when the last buffered bytes could not be written.
  bool Close() {
    if (!m_file) return true;
    const bool closed = std::fclose(std::exchange(m_file, nullptr)) == 0;
    return closed;
  }

 private:
  std::FILE* m_file = nullptr;
};

}  // namespace

// The fixed shape of one kind of request.
struct CurlTransfer::Request {
  const char* agent;
  const char* verb;          // "GET" or "POST"
  bool http10;               // HTTP/1.0 request line; else HTTP/1.1
  bool followRedirects;      // else a redirect answer is just a status other than 200
  bool headerBlock;          // "Accept: text" and "User-Agent: HTML Get Sample"
  const std::string* body;   // sent with the form Content-Type header; nullptr: no body
};

// Where the body of a 200 answer goes: a text taken in zero-terminated pieces, or a file.
struct CurlTransfer::Sink {
  CURL* curl = nullptr;
  std::string* text = nullptr;
  std::size_t textCap = 0;
  std::string piece;
  OutputFile* file = nullptr;
  bool refused = false;      // the answer's status was not 200: its body is not wanted
  bool overCap = false;
  bool writeFailed = false;

  // Appends the piece as the zero-terminated text it is read as: a zero byte ends it.
  bool FlushPiece() {
    const std::size_t kept = std::min(piece.find('\0'), piece.size());
    if (text->size() + kept > textCap) {
      overCap = true;
      return false;
    }
    text->append(piece, 0, kept);
    piece.clear();
    return true;
  }

  bool Take(const char* data, std::size_t size) {
    long status = 0;
    curl_easy_getinfo(curl, CURLINFO_RESPONSE_CODE, &status);
    if (status != 200) {
      refused = true;
      return false;
    }
    if (file) {
      if (!file->Write(data, size)) writeFailed = true;
      return !writeFailed;
    }
    while (size > 0) {
      const std::size_t room = kPieceSize - piece.size();
      const std::size_t taken = std::min(room, size);
      piece.append(data, taken);
      data += taken;
      size -= taken;
      if (piece.size() == kPieceSize && !FlushPiece()) return false;
    }
    return true;
  }

  static std::size_t OnBody(char* data, std::size_t size, std::size_t count, void* user) {
    const std::size_t total = size * count;
    if (total == 0) return 0;
    return static_cast<Sink*>(user)->Take(data, total) ? total : 0;
  }
};

CurlTransfer::CurlTransfer(TransferLimits limits) : m_limits(std::move(limits)) {
  InitializeCurlOnce();
}

bool CurlTransfer::Perform(const Request& request, const std::string& address, Sink& sink) {
  m_report = {};
  const auto parts = SplitAddress(address);
  if (!parts) {
    m_report.error = "the address names no http or https server";
    return false;
  }
  CurlHandle handle;
  CurlList headers;
  CurlList routes;
  if (!handle) {
    m_report.error = "no transfer handle";
    return false;
  }
  CURL* curl = handle.get();
  sink.curl = curl;
  sink.textCap = m_limits.textCap;

  const std::string url = RequestAddress(*parts);
  char errorText[CURL_ERROR_SIZE] = {};
  curl_easy_setopt(curl, CURLOPT_ERRORBUFFER, errorText);
  curl_easy_setopt(curl, CURLOPT_URL, url.c_str());
  curl_easy_setopt(curl, CURLOPT_NOSIGNAL, 1L);
  curl_easy_setopt(curl, CURLOPT_PROTOCOLS_STR, "http,https");
  curl_easy_setopt(curl, CURLOPT_REDIR_PROTOCOLS_STR, "http,https");
  curl_easy_setopt(curl, CURLOPT_PATH_AS_IS, 1L);  // the object goes out as the page wrote it
  curl_easy_setopt(curl, CURLOPT_FORBID_REUSE, 1L);
  curl_easy_setopt(curl, CURLOPT_HTTP_VERSION,
                   request.http10 ? CURL_HTTP_VERSION_1_0 : CURL_HTTP_VERSION_1_1);
  curl_easy_setopt(curl, CURLOPT_CONNECTTIMEOUT, m_limits.connectTimeoutSeconds);
  curl_easy_setopt(curl, CURLOPT_LOW_SPEED_LIMIT, 1L);
  curl_easy_setopt(curl, CURLOPT_LOW_SPEED_TIME, m_limits.stallTimeoutSeconds);
  if (!m_limits.certificateFile.empty()) {
    curl_easy_setopt(curl, CURLOPT_CAINFO, m_limits.certificateFile.c_str());
  }
  for (const auto& route : m_limits.routes) routes.Append(route);
  if (routes.get()) curl_easy_setopt(curl, CURLOPT_CONNECT_TO, routes.get());

  // The agent name is the User-Agent of a request that carries none of its own; the header
  // block's "User-Agent: HTML Get Sample" is such a header of its own and is the one sent.
  curl_easy_setopt(curl, CURLOPT_USERAGENT, request.agent);
  if (request.headerBlock) {
    headers.Append("Accept: text");
    headers.Append("User-Agent: HTML Get Sample");
  } else {
    headers.Append("Accept:");  // no list of accepted types
  }
  if (request.body) {
    headers.Append(kFormContentType);
    headers.Append("Expect:");  // the body goes out with the request, never on a 100 answer
    curl_easy_setopt(curl, CURLOPT_POSTFIELDSIZE_LARGE,
                     static_cast<curl_off_t>(request.body->size()));
    curl_easy_setopt(curl, CURLOPT_POSTFIELDS, request.body->data());
    if (std::string_view(request.verb) != "POST") {
      curl_easy_setopt(curl, CURLOPT_CUSTOMREQUEST, request.verb);
    }
  } else {
    curl_easy_setopt(curl, CURLOPT_HTTPGET, 1L);
  }
  curl_easy_setopt(curl, CURLOPT_HTTPHEADER, headers.get());
  if (request.followRedirects) {
    curl_easy_setopt(curl, CURLOPT_FOLLOWLOCATION, 1L);
    curl_easy_setopt(curl, CURLOPT_MAXREDIRS, 20L);
  }
  curl_easy_setopt(curl, CURLOPT_WRITEFUNCTION, &Sink::OnBody);
  curl_easy_setopt(curl, CURLOPT_WRITEDATA, &sink);

  const CURLcode code = curl_easy_perform(curl);
  curl_easy_getinfo(curl, CURLINFO_RESPONSE_CODE, &m_report.status);
  // The last piece is shorter than a whole one; it is taken like the others.
  if (sink.text && !sink.overCap && !sink.piece.empty()) sink.FlushPiece();
  if (sink.overCap) {
    m_report.error = "the text answer is longer than " + std::to_string(m_limits.textCap) +
                     " bytes";
    return false;
  }
  if (code == CURLE_OK || sink.refused) return true;
  if (sink.writeFailed) {
    m_report.error = "the file could not be written";
  } else {
    m_report.error = errorText[0] ? errorText : curl_easy_strerror(code);
  }
  return false;
}

int CurlTransfer::GetText(const std::string& address, int /*port*/, std::string& response) {
  static const Request kRequest{"My Session", "GET", false, true, true, nullptr};
  std::string received;
  Sink sink;
  sink.text = &received;
  const bool done = Perform(kRequest, address, sink);
  // What arrived before a failure is kept, as with every read that was already done.
  response += received;
  return done && m_report.status == 200 && !response.empty() ? 1 : 0;
}

int CurlTransfer::FormText(const char* agent, const char* verb, const std::string& body,
                           std::string& response, const std::string& address) {
  const Request request{agent, verb, true, false, false, &body};
  std::string received;
  Sink sink;
  sink.text = &received;
  const bool done = Perform(request, address, sink);
  // A request that drew no answer at all leaves the text of the call before.
  if (m_report.status != 0) response = std::move(received);
  return done && m_report.status == 200 ? 1 : 0;
}

int CurlTransfer::GetFormText(const std::string& body, std::string& response,
                              const std::string& address, int /*port*/) {
  return FormText("GetServer", "GET", body, response, address);
}

int CurlTransfer::PostFormText(const std::string& body, std::string& response,
                               const std::string& address, int /*port*/) {
  return FormText("PostServer", "POST", body, response, address);
}

int CurlTransfer::ToFile(const Request& request, const std::string& filePath,
                         const std::string& address) {
  m_report = {};
  OutputFile file;
  if (!file.Open(filePath)) {
    m_report.error = "the file cannot be created";
    return 0;
  }
  Sink sink;
  sink.file = &file;
  const bool done = Perform(request, address, sink);
  if (!file.Close()) {
    m_report.error = "the file could not be written";
    return 0;
  }
  return done && m_report.status == 200 ? 1 : 0;
}

int CurlTransfer::DownloadFile(const std::string& filePath, const std::string& address,
                               int /*port*/) {
  static const Request kRequest{"My Session", "GET", false, true, true, nullptr};
  return ToFile(kRequest, filePath, address);
}

int CurlTransfer::DownloadQueryFile(const std::string& filePath, const std::string& address,
                                    int /*port*/) {
  // The address itself is the body of this request.
  const Request request{"My Session", "GET", true, false, false, &address};
  return ToFile(request, filePath, address);
}

int CurlTransfer::GetServerName(const std::string& address, int /*port*/, std::string& server) {
  const auto parts = SplitAddress(address);
  server = parts ? parts->server : std::string();
  return 1;
}

}  // namespace net
