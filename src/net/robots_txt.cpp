// A server's robots.txt: groups per crawler, path rules and the crawl delay.
#include "net/robots_txt.h"

#include <strings.h>

#include <charconv>
#include <cmath>

#include "net/connection_options.h"

namespace net {
namespace {

std::string_view Trimmed(std::string_view text) {
  const std::size_t first = text.find_first_not_of(" \t");
  if (first == std::string_view::npos) return {};
  return text.substr(first, text.find_last_not_of(" \t") - first + 1);
}

bool SameIgnoringCase(std::string_view a, std::string_view b) {
  return a.size() == b.size() && strncasecmp(a.data(), b.data(), a.size()) == 0;
}

bool IsNameChar(char c) {
  return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '-' ||
         c == '_';
}

// One "field: value" line, comment and blanks taken off; false for a line without a field.
bool SplitLine(std::string_view line, std::string_view& field, std::string_view& value) {
  line = line.substr(0, line.find('#'));
  const std::size_t colon = line.find(':');
  if (colon == std::string_view::npos) return false;
  field = Trimmed(line.substr(0, colon));
  value = Trimmed(line.substr(colon + 1));
  return !field.empty();
}

// What the reading collects: the rules of the groups that name the crawler and those of "*".
struct Collected {
  RobotsRules named;
  RobotsRules anyone;
  bool namedSeen = false;
  // The group being read: which of the two it feeds, and whether its rules have begun (a
  // user-agent line after a rule starts a new group).
  bool forNamed = false;
  bool forAnyone = false;
  bool inRules = false;

  void Agent(std::string_view name, std::string_view token) {
    if (inRules) forNamed = forAnyone = inRules = false;
    // A product name may carry a version ("Rendora/1.0"); the name before it is compared.
    std::size_t length = 0;
    while (length < name.size() && IsNameChar(name[length])) ++length;
    if (name == "*") {
      forAnyone = true;
    } else if (length > 0 && SameIgnoringCase(name.substr(0, length), token)) {
      forNamed = namedSeen = true;
    }
  }
  void Rule(bool allow, std::string_view pattern) {
    inRules = true;
    if (pattern.empty()) return;  // an empty Disallow forbids nothing, an empty Allow adds nothing
    for (RobotsRules* target : Targets()) target->rules.push_back({allow, std::string(pattern)});
  }
  void Delay(std::string_view text) {
    inRules = true;
    const std::optional<double> seconds = ParseSeconds(text);
    if (!seconds) return;
    for (RobotsRules* target : Targets()) target->crawlDelay = *seconds;
  }
  std::vector<RobotsRules*> Targets() {
    std::vector<RobotsRules*> targets;
    if (forNamed) targets.push_back(&named);
    if (forAnyone) targets.push_back(&anyone);
    return targets;
  }
};

}  // namespace

bool RobotsPatternMatches(std::string_view pattern, std::string_view object) {
  const bool anchored = !pattern.empty() && pattern.back() == '$';
  if (anchored) pattern.remove_suffix(1);
  // Greedy matching with one point to come back to: the last '*' seen and where in the object
  // it stopped. Each byte of the object is passed at most once per '*', so long patterns and
  // objects take time in proportion to their product at worst, never exponential time.
  std::size_t p = 0, o = 0;
  std::size_t star = std::string_view::npos, resume = 0;
  while (p < pattern.size() || (anchored && o < object.size())) {
    if (p < pattern.size() && pattern[p] == '*') {
      star = p++;
      resume = o;
    } else if (p < pattern.size() && o < object.size() && pattern[p] == object[o]) {
      ++p;
      ++o;
    } else if (star != std::string_view::npos && resume < object.size()) {
      p = star + 1;
      o = ++resume;
    } else {
      return false;
    }
  }
  return true;
}

bool RobotsRules::Allows(std::string_view object) const {
  if (object == "/robots.txt") return true;
  if (disallowAll) return false;
  std::size_t longest = 0;
  bool allowed = true;
  for (const PathRule& rule : rules) {
    if (!RobotsPatternMatches(rule.pattern, object)) continue;
    if (rule.pattern.size() > longest || (rule.pattern.size() == longest && rule.allow)) {
      longest = rule.pattern.size();
      allowed = rule.allow;
    }
  }
  return allowed;
}

RobotsRules ParseRobots(std::string_view text, std::string_view agentToken) {
  text = text.substr(0, kRobotsTextLimit);
  Collected collected;
  std::size_t start = 0;
  while (start < text.size()) {
    std::size_t end = text.find_first_of("\r\n", start);
    if (end == std::string_view::npos) end = text.size();
    const std::string_view line = text.substr(start, end - start);
    start = end + 1;
    std::string_view field, value;
    if (!SplitLine(line, field, value)) continue;
    if (SameIgnoringCase(field, "user-agent")) {
      collected.Agent(value, agentToken);
    } else if (SameIgnoringCase(field, "allow") || SameIgnoringCase(field, "disallow")) {
      collected.Rule(SameIgnoringCase(field, "allow"), value);
    } else if (SameIgnoringCase(field, "crawl-delay")) {
      collected.Delay(value);
    }
  }
  return collected.namedSeen ? std::move(collected.named) : std::move(collected.anyone);
}

std::string RobotsAgentToken(std::string_view userAgent) {
  std::size_t length = 0;
  while (length < userAgent.size() && IsNameChar(userAgent[length])) ++length;
  return length > 0 ? std::string(userAgent.substr(0, length)) : std::string("rendora");
}

}  // namespace net
