// robots.txt of any content for any crawler name and object: reading never fails, robots.txt
// itself stays allowed, a crawl delay is a real pause, and every decision equals the one that a
// plain table-filling match of the same rules gives.
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "fuzz_input.h"
#include "net/robots_txt.h"

namespace {

void Fail(const char* what, const std::string& text) {
  std::fprintf(stderr, "%s: [%s]\n", what, text.c_str());
  std::abort();
}

// Whether `pattern` matches a prefix of `object` ('*' any bytes, a final '$' the end), by
// filling the table of "pattern[i..] matches from object[j..]" from the back.
bool ReferenceMatch(std::string pattern, const std::string& object) {
  const bool anchored = !pattern.empty() && pattern.back() == '$';
  if (anchored) pattern.pop_back();
  const std::size_t p = pattern.size(), o = object.size();
  std::vector<std::vector<char>> table(p + 1, std::vector<char>(o + 1, 0));
  for (std::size_t j = 0; j <= o; ++j) table[p][j] = !anchored || j == o;
  for (std::size_t i = p; i-- > 0;) {
    for (std::size_t j = o + 1; j-- > 0;) {
      if (pattern[i] == '*') {
        table[i][j] = table[i + 1][j] || (j < o && table[i][j + 1]);
      } else {
        table[i][j] = j < o && pattern[i] == object[j] && table[i + 1][j + 1];
      }
    }
  }
  return table[0][0];
}

bool ReferenceAllows(const net::RobotsRules& rules, const std::string& object) {
  if (object == "/robots.txt") return true;
  if (rules.disallowAll) return false;
  std::size_t longest = 0;
  bool allowed = true;
  for (const auto& rule : rules.rules) {
    if (!ReferenceMatch(rule.pattern, object)) continue;
    if (rule.pattern.size() > longest || (rule.pattern.size() == longest && rule.allow)) {
      longest = rule.pattern.size();
      allowed = rule.allow;
    }
  }
  return allowed;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  fuzzing::FuzzInput input(data, size);
  const std::string agent = input.Part();
  const std::string object = input.Part();
  const std::string pattern = input.Part();
  const std::string text = input.Rest();

  if (net::RobotsPatternMatches(pattern, object) != ReferenceMatch(pattern, object)) {
    Fail("pattern match differs", pattern + " | " + object);
  }
  const net::RobotsRules rules = net::ParseRobots(text, net::RobotsAgentToken(agent));
  if (!rules.Allows("/robots.txt")) Fail("robots.txt kept out", text);
  if (rules.crawlDelay && (!std::isfinite(*rules.crawlDelay) || *rules.crawlDelay < 0)) {
    Fail("crawl delay", text);
  }
  for (const auto& rule : rules.rules) {
    if (rule.pattern.empty()) Fail("empty pattern kept", text);
  }
  if (rules.Allows(object) != ReferenceAllows(rules, object)) Fail("decision differs", object);
  return 0;
}
