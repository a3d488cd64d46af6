// The texts of the connection options: Referer, seconds, rates and header lines.
#include "net/connection_options.h"

#include <charconv>
#include <cmath>
#include <cstdio>

#include "base/locations.h"
#include "net/address_split.h"

namespace net {
namespace {

constexpr double kLongestDelaySeconds = 24 * 60 * 60;

// A plain decimal number ("3", "0.25"), nothing before or after it.
std::optional<double> Decimal(std::string_view text) {
  if (text.empty() || text.front() == '+' || text.front() == '-') return std::nullopt;
  double value = 0;
  const auto [end, error] =
      std::from_chars(text.data(), text.data() + text.size(), value, std::chars_format::fixed);
  if (error != std::errc() || end != text.data() + text.size() || !std::isfinite(value)) {
    return std::nullopt;
  }
  return value;
}

bool IsTokenChar(char c) {
  if ((c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9')) return true;
  return std::string_view("!#$%&'*+-.^_`|~").find(c) != std::string_view::npos;
}

}  // namespace

ConnectionOptions ConnectionOptions::WithAbsolutePaths() const {
  ConnectionOptions absolute = *this;
  if (!loadCookies.empty()) absolute.loadCookies = base::AbsoluteFolder(loadCookies);
  if (!saveCookies.empty()) absolute.saveCookies = base::AbsoluteFolder(saveCookies);
  return absolute;
}

bool ParseReferer(std::string_view text, RefererMode& mode, std::string& address) {
  if (text.empty()) {
    mode = RefererMode::kNone;
    address.clear();
  } else if (text == "auto") {
    mode = RefererMode::kLinkingPage;
    address.clear();
  } else if (SplitAddress(text) && text.find_first_of("\r\n") == std::string_view::npos) {
    mode = RefererMode::kFixed;
    address = std::string(text);
  } else {
    return false;
  }
  return true;
}

std::string RefererText(RefererMode mode, const std::string& address) {
  switch (mode) {
    case RefererMode::kNone: return {};
    case RefererMode::kLinkingPage: return "auto";
    case RefererMode::kFixed: return address;
  }
  return {};
}

std::optional<double> ParseSeconds(std::string_view text) {
  const std::optional<double> value = Decimal(text);
  if (!value || *value > kLongestDelaySeconds) return std::nullopt;
  return value;
}

std::optional<std::int64_t> ParseRate(std::string_view text) {
  double unit = 1;
  if (!text.empty() && (text.back() == 'k' || text.back() == 'K')) unit = 1024;
  if (!text.empty() && (text.back() == 'm' || text.back() == 'M')) unit = 1024 * 1024;
  if (unit > 1) text.remove_suffix(1);
  const std::optional<double> value = Decimal(text);
  if (!value || *value * unit > 1e15) return std::nullopt;
  return static_cast<std::int64_t>(*value * unit);
}

bool IsHeaderLine(std::string_view line) {
  const std::size_t colon = line.find(':');
  if (colon == 0 || colon == std::string_view::npos) return false;
  for (const char c : line.substr(0, colon)) {
    if (!IsTokenChar(c)) return false;
  }
  return line.find_first_of("\r\n", colon) == std::string_view::npos &&
         line.find('\0') == std::string_view::npos;
}

std::string SecondsText(double seconds) {
  char text[32];
  const auto [end, error] = std::to_chars(text, text + sizeof text, seconds);
  return error == std::errc() ? std::string(text, end) : "0";
}

}  // namespace net
