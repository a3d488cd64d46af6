// The identity the engine loads web pages with: the crawl's agent name, proxy and cookies.
#pragma once

#include <string>

typedef struct _WebKitWebView WebKitWebView;

namespace browser {

// What a crawl's options ask of the engine; empty texts leave the engine's own.
struct Identity {
  std::string userAgent;   // empty: the engine's own agent name
  std::string proxy;       // "host:port" or an address; empty: the environment's
  std::string cookieFile;  // a Netscape cookies.txt (code-page-932 path); empty: none
};

// Holds the engine's own copy of the cookie file while the engine keeps its cookies in it: the
// engine writes into the file it is given, and several engines (render workers) may read one
// file, so each takes a copy of its own, removed when the holder goes.
class EngineIdentity {
 public:
  EngineIdentity() = default;
  ~EngineIdentity();
  EngineIdentity(const EngineIdentity&) = delete;
  EngineIdentity& operator=(const EngineIdentity&) = delete;

  // Gives `view` (and the engine context it belongs to) the identity. False when the cookie
  // file could not be read or copied; the agent name and proxy are taken all the same.
  bool Apply(WebKitWebView* view, const Identity& identity);

 private:
  std::string m_cookieCopy;  // native path of the copy; empty without one
};

}  // namespace browser
