// The connection options in a settings file: their keys read into the options and written back.
#pragma once

#include <functional>
#include <optional>
#include <string>
#include <string_view>

#include "net/connection_options.h"
#include "settings/settings_keys.h"

namespace settings {

// The options the file holds; a missing value, or one that does not read (a Delay of "soon"),
// gives the option's default.
net::ConnectionOptions ReadConnection(const KeyFile& file);

// Writes connection key `key` from `options`; false when its write failed (the header list
// names each failed key to `failed` itself). Any other key writes nothing and gives true.
bool WriteConnectionKey(const KeyFile& file, Key key, const net::ConnectionOptions& options,
                        const std::function<void(std::string_view)>& failed);

// The connection options as the "接続設定" window shows them: texts as typed (code page 932).
struct ConnectionForm {
  std::string userAgent;
  net::RefererMode referer = net::RefererMode::kNone;
  std::string refererAddress;
  std::string headers;  // one header line per line
  std::string loadCookies;
  std::string saveCookies;
  std::string proxy;
  std::string delay;
  bool randomDelay = false;
  std::string limitRate;
  std::string tries;
  std::string retryWait;
  bool robots = false;
  std::string perServer;
};

ConnectionForm FormOf(const net::ConnectionOptions& options);
// The options the form gives, or the label of the first field that does not read (a fixed
// address that is none, a header line without "名前: 値", a delay of "soon", tries out of 1..100).
std::optional<resources::TextId> OptionsOf(const ConnectionForm& form,
                                           net::ConnectionOptions& options);

}  // namespace settings
