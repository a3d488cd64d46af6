// The link scanner on any page: each scanner call against the step-by-step transcription of its
// rules (value, position and tag text), and the whole-page scanner walk for every scan kind.
#include <cstdio>
#include <cstdlib>
#include <string>

#include "download/link_scanner.h"
#include "fuzz_input.h"
#include "reference/link_rules_transcription.h"

namespace {

// The transcription copies and lowers the rest of the page for every step: it runs on pages up
// to this size only, the fast code on every page.
constexpr std::size_t kReferenceLimit = 4096;

void Disagree(const char* what, const std::string& html, const std::string& fast,
              const std::string& slow) {
  std::fprintf(stderr, "%s disagree on a page of %zu bytes:\nfast: [%s]\nrules: [%s]\n", what,
               html.size(), fast.c_str(), slow.c_str());
  std::abort();
}

const char* const kCalls[][2] = {{"img", "src"},      {"body", "background"}, {"a", "href"},
                                 {"option", "value"}, {"frame", "src"},       {"a", ""}};

void CompareCalls(const std::string& html, const char* tag, const char* attribute) {
  int fastPos = -7, slowPos = -7;
  const std::string fast = download::GetTagAttribute(html, tag, attribute, fastPos);
  const std::string slow = transcription::GetTagAttribute(html, tag, attribute, slowPos);
  if (fast != slow || (fast != "END" && fastPos != slowPos)) {
    Disagree("tag values", html, fast + " @" + std::to_string(fastPos),
             slow + " @" + std::to_string(slowPos));
  }
  std::string fastTag = "unchanged", slowTag = "unchanged";
  fastPos = slowPos = -7;
  const std::string fastAnchor =
      download::GetAnchorAttribute(html, tag, attribute, fastPos, fastTag);
  const std::string slowAnchor =
      transcription::GetAnchorAttribute(html, tag, attribute, slowPos, slowTag);
  const bool positioned = fastAnchor != "END" || fastTag != "unchanged";
  if (fastAnchor != slowAnchor || fastTag != slowTag || (positioned && fastPos != slowPos)) {
    Disagree("anchor values", html, fastAnchor + " @" + std::to_string(fastPos) + " " + fastTag,
             slowAnchor + " @" + std::to_string(slowPos) + " " + slowTag);
  }
  fastPos = slowPos = -7;
  const std::string names = std::string(tag) + "," + attribute;
  const std::string fastFound = download::FindTag(html, names, fastPos, '<', '>');
  const std::string slowFound = transcription::FindTag(html, names, slowPos, '<', '>');
  if (fastFound != slowFound || fastPos != slowPos) Disagree("tags", html, fastFound, slowFound);
}

// A whole walk of the page: positions only grow and every value lies inside the page.
void Walk(const std::string& html, const char* tag, const char* attribute,
          download::TagScanner::Mode mode) {
  const std::string lowered = base::ToLower(html);
  const download::LoweredPage page(lowered);
  download::TagScanner scanner(page, tag, attribute, mode);
  for (int from = 0;;) {
    const download::TagScanResult found = scanner.Next(from);
    if (found.m_end) break;
    if (found.m_next <= from || found.m_valueStart < 0 || found.m_valueLength < 0 ||
        found.m_valueStart + found.m_valueLength > page.size()) {
      Disagree("walk", html, std::to_string(found.m_next), std::to_string(from));
    }
    from = found.m_next;
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  fuzzing::FuzzInput input(data, size);
  const unsigned choice = input.Byte();
  const std::string html = input.Rest();
  const auto& call = kCalls[choice % std::size(kCalls)];
  if (html.size() <= kReferenceLimit) CompareCalls(html, call[0], call[1]);
  Walk(html, call[0], call[1],
       choice & 0x80 ? download::TagScanner::Mode::kAnchor : download::TagScanner::Mode::kTag);
  return 0;
}
