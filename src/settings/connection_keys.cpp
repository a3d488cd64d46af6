// The connection options in a settings file.
#include "settings/connection_keys.h"

#include <string>

#include "base/text.h"

namespace settings {

net::ConnectionOptions ReadConnection(const KeyFile& file) {
  net::ConnectionOptions options;
  options.userAgent = file.Text(DefinitionOf(Key::kUserAgent));
  if (!net::ParseReferer(file.Text(DefinitionOf(Key::kReferer)), options.referer,
                         options.refererAddress)) {
    options.referer = net::RefererMode::kNone;
  }
  for (std::string& line : file.List(DefinitionOf(Key::kHeaders))) {
    if (net::IsHeaderLine(line)) options.headers.push_back(std::move(line));
  }
  options.loadCookies = file.Text(DefinitionOf(Key::kLoadCookies));
  options.saveCookies = file.Text(DefinitionOf(Key::kSaveCookies));
  options.proxy = file.Text(DefinitionOf(Key::kProxy));
  options.delaySeconds =
      net::ParseSeconds(file.Text(DefinitionOf(Key::kDelay))).value_or(options.delaySeconds);
  options.randomDelay = file.Switch(DefinitionOf(Key::kRandomDelay));
  options.rateLimit =
      net::ParseRate(file.Text(DefinitionOf(Key::kLimitRate))).value_or(options.rateLimit);
  options.tries = file.Integer(DefinitionOf(Key::kTries));
  options.retryWaitSeconds = net::ParseSeconds(file.Text(DefinitionOf(Key::kRetryWait)))
                                 .value_or(options.retryWaitSeconds);
  options.robots = file.Switch(DefinitionOf(Key::kRobots));
  options.perServer = file.Integer(DefinitionOf(Key::kPerServer));
  return options;
}

bool WriteConnectionKey(const KeyFile& file, Key key, const net::ConnectionOptions& options,
                        const std::function<void(std::string_view)>& failed) {
  const KeyDefinition& definition = DefinitionOf(key);
  switch (key) {
    case Key::kUserAgent: return file.WriteText(definition, options.userAgent);
    case Key::kReferer:
      return file.WriteText(definition, net::RefererText(options.referer, options.refererAddress));
    case Key::kHeaders: file.WriteList(definition, options.headers, failed); return true;
    case Key::kLoadCookies: return file.WriteText(definition, options.loadCookies);
    case Key::kSaveCookies: return file.WriteText(definition, options.saveCookies);
    case Key::kProxy: return file.WriteText(definition, options.proxy);
    case Key::kDelay: return file.WriteText(definition, net::SecondsText(options.delaySeconds));
    case Key::kRandomDelay: return file.WriteSwitch(definition, options.randomDelay);
    case Key::kLimitRate: return file.WriteText(definition, std::to_string(options.rateLimit));
    case Key::kTries: return file.WriteInteger(definition, options.tries);
    case Key::kRetryWait:
      return file.WriteText(definition, net::SecondsText(options.retryWaitSeconds));
    case Key::kRobots: return file.WriteSwitch(definition, options.robots);
    case Key::kPerServer: return file.WriteInteger(definition, options.perServer);
    default: return true;
  }
}

ConnectionForm FormOf(const net::ConnectionOptions& options) {
  ConnectionForm form;
  form.userAgent = options.userAgent;
  form.referer = options.referer;
  form.refererAddress = options.refererAddress;
  for (const std::string& line : options.headers) form.headers += line + "\n";
  form.loadCookies = options.loadCookies;
  form.saveCookies = options.saveCookies;
  form.proxy = options.proxy;
  form.delay = net::SecondsText(options.delaySeconds);
  form.randomDelay = options.randomDelay;
  form.limitRate = std::to_string(options.rateLimit);
  form.tries = std::to_string(options.tries);
  form.retryWait = net::SecondsText(options.retryWaitSeconds);
  form.robots = options.robots;
  form.perServer = std::to_string(options.perServer);
  return form;
}

namespace {

// The header lines of a text, blank lines left out; false at the first that is no header line.
bool HeaderLines(const std::string& text, std::vector<std::string>& lines) {
  lines.clear();
  std::size_t start = 0;
  while (start < text.size()) {
    std::size_t end = text.find('\n', start);
    if (end == std::string::npos) end = text.size();
    std::string line = text.substr(start, end - start);
    start = end + 1;
    if (!line.empty() && line.back() == '\r') line.pop_back();
    if (line.find_first_not_of(" \t") == std::string::npos) continue;
    if (!net::IsHeaderLine(line)) return false;
    lines.push_back(std::move(line));
  }
  return true;
}

}  // namespace

std::optional<resources::TextId> OptionsOf(const ConnectionForm& form,
                                           net::ConnectionOptions& options) {
  using resources::TextId;
  net::ConnectionOptions read;
  read.userAgent = form.userAgent;
  read.referer = form.referer;
  if (form.referer == net::RefererMode::kFixed &&
      (!net::ParseReferer(form.refererAddress, read.referer, read.refererAddress) ||
       read.referer != net::RefererMode::kFixed)) {
    return TextId::kConnectionRefererFixed;
  }
  if (!HeaderLines(form.headers, read.headers)) return TextId::kConnectionHeaders;
  read.loadCookies = form.loadCookies;
  read.saveCookies = form.saveCookies;
  read.proxy = form.proxy;
  const std::optional<double> delay = net::ParseSeconds(form.delay);
  if (!delay) return TextId::kConnectionDelay;
  read.delaySeconds = *delay;
  read.randomDelay = form.randomDelay;
  const std::optional<std::int64_t> rate = net::ParseRate(form.limitRate);
  if (!rate) return TextId::kConnectionLimitRate;
  read.rateLimit = *rate;
  const int tries = base::ToInt(form.tries);
  if (tries < 1 || tries > 100) return TextId::kConnectionTries;
  read.tries = tries;
  const std::optional<double> retryWait = net::ParseSeconds(form.retryWait);
  if (!retryWait) return TextId::kConnectionRetryWait;
  read.retryWaitSeconds = *retryWait;
  read.robots = form.robots;
  const int perServer = base::ToInt(form.perServer);
  if (perServer < 1 || perServer > 16) return TextId::kConnectionPerServer;
  read.perServer = perServer;
  options = std::move(read);
  return std::nullopt;
}

}  // namespace settings
