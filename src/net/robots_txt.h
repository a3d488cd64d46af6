// A server's robots.txt: which objects a crawler may fetch, and the pause it asks for.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace net {

// Only this much of a robots.txt is read; rules beyond it are not seen.
inline constexpr std::size_t kRobotsTextLimit = 500 * 1024;

// The rules of the group that applies to one crawler.
struct RobotsRules {
  struct PathRule {
    bool allow = false;
    std::string pattern;  // '*' stands for any bytes, a final '$' for the object's end
  };
  std::vector<PathRule> rules;
  std::optional<double> crawlDelay;  // seconds, when the group names one
  bool disallowAll = false;          // the server could not say (it answered with an error)

  // Whether `object` (path and query, as in the request line) may be fetched: the rule with the
  // longest matching pattern decides, an Allow where an Allow and a Disallow tie; no match
  // allows. robots.txt itself is always allowed.
  bool Allows(std::string_view object) const;
};

// Reads a robots.txt for the crawler named `agentToken` (the product name of its agent, matched
// in any letter case): the groups that name it, or else the groups of "*". Lines end in LF, CR
// or CRLF; '#' starts a comment; field names are read in any letter case; unknown lines are
// passed over. Never fails: a text without usable rules allows everything.
RobotsRules ParseRobots(std::string_view text, std::string_view agentToken);

// The product name a robots.txt knows a crawler by: the agent's first word up to '/' (letters,
// digits, '-' and '_'), or "rendora" when the agent has none.
std::string RobotsAgentToken(std::string_view userAgent);

// Whether `pattern` (with '*' and a final '$') matches the start of `object`.
bool RobotsPatternMatches(std::string_view pattern, std::string_view object);

}  // namespace net
