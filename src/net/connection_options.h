// How a crawl's requests present themselves and how they treat a server: identity (agent name,
// Referer, extra headers, cookies, proxy), politeness (pauses, rate, robots.txt) and retries.
// The defaults change nothing: every request goes out as the fixed operations shape it.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace net {

// Which Referer a request names.
enum class RefererMode {
  kNone,         // no Referer header (the operations' own shape)
  kLinkingPage,  // the page whose link led to the address; none for the template's addresses
  kFixed,        // one fixed address for every request
};

// The longest pause the retries make, however many tries came before or what a server's
// Retry-After asks for: a server that wants more is tried again after this long.
inline constexpr double kLongestRetryPauseSeconds = 120;

struct ConnectionOptions {
  std::string userAgent;  // replaces every request's agent name; empty: each keeps its own
  RefererMode referer = RefererMode::kNone;
  std::string refererAddress;        // kFixed's address
  std::vector<std::string> headers;  // "Name: value" lines added to every request
  std::string loadCookies;           // Netscape cookies.txt read at the start (code-page-932 path)
  std::string saveCookies;           // where the run's cookies are written at its end; empty: not
  std::string proxy;                 // "host:port" or an address; empty: the environment's
  double delaySeconds = 0;           // pause between the end of one request and the next one
  bool randomDelay = false;          // the pause is drawn between 0.5 and 1.5 times the delay
  std::int64_t rateLimit = 0;        // bytes per second a transfer takes at most; 0: no limit
  int tries = 1;                     // tries of one request, the first included
  double retryWaitSeconds = 1;       // pause after the first failed try; doubled after each
  bool robots = false;               // robots.txt keeps addresses out and sets the pause
  int perServer = 1;                 // downloads under way at once per server (1: one at a time)

  // Whether the cookie engine runs: only when a cookie file is read or written.
  bool UsesCookies() const { return !loadCookies.empty() || !saveCookies.empty(); }
  // The cookie files taken against the current directory: a crawl makes its output folder
  // current, so a relative name must be fixed before it starts.
  ConnectionOptions WithAbsolutePaths() const;
};

// The texts of the command line and the settings file.
// "" -> none, "auto" -> the linking page, an http or https address -> that address; else nullopt.
bool ParseReferer(std::string_view text, RefererMode& mode, std::string& address);
std::string RefererText(RefererMode mode, const std::string& address);
// "0.2", "3", "1.5" seconds (0 to one day); nullopt for anything else.
std::optional<double> ParseSeconds(std::string_view text);
// "200k", "1.5m", "50000" bytes per second (k = 1024, m = 1024 * 1024); 0 allowed; else nullopt.
std::optional<std::int64_t> ParseRate(std::string_view text);
// A header line "Name: value" with a name of token characters and no line break.
bool IsHeaderLine(std::string_view line);
// The seconds as the shortest text that reads back the same ("0.2", "3").
std::string SecondsText(double seconds);

}  // namespace net
