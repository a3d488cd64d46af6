// A plain, step-by-step transcription of the link scanner, the queueing rules and the page
// harvesting: it copies and lower-cases the rest of the page for every call and walks the whole
// queue for every link. Kept as the oracle that the fast code must agree with, and as the slow
// side of the harvesting benchmark.
#pragma once

#include <string>
#include <vector>

#include "base/text.h"
#include "base/tools.h"
#include "convert/run_controls.h"
#include "download/address_rules.h"
#include "download/link_harvester.h"
#include "download/link_scanner.h"
#include "settings/fields.h"

namespace transcription {

inline std::string FindTag(std::string html, std::string names, int& pos, char open, char close) {
  const std::string H = base::ToLower(html);
  const std::string N = base::ToLower(names);
  const int n = base::CountFields(N, ",");
  const std::string first = base::GetField(N, ",", 0);
  int o = base::Find(H, first, 1);
  while (o >= 0) {
    int u = o - 1;
    while (u >= 0 && H[u] != open) --u;
    if (u < 0) {
      o = base::Find(H, first, o + 1);
      continue;
    }
    const int e = base::FindChar(H, close, o);
    const std::string candidate = e < 0 ? std::string() : H.substr(u, e - u + 1);
    bool matches = true;
    for (int j = 1; j < n; ++j) {
      if (!base::Contains(candidate, base::GetField(N, ",", j))) matches = false;
    }
    if (matches) {
      pos = u;
      return candidate;
    }
    o = base::Find(H, first, o + 1);
  }
  return "";
}

inline int FirstFrom(const std::string& text, int from, bool (*test)(char)) {
  for (int x = from < 0 ? 0 : from; x < static_cast<int>(text.size()); ++x) {
    if (test(text[x])) return x;
  }
  return -1;
}

// The value before its first "#" that does not follow "&" (which begins a character reference).
inline std::string CutFragment(std::string value) {
  for (int hash = base::FindChar(value, '#'); hash >= 0;
       hash = base::FindChar(value, '#', hash + 1)) {
    if (hash == 0 || value[hash - 1] != '&') return value.substr(0, hash);
  }
  return value;
}

inline bool IsSpace(char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\f' || c == '\r'; }

// The value of the attribute whose name first occurs at `i` in X, whose tag's ">" is at `close`:
// behind the first "=" after the name and the spaces behind it; between quotes (up to `close`
// when the quote is never closed), or up to a space or `close`. Empty when the name has no "="
// inside the tag.
inline std::string ReadValue(const std::string& X, int i, int close) {
  if (i < 0) return "";
  const int e = FirstFrom(X, i + 1, [](char c) { return c == '='; });
  if (e < 0 || e >= close) return "";
  const int s = FirstFrom(X, e + 1, [](char c) { return !IsSpace(c); });
  if (s < 0 || s >= close) return "";
  int k = -1;
  if (X[s] == '"' || X[s] == '\'') {
    const char quote = X[s];
    k = base::FindChar(X, quote, s + 1);
    if (k < 0) k = close;
    return X.substr(s + 1, k - s - 1);
  }
  k = FirstFrom(X, s + 1, [](char c) { return IsSpace(c) || c == '>'; });
  if (k < 0 || k > close) k = close;
  return X.substr(s, k - s);
}

inline std::string GetTagAttribute(std::string html, std::string tagName, std::string attributeName,
                                   int& pos) {
  std::string names = tagName;
  if (!attributeName.empty()) names += "," + attributeName;
  const std::string T = FindTag(html, names, pos, '<', '>');
  if (T.empty()) return "END";
  // A quoted value may run past the tag's ">" to its closing quote: read it from the text.
  const std::string X = base::ToLower(html).substr(pos);
  const int i = base::Find(T, attributeName);
  const std::string value = ReadValue(X, i, static_cast<int>(T.size()) - 1);
  pos = pos + 1;
  return CutFragment(value);
}

inline std::string GetAnchorAttribute(std::string html, std::string tagName,
                                      std::string attributeName, int& pos, std::string& tagText) {
  std::string names = tagName;
  if (!attributeName.empty()) names += "," + attributeName;
  const std::string T = FindTag(html, names, pos, '<', '>');
  if (T.empty()) return "END";
  std::string X = html.substr(pos);
  int d = 0;
  const bool styleSheet = base::Contains(T, ".css");
  if (styleSheet) {
    X = base::ToLower(X);
  } else {
    tagText = T;
    d = base::Find(X, "</" + tagName + ">");
    if (d < 0) return "END";
  }
  const int i = base::Find(X, attributeName);
  const std::string value = ReadValue(X, i, static_cast<int>(T.size()) - 1);
  pos = pos + d + 1;
  return CutFragment(value);
}

struct Queue {
  std::vector<std::string> m_addressQueue;
  std::vector<std::string> m_kindQueue;
  int m_entryLimit = 0;
  std::string m_startFolder;
  std::string m_startServer;
};

inline void QueueLink(Queue& q, const settings::OptionControls& options,
                      const settings::FilterLists& filters, std::string pageAddress,
                      std::string link, std::string kind) {
  using settings::Field;
  const std::string A = download::ResolveLink(pageAddress, link);
  if (A.empty()) return;
  if (options.IsOptionChecked(Field::kServer) && !base::Contains(A, q.m_startServer)) return;
  if (options.IsOptionChecked(Field::kFilter)) {
    if (filters.m_enable == 1 && !base::Contains(A, q.m_startFolder)) {
      bool any = false;
      for (const auto& entry : filters.m_enableList) {
        if (base::Contains(base::ToUpper(A), base::ToUpper(entry))) any = true;
      }
      if (!any) return;
    }
    if (filters.m_disable == 1) {
      for (const auto& entry : filters.m_disableList) {
        if (base::Contains(base::ToUpper(A), base::ToUpper(entry))) return;
      }
    }
  }
  if (base::Contains(base::ToLower(A), "mailto")) return;
  if (options.IsOptionChecked(Field::kAnotherUrl)) {
    const std::string& F = q.m_startFolder;
    if (A.size() < F.size()) return;
    if (base::ToLower(A.substr(0, F.size())) != base::ToLower(F)) return;
    if (!A.empty() && A[0] == '/') return;
  }
  if (!download::IsPageAddress(A) && !download::HasPageWord(A)) return;
  if (base::Contains(A, "./")) return;
  for (const auto& queued : q.m_addressQueue) {
    if (queued == A) return;
  }
  q.m_addressQueue.push_back(A);
  q.m_kindQueue.push_back(kind);
}

// The address a page's links are resolved against: the href of the first tag that the tag rule
// finds for "base" and "href" and that is a base element (its text begins with "<base" and a
// space or "/"), with a value, resolved against the page; else the page's own address. The
// value is read at the same places from the page as written, so it keeps its letter case.
inline std::string BaseOf(const std::string& S, const std::string& P) {
  const std::string W = base::ToLower(S);
  for (int from = 0;;) {
    int pos = 0;
    const std::string T = FindTag(W.substr(from), "base,href", pos, '<', '>');
    if (T.empty()) return P;
    const int u = from + pos;
    from = u + 1;
    if (T.size() <= 5 || !T.starts_with("<base") || !(IsSpace(T[5]) || T[5] == '/')) continue;
    const std::string X = S.substr(u);
    const std::string L =
        CutFragment(ReadValue(X, base::Find(T, "href"), static_cast<int>(T.size()) - 1));
    if (L.empty() || static_cast<int>(L.size()) > download::kLongestLink) continue;
    return download::ResolveLink(P, download::DecodeCharacterReferences(L));
  }
}

inline void HarvestLinks(Queue& q, convert::RunControls& controls,
                         const settings::FilterLists& filters, const std::string& P,
                         const std::string& S) {
  struct Scan {
    const char* tag;
    const char* attribute;
    bool anchor;
    const char* kind;  // "" for the kind by the link
    bool pumps;
  };
  static const Scan scans[] = {{"img", "src", false, "src", true},
                               {"body", "background", false, "src", false},
                               {"a", "href", true, "", true},
                               {"option", "value", false, "", true},
                               {"frame", "src", false, "url", false}};
  const std::string B = BaseOf(S, P);
  for (const Scan& scan : scans) {
    std::string W = base::ToLower(S);
    std::string O = S;
    for (;;) {
      int pos = 0;
      std::string tagText;
      std::string L = scan.anchor ? GetAnchorAttribute(W, scan.tag, scan.attribute, pos, tagText)
                                  : GetTagAttribute(W, scan.tag, scan.attribute, pos);
      if (L == "END" || static_cast<int>(q.m_addressQueue.size()) >= q.m_entryLimit) break;
      if (scan.pumps) controls.PumpMessages();
      if (static_cast<int>(L.size()) > download::kLongestLink) L.clear();  // names nothing
      if (!L.empty()) {
        const int i = base::Find(W, L);
        if (i >= 0) L = O.substr(i, L.size());
      }
      W = W.substr(pos);
      O = O.substr(pos);
      if (L.empty()) continue;
      L = download::DecodeCharacterReferences(L);
      std::string kind = scan.kind;
      if (kind.empty()) {
        const std::string lower = base::ToLower(L);
        kind = base::Contains(lower, "?") ? "cgi" : download::IsPageAddress(lower) ? "url" : "src";
      }
      QueueLink(q, controls, filters, B, L, kind);
    }
  }
}

}  // namespace transcription
