// The identity the engine loads web pages with: the crawl's agent name, proxy and cookies.
#include "browser/engine_identity.h"

#include <glib.h>
#include <unistd.h>
#include <webkit2/webkit2.h>

#include <cstdlib>

#include "base/file_system.h"

namespace browser {
namespace {

// The cookie file as the engine reads it. A cookie that lasts only as long as the session is
// written with the expiry 0, which the engine takes for long expired and drops: in the engine's
// copy such a cookie lasts a day from now, long enough for any run.
std::string ForTheEngine(const std::string& cookies) {
  const std::string tomorrow = std::to_string(g_get_real_time() / G_USEC_PER_SEC + 24 * 60 * 60);
  std::string copy;
  std::size_t start = 0;
  while (start < cookies.size()) {
    std::size_t end = cookies.find('\n', start);
    end = end == std::string::npos ? cookies.size() : end + 1;
    std::string line = cookies.substr(start, end - start);
    start = end;
    // domain, subdomains, path, secure, expiry, name, value: the expiry is the fifth field.
    std::size_t field = 0;
    for (int tab = 0; tab < 4 && field != std::string::npos; ++tab) {
      field = line.find('\t', field);
      if (field != std::string::npos) ++field;
    }
    if (field != std::string::npos && line.compare(field, 2, "0\t") == 0) {
      line.replace(field, 1, tomorrow);
    }
    copy += line;
  }
  return copy;
}

}  // namespace

EngineIdentity::~EngineIdentity() {
  if (!m_cookieCopy.empty()) ::unlink(m_cookieCopy.c_str());
}

bool EngineIdentity::Apply(WebKitWebView* view, const Identity& identity) {
  if (!view) return false;
  // Without a name of its own the engine sends its own agent name again (null restores it).
  webkit_settings_set_user_agent(webkit_web_view_get_settings(view),
                                 identity.userAgent.empty() ? nullptr : identity.userAgent.c_str());
  WebKitWebContext* context = webkit_web_view_get_context(view);
  WebKitWebsiteDataManager* data = webkit_web_context_get_website_data_manager(context);
  if (identity.proxy.empty()) {
    webkit_website_data_manager_set_network_proxy_settings(data, WEBKIT_NETWORK_PROXY_MODE_DEFAULT,
                                                           nullptr);
  } else {
    // The engine takes a proxy as an address; "host:port" is an http proxy, as for transfers.
    const bool hasScheme = identity.proxy.find("://") != std::string::npos;
    const std::string address = hasScheme ? identity.proxy : "http://" + identity.proxy;
    WebKitNetworkProxySettings* proxy = webkit_network_proxy_settings_new(address.c_str(), nullptr);
    webkit_website_data_manager_set_network_proxy_settings(data, WEBKIT_NETWORK_PROXY_MODE_CUSTOM,
                                                           proxy);
    webkit_network_proxy_settings_free(proxy);
  }
  if (identity.cookieFile.empty()) return true;
  const std::optional<std::string> read = base::ReadWholeFile(identity.cookieFile);
  if (!read) return false;
  const std::string cookies = ForTheEngine(*read);
  if (m_cookieCopy.empty()) {
    gchar* path = nullptr;
    const int fd = g_file_open_tmp("rendora-cookies-XXXXXX.txt", &path, nullptr);
    if (fd < 0) return false;
    ::close(fd);
    m_cookieCopy = path;
    g_free(path);
  }
  if (!g_file_set_contents(m_cookieCopy.c_str(), cookies.data(),
                           static_cast<gssize>(cookies.size()), nullptr)) {
    return false;
  }
  webkit_cookie_manager_set_persistent_storage(webkit_web_context_get_cookie_manager(context),
                                               m_cookieCopy.c_str(),
                                               WEBKIT_COOKIE_PERSISTENT_STORAGE_TEXT);
  return true;
}

}  // namespace browser
