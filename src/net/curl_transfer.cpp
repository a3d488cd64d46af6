// The HTTP operations of a crawl on libcurl.
#include "net/curl_transfer.h"

#include <algorithm>
#include <chrono>
#include <climits>
#include <cstdint>
#include <mutex>
#include <string_view>
#include <utility>

#include <curl/curl.h>

#include "base/file_system.h"
#include "net/address_split.h"
#include "net/curl_holder.h"
#include "net/output_file.h"
#include "net/part_file.h"

namespace net {

namespace {

constexpr const char* kEmptyCookieFile = "# Netscape HTTP Cookie File\n";
constexpr const char* kCookieFileUnwritable = "the cookie file cannot be written";

constexpr const char* kFormContentType = "Content-Type: application/x-www-form-urlencoded";

void InitializeCurlOnce() {
  static std::once_flag once;
  std::call_once(once, [] { curl_global_init(CURL_GLOBAL_DEFAULT); });
}

// Names the transfer outcomes that have no message of the library's own.
std::string LimitText(const char* what, std::uint64_t limit) {
  return std::string(what) + " is longer than " + std::to_string(limit) + " bytes";
}

// A finished exchange other than 200 fails its operation, as does, for GetText, a 200 answer
// without text; a failure found before keeps its own cause.
void RequireStatus200(TransferResult& result, bool needsText) {
  if (result.cause == TransferCause::kNone && result.status != 200) {
    result.cause = TransferCause::kHttpStatus;
  } else if (result.cause == TransferCause::kNone && needsText && result.text.empty()) {
    result.cause = TransferCause::kEmpty;
  }
  result.ok = result.cause == TransferCause::kNone;
}

// A result that failed before anything was sent.
TransferResult Failed(TransferCause cause, std::string text) {
  TransferResult result;
  result.cause = cause;
  result.error = std::move(text);
  return result;
}

}  // namespace

TransferCause CauseOfCurlCode(int code) {
  switch (static_cast<CURLcode>(code)) {
    case CURLE_OK: return TransferCause::kNone;
    case CURLE_OPERATION_TIMEDOUT: return TransferCause::kTimeout;
    case CURLE_COULDNT_RESOLVE_HOST:
    case CURLE_COULDNT_RESOLVE_PROXY: return TransferCause::kNameNotFound;
    case CURLE_COULDNT_CONNECT: return TransferCause::kRefused;
    case CURLE_RECV_ERROR:
    case CURLE_SEND_ERROR:
    case CURLE_PARTIAL_FILE:
    case CURLE_GOT_NOTHING: return TransferCause::kConnectionLost;
    case CURLE_PEER_FAILED_VERIFICATION:
    case CURLE_SSL_CONNECT_ERROR:
    case CURLE_SSL_CERTPROBLEM:
    case CURLE_SSL_CIPHER:
    case CURLE_SSL_CACERT_BADFILE:
    case CURLE_SSL_CRL_BADFILE:
    case CURLE_SSL_ISSUER_ERROR:
    case CURLE_SSL_PINNEDPUBKEYNOTMATCH:
    case CURLE_SSL_INVALIDCERTSTATUS:
    case CURLE_SSL_ENGINE_NOTFOUND:
    case CURLE_SSL_ENGINE_SETFAILED:
    case CURLE_SSL_ENGINE_INITFAILED:
    case CURLE_SSL_SHUTDOWN_FAILED:
    case CURLE_USE_SSL_FAILED: return TransferCause::kTls;
    case CURLE_FILESIZE_EXCEEDED: return TransferCause::kTooLarge;
    case CURLE_WRITE_ERROR: return TransferCause::kWriteError;
    case CURLE_ABORTED_BY_CALLBACK: return TransferCause::kStopped;
    case CURLE_URL_MALFORMAT:
    case CURLE_UNSUPPORTED_PROTOCOL: return TransferCause::kBadAddress;
    default: return TransferCause::kOther;
  }
}

// The fixed shape of one kind of request.
struct CurlTransfer::Request {
  const char* agent = "My Session";
  const char* verb = "GET";           // "GET" or "POST"
  bool http10 = false;                // HTTP/1.0 request line; else HTTP/1.1
  bool followRedirects = false;       // else a redirect answer is a status other than 200
  bool headerBlock = false;           // "Accept: text" and "User-Agent: HTML Get Sample"
  const std::string* body = nullptr;  // sent with the form Content-Type header, if any
};

namespace {

// GetText and DownloadFile: a plain GET that follows redirects and sends the header block.
constexpr CurlTransfer::Request kPageRequest{.followRedirects = true, .headerBlock = true};

}  // namespace

// Where the body of a 200 answer goes: a text taken in zero-terminated pieces, or a file.
struct CurlTransfer::Sink {
  CURL* curl = nullptr;
  std::string* text = nullptr;
  std::size_t textCap = 0;
  std::string piece;
  OutputFile* file = nullptr;
  std::uint64_t fileCap = 0;
  std::uint64_t bytes = 0;   // body bytes taken
  bool refused = false;      // the answer's status was not 200: its body is not wanted
  bool overCap = false;      // a text over textCap
  bool overFileCap = false;  // a file over fileCap
  bool writeFailed = false;
  // A continued download: the part, the byte its Range asked from (0: none), whether the body
  // has begun, and whether the server answered with another range than the one asked for.
  PartFile* part = nullptr;
  std::uint64_t asked = 0;
  bool started = false;
  bool otherRange = false;

  // The value of the last answer's header `name`; "" without one.
  std::string Header(const char* name) const {
    curl_header* header = nullptr;
    if (curl_easy_header(curl, name, 0, CURLH_HEADER, -1, &header) != CURLHE_OK) return {};
    return header->value;
  }

  // The first body bytes of a continued download: a 206 goes on from the part's end, a 200 (the
  // server ignored the range, or its file changed) starts the part over.
  bool StartPart(long status) {
    started = true;
    if (status == 206) {
      if (asked == 0 || RangeStart(Header("Content-Range")) != static_cast<long long>(asked)) {
        otherRange = true;
        return false;
      }
      bytes = asked;
      return part->StartAt(asked, part->Validator());
    }
    return part->StartAt(0, ValidatorOf(Header("ETag"), Header("Last-Modified")));
  }

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
    if (status != 200 && !(part && status == 206)) {
      refused = true;
      return false;
    }
    if (part && !started && !StartPart(status)) return false;
    if (part) {
      if (size > fileCap - bytes) {
        overFileCap = true;
        return false;
      }
      bytes += size;
      if (!part->Write(data, size)) writeFailed = true;
      return !writeFailed;
    }
    if (file) {
      if (size > fileCap - bytes) {
        overFileCap = true;
        return false;
      }
      bytes += size;
      if (!file->Write(data, size)) writeFailed = true;
      return !writeFailed;
    }
    bytes += size;
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

namespace {

// The options every request shares: where it goes, which protocols, and how long it may wait.
void SetConnection(CURL* curl, const std::string& url, const TransferLimits& limits,
                   CurlList& routes, char* errorText) {
  curl_easy_setopt(curl, CURLOPT_ERRORBUFFER, errorText);
  curl_easy_setopt(curl, CURLOPT_URL, url.c_str());
  curl_easy_setopt(curl, CURLOPT_NOSIGNAL, 1L);
  curl_easy_setopt(curl, CURLOPT_PROTOCOLS_STR, "http,https");
  curl_easy_setopt(curl, CURLOPT_REDIR_PROTOCOLS_STR, "http,https");
  curl_easy_setopt(curl, CURLOPT_PATH_AS_IS, 1L);  // the object goes out as the page wrote it
  curl_easy_setopt(curl, CURLOPT_FORBID_REUSE, 1L);
  curl_easy_setopt(curl, CURLOPT_CONNECTTIMEOUT, limits.connectTimeoutSeconds);
  curl_easy_setopt(curl, CURLOPT_LOW_SPEED_LIMIT, 1L);
  curl_easy_setopt(curl, CURLOPT_LOW_SPEED_TIME, limits.stallTimeoutSeconds);
  curl_easy_setopt(curl, CURLOPT_TIMEOUT, limits.totalTimeoutSeconds);
  if (!limits.certificateFile.empty()) {
    curl_easy_setopt(curl, CURLOPT_CAINFO, limits.certificateFile.c_str());
  }
  for (const auto& route : limits.routes) routes.Append(route);
  if (routes.get()) curl_easy_setopt(curl, CURLOPT_CONNECT_TO, routes.get());
}

// The options of one kind of request: version, agent, headers, body and redirects. A user agent
// of the connection options replaces the request's own agent name, the header block's included.
void SetRequestShape(CURL* curl, const CurlTransfer::Request& request, const std::string& agent,
                     CurlList& headers) {
  curl_easy_setopt(curl, CURLOPT_HTTP_VERSION,
                   request.http10 ? CURL_HTTP_VERSION_1_0 : CURL_HTTP_VERSION_1_1);
  // The agent name is the User-Agent of a request that carries none of its own; the header
  // block's "User-Agent: HTML Get Sample" is such a header of its own and is the one sent.
  curl_easy_setopt(curl, CURLOPT_USERAGENT, agent.empty() ? request.agent : agent.c_str());
  if (request.headerBlock) {
    headers.Append("Accept: text");
    if (agent.empty()) headers.Append("User-Agent: HTML Get Sample");
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
  if (request.followRedirects) {
    curl_easy_setopt(curl, CURLOPT_FOLLOWLOCATION, 1L);
    curl_easy_setopt(curl, CURLOPT_MAXREDIRS, 20L);
  }
}

// The identity the connection options add to every request: extra headers (after the request's
// own), Referer, proxy, rate limit and the shared cookie jar.
void SetIdentity(CURL* curl, const ConnectionOptions& connection, const std::string& referer,
                 CURLSH* cookies, CurlList& headers) {
  for (const std::string& line : connection.headers) headers.Append(line);
  curl_easy_setopt(curl, CURLOPT_HTTPHEADER, headers.get());
  if (!referer.empty()) curl_easy_setopt(curl, CURLOPT_REFERER, referer.c_str());
  // Without a proxy of its own the library takes the environment's (http_proxy, no_proxy, ...).
  if (!connection.proxy.empty()) curl_easy_setopt(curl, CURLOPT_PROXY, connection.proxy.c_str());
  if (connection.rateLimit > 0) {
    curl_easy_setopt(curl, CURLOPT_MAX_RECV_SPEED_LARGE,
                     static_cast<curl_off_t>(connection.rateLimit));
  }
  if (cookies) {
    curl_easy_setopt(curl, CURLOPT_SHARE, cookies);
    curl_easy_setopt(curl, CURLOPT_COOKIEFILE, "");  // the cookie engine, on the shared jar
  }
}

// How the transfers of a multi handle came to their end.
enum class MultiEnd { kDone, kStopped, kFailed };

// Runs every transfer of `multi` to its end, calling `hook` between waits of at most
// `intervalMs` (an empty hook is never called).
MultiEnd RunAll(CURLM* multi, const CurlTransfer::ProgressHook& hook, long intervalMs) {
  const auto interval = std::chrono::milliseconds(intervalMs);
  auto lastCall = std::chrono::steady_clock::now();
  for (int running = 1; running > 0;) {
    if (curl_multi_perform(multi, &running) != CURLM_OK) return MultiEnd::kFailed;
    if (running > 0) curl_multi_poll(multi, nullptr, 0, static_cast<int>(intervalMs), nullptr);
    const auto now = std::chrono::steady_clock::now();
    if (hook && running > 0 && now - lastCall >= interval) {
      lastCall = now;
      if (!hook()) return MultiEnd::kStopped;
    }
  }
  return MultiEnd::kDone;
}

// Runs the prepared transfer on `curl` to its end through a multi handle, so that `hook` is
// called between waits of at most `intervalMs`; `stopped` is set when the hook gave it up.
CURLcode PerformWithHook(CURL* curl, const CurlTransfer::ProgressHook& hook, long intervalMs,
                         bool& stopped) {
  CurlMulti multi;
  if (!multi || curl_multi_add_handle(multi.get(), curl) != CURLM_OK) return CURLE_FAILED_INIT;
  const MultiEnd end = RunAll(multi.get(), hook, intervalMs);
  stopped = end == MultiEnd::kStopped;
  CURLcode code = stopped                    ? CURLE_ABORTED_BY_CALLBACK
                  : end == MultiEnd::kFailed ? CURLE_FAILED_INIT
                                             : CURLE_OK;
  int queued = 0;
  while (const CURLMsg* message = curl_multi_info_read(multi.get(), &queued)) {
    if (end == MultiEnd::kDone && message->msg == CURLMSG_DONE) code = message->data.result;
  }
  curl_multi_remove_handle(multi.get(), curl);
  return code;
}

}  // namespace

CurlTransfer::CurlTransfer(TransferLimits limits) : m_limits(std::move(limits)) {
  InitializeCurlOnce();
}

CurlTransfer::~CurlTransfer() = default;

std::string CurlTransfer::Referer(const std::string& linkingPage) const {
  switch (m_connection.referer) {
    case RefererMode::kNone: return {};
    case RefererMode::kLinkingPage: return linkingPage;
    case RefererMode::kFixed: return m_connection.refererAddress;
  }
  return {};
}

bool CurlTransfer::SetConnectionOptions(const ConnectionOptions& options, std::string& error) {
  m_connection = options;
  m_cookies.reset();
  if (!options.UsesCookies()) return true;
  m_cookies = std::make_unique<CurlShare>();
  if (options.loadCookies.empty()) return true;
  const auto native = base::ToNativePath(options.loadCookies);
  if (!native || !base::ReadWholeFile(options.loadCookies)) {
    error = "the cookie file cannot be read";
    return false;
  }
  // A handle of its own reads the file into the shared jar once; the transfers then only use
  // the jar, so that cookies a server sets during the run are not read over again.
  CurlHandle loader;
  if (!loader) return true;
  curl_easy_setopt(loader.get(), CURLOPT_SHARE, m_cookies->get());
  curl_easy_setopt(loader.get(), CURLOPT_COOKIEFILE, native->c_str());
  curl_easy_setopt(loader.get(), CURLOPT_COOKIELIST, "RELOAD");
  return true;
}

bool CurlTransfer::SaveCookies(std::string& error) {
  if (!m_cookies || m_connection.saveCookies.empty()) return true;
  const auto native = base::ToNativePath(m_connection.saveCookies);
  if (!native) {
    error = kCookieFileUnwritable;
    return false;
  }
  {
    CurlHandle writer;
    if (!writer) {
      error = kCookieFileUnwritable;
      return false;
    }
    curl_easy_setopt(writer.get(), CURLOPT_SHARE, m_cookies->get());
    curl_slist* held = nullptr;
    curl_easy_getinfo(writer.get(), CURLINFO_COOKIELIST, &held);
    const CurlList cookies = CurlList::Adopt(held);
    // The library writes no file for an empty jar; the file then says that it holds none.
    if (!cookies.get()) {
      if (base::WriteFileAtomically(m_connection.saveCookies, kEmptyCookieFile)) return true;
      error = kCookieFileUnwritable;
      return false;
    }
    curl_easy_setopt(writer.get(), CURLOPT_COOKIEJAR, native->c_str());
    curl_easy_setopt(writer.get(), CURLOPT_COOKIELIST, "FLUSH");
  }
  // The library says nothing of a failed write: the file must be there now.
  if (!base::ReadWholeFile(m_connection.saveCookies)) {
    error = kCookieFileUnwritable;
    return false;
  }
  return true;
}

// What one request needs while it runs: its handle, its lists, its words and its body's sink.
struct CurlTransfer::Exchange {
  CurlHandle handle;
  CurlList headers;
  CurlList routes;
  char errorText[CURL_ERROR_SIZE] = {};
  Sink sink;
};

std::optional<TransferResult> CurlTransfer::Prepare(Exchange& exchange, const Request& request,
                                                    const std::string& address,
                                                    const std::string& referer) {
  const auto parts = SplitAddress(address);
  if (!parts) {
    return Failed(TransferCause::kBadAddress, "the address names no http or https server");
  }
  if (!exchange.handle) return Failed(TransferCause::kOther, "no transfer handle");
  CURL* curl = exchange.handle.get();
  SetConnection(curl, RequestAddress(*parts), m_limits, exchange.routes, exchange.errorText);
  if (exchange.sink.asked > 0) {
    // The rest of the part, only if the server's file is still the one the part came from.
    exchange.headers.Append("Range: bytes=" + std::to_string(exchange.sink.asked) + "-");
    exchange.headers.Append("If-Range: " + exchange.sink.part->Validator());
  }
  SetRequestShape(curl, request, m_connection.userAgent, exchange.headers);
  SetIdentity(curl, m_connection, referer, m_cookies ? m_cookies->get() : nullptr,
              exchange.headers);
  Sink& sink = exchange.sink;
  sink.curl = curl;
  sink.textCap = m_limits.textCap;
  sink.fileCap = m_limits.fileCap;
  if (sink.file) {
    // An answer that announces a longer body is refused before any of it comes.
    const std::uint64_t largest = std::min<std::uint64_t>(m_limits.fileCap, INT64_MAX);
    curl_easy_setopt(curl, CURLOPT_MAXFILESIZE_LARGE, static_cast<curl_off_t>(largest));
  }
  curl_easy_setopt(curl, CURLOPT_WRITEFUNCTION, &Sink::OnBody);
  curl_easy_setopt(curl, CURLOPT_WRITEDATA, &sink);
  return std::nullopt;
}

TransferResult CurlTransfer::Collect(Exchange& exchange, int code, bool stopped) {
  CURL* curl = exchange.handle.get();
  Sink& sink = exchange.sink;
  TransferResult result;
  curl_easy_getinfo(curl, CURLINFO_RESPONSE_CODE, &result.status);
  curl_off_t retryAfter = -1;
  if (curl_easy_getinfo(curl, CURLINFO_RETRY_AFTER, &retryAfter) == CURLE_OK && retryAfter >= 0 &&
      (result.status == 429 || result.status == 503)) {
    result.retryAfterSeconds = static_cast<long>(std::min<curl_off_t>(retryAfter, LONG_MAX));
  }
  // The last piece is shorter than a whole one; it is taken like the others.
  if (sink.text && !sink.overCap && !sink.piece.empty()) sink.FlushPiece();
  result.bytes = sink.bytes;
  Conclude(result, code, sink, stopped, exchange.errorText);
  result.ok = result.cause == TransferCause::kNone;
  return result;
}

TransferResult CurlTransfer::Perform(const Request& request, const std::string& address,
                                     Exchange& exchange) {
  if (std::optional<TransferResult> failed =
          Prepare(exchange, request, address, Referer(m_linkingPage))) {
    return *failed;
  }
  CURL* curl = exchange.handle.get();
  bool stopped = false;
  const CURLcode code = m_progressHook
                            ? PerformWithHook(curl, m_progressHook, kHookIntervalMs, stopped)
                            : curl_easy_perform(curl);
  return Collect(exchange, code, stopped);
}

void CurlTransfer::Conclude(TransferResult& result, int code, const Sink& sink, bool stopped,
                            const char* errorText) const {
  // Our own reasons to end a transfer come first: the library only saw a refused write or an
  // aborted wait where we know the cause.
  if (stopped) {
    result.cause = TransferCause::kStopped;
    result.error = "the transfer was stopped";
  } else if (sink.overCap) {
    result.cause = TransferCause::kTooLarge;
    result.error = LimitText("the text answer", m_limits.textCap);
  } else if (sink.overFileCap || code == CURLE_FILESIZE_EXCEEDED) {
    result.cause = TransferCause::kTooLarge;
    result.error = LimitText("the file", m_limits.fileCap);
  } else if (code == CURLE_OK || sink.refused) {
    result.cause = TransferCause::kNone;  // the exchange completed, whatever its status
  } else if (sink.otherRange) {
    result.cause = TransferCause::kOther;
    result.error = "the server answered another range than the one asked for";
  } else if (sink.writeFailed) {
    result.cause = TransferCause::kWriteError;
    result.error = "the file could not be written";
  } else {
    result.cause = CauseOfCurlCode(code);
    result.error = errorText[0] ? errorText : curl_easy_strerror(static_cast<CURLcode>(code));
  }
}

TransferResult CurlTransfer::GetText(const std::string& address) {
  std::string received;
  Exchange exchange;
  exchange.sink.text = &received;
  TransferResult result = Perform(kPageRequest, address, exchange);
  // What arrived before a failure is kept, as with every read that was already done.
  result.text = std::move(received);
  RequireStatus200(result, true);
  return result;
}

TransferResult CurlTransfer::FormText(const char* agent, const char* verb, const std::string& body,
                                      const std::string& address) {
  const Request request{.agent = agent, .verb = verb, .http10 = true, .body = &body};
  std::string received;
  Exchange exchange;
  exchange.sink.text = &received;
  TransferResult result = Perform(request, address, exchange);
  result.text = std::move(received);
  RequireStatus200(result, false);
  return result;
}

TransferResult CurlTransfer::GetFormText(const std::string& body, const std::string& address) {
  return FormText("GetServer", "GET", body, address);
}

TransferResult CurlTransfer::PostFormText(const std::string& body, const std::string& address) {
  return FormText("PostServer", "POST", body, address);
}

TransferResult CurlTransfer::ToFile(const Request& request, const std::string& filePath,
                                    const std::string& address) {
  if (m_continue) return ToPartFile(request, filePath, address, true);
  OutputFile file;
  if (!file.Open(filePath)) return Failed(TransferCause::kWriteError, "the file cannot be created");
  Exchange exchange;
  exchange.sink.file = &file;
  TransferResult result = Perform(request, address, exchange);
  FinishFile(result, file);
  return result;
}

void CurlTransfer::FinishFile(TransferResult& result, OutputFile& file) {
  RequireStatus200(result, false);
  // Only a whole 200 body takes the file's name; anything else leaves the empty file there.
  if (!file.Finish(result.ok) && result.error.empty()) {
    result.ok = false;
    result.cause = TransferCause::kWriteError;
    result.error = "the file could not be written";
  }
}

TransferResult CurlTransfer::ToPartFile(const Request& request, const std::string& filePath,
                                        const std::string& address, bool mayStartOver) {
  PartFile part;
  if (!part.Open(filePath)) return Failed(TransferCause::kWriteError, "the file cannot be created");
  Exchange exchange;
  Sink& sink = exchange.sink;
  sink.part = &part;
  sink.asked = part.ContinueFrom();
  TransferResult result = Perform(request, address, exchange);
  const bool joined = result.cause == TransferCause::kNone && result.status == 206 && sink.started;
  if (!joined) RequireStatus200(result, false);
  // 416: the part does not fit the server's file (longer than it, say).
  const bool cannotJoin = sink.otherRange || (sink.asked > 0 && result.status == 416);
  if (cannotJoin && mayStartOver) {
    part.Finish(PartFile::End::kDropped);
    return ToPartFile(request, filePath, address, false);
  }
  // A whole answer without a body starts the part over too.
  if (result.ok && !sink.started && !part.StartAt(0, {})) result.ok = false;
  const bool dropped = result.cause == TransferCause::kHttpStatus ||
                       result.cause == TransferCause::kTooLarge || cannotJoin;
  const PartFile::End end = result.ok ? PartFile::End::kWhole
                            : dropped ? PartFile::End::kDropped
                                      : PartFile::End::kBroken;
  if (!part.Finish(end) && result.ok) {
    result.ok = false;
    result.cause = TransferCause::kWriteError;
    result.error = "the file could not be written";
  }
  return result;
}

TransferResult CurlTransfer::DownloadFile(const std::string& filePath, const std::string& address) {
  return ToFile(kPageRequest, filePath, address);
}

TransferResult CurlTransfer::DownloadQueryFile(const std::string& filePath,
                                               const std::string& address) {
  // The address itself is the body of this request.
  const Request request{.http10 = true, .body = &address};
  return ToFile(request, filePath, address);
}

// One download of a run side by side: its request (which points at its own address), its file
// and its exchange, in one place that stays put while the multi handle runs it.
struct SideBySideJob {
  FileDownload download;
  CurlTransfer::Request request;
  OutputFile file;
  std::optional<TransferResult> early;  // failed before it was sent
  CURLcode code = CURLE_FAILED_INIT;    // how libcurl ended it
  bool done = false;                    // it came to an end before any stop
};

std::vector<TransferResult> CurlTransfer::DownloadFiles(
    const std::vector<FileDownload>& downloads) {
  // Continued downloads go one by one, each through its part.
  if (m_connection.perServer <= 1 || m_continue) return Transfer::DownloadFiles(downloads);
  CurlMulti multi;
  curl_multi_setopt(multi.get(), CURLMOPT_MAX_HOST_CONNECTIONS,
                    static_cast<long>(m_connection.perServer));
  std::vector<std::unique_ptr<SideBySideJob>> jobs;
  std::vector<std::unique_ptr<Exchange>> exchanges;
  for (const FileDownload& download : downloads) {
    auto& job = *jobs.emplace_back(std::make_unique<SideBySideJob>());
    Exchange& exchange = *exchanges.emplace_back(std::make_unique<Exchange>());
    job.download = download;
    job.request =
        download.query ? Request{.http10 = true, .body = &job.download.address} : kPageRequest;
    if (!job.file.Open(download.filePath)) {
      job.early = Failed(TransferCause::kWriteError, "the file cannot be created");
      continue;
    }
    exchange.sink.file = &job.file;
    job.early = Prepare(exchange, job.request, job.download.address, Referer(download.linkingPage));
    if (job.early) continue;
    // Side by side, a server's connections are kept for its next downloads.
    curl_easy_setopt(exchange.handle.get(), CURLOPT_FORBID_REUSE, 0L);
    curl_easy_setopt(exchange.handle.get(), CURLOPT_PRIVATE, &job);
    curl_multi_add_handle(multi.get(), exchange.handle.get());
  }
  const MultiEnd end = RunAll(multi.get(), m_progressHook, kHookIntervalMs);
  int queued = 0;
  while (const CURLMsg* message = curl_multi_info_read(multi.get(), &queued)) {
    SideBySideJob* job = nullptr;
    curl_easy_getinfo(message->easy_handle, CURLINFO_PRIVATE, &job);
    if (job && message->msg == CURLMSG_DONE) {
      job->code = message->data.result;
      job->done = true;
    }
  }
  // Every file takes its name in the order of the list: the later of two wins, as one by one.
  std::vector<TransferResult> results;
  for (std::size_t i = 0; i < jobs.size(); ++i) {
    SideBySideJob& job = *jobs[i];
    if (job.early) {
      results.push_back(*job.early);
      continue;
    }
    curl_multi_remove_handle(multi.get(), exchanges[i]->handle.get());
    // A download still under way when Stop came is stopped; one that ended stands.
    const bool stopped = end == MultiEnd::kStopped && !job.done;
    results.push_back(
        Collect(*exchanges[i], stopped ? CURLE_ABORTED_BY_CALLBACK : job.code, stopped));
    FinishFile(results.back(), job.file);
  }
  return results;
}

std::string CurlTransfer::GetServerName(const std::string& address) {
  const auto parts = SplitAddress(address);
  return parts ? parts->server : std::string();
}

}  // namespace net
