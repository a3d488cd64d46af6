// Queueing one link under the crawl rules, and harvesting the links of one fetched page.
#include "download/link_harvester.h"

#include <optional>

#include <string>

#include "base/text.h"
#include "download/address_rules.h"
#include "download/link_scanner.h"

namespace download {

namespace {

using settings::Field;

// The enable and disable lists compare in upper case, entries in list order.
bool HoldsAnyEntry(const std::string& upperAddress, const std::vector<std::string>& entries) {
  for (const std::string& entry : entries) {
    if (base::Contains(upperAddress, base::ToUpper(entry))) return true;
  }
  return false;
}

bool PassesFilters(const std::string& address, const CrawlState& state,
                   const settings::FilterLists& filters) {
  const std::string upper = base::ToUpper(address);
  // Addresses under the start folder always pass the enable list.
  if (filters.m_enable && !base::Contains(address, state.m_startFolder) &&
      !HoldsAnyEntry(upper, filters.m_enableList)) {
    return false;
  }
  return !(filters.m_disable && HoldsAnyEntry(upper, filters.m_disableList));
}

bool IsUnderStartFolder(const std::string& address, const std::string& startFolder) {
  return base::StartsWithIgnoringCase(address, startFolder) && !address.starts_with('/');
}

struct Scan {
  std::string_view m_tagName;
  std::string_view m_attributeName;
  TagScanner::Mode m_mode;
  std::optional<QueueKind> m_kind;  // none: the kind follows from the link
  bool m_pumps;
};

// The five scans of a page, in order. A tag whose text holds the names of two scans is read by
// both (an img whose src is frame.gif is also a frame link).
constexpr Scan kScans[] = {
    {"img", "src", TagScanner::Mode::kTag, QueueKind::kSrc, true},
    {"body", "background", TagScanner::Mode::kTag, QueueKind::kSrc, false},
    {"a", "href", TagScanner::Mode::kAnchor, std::nullopt, true},
    {"option", "value", TagScanner::Mode::kTag, std::nullopt, true},
    {"frame", "src", TagScanner::Mode::kTag, QueueKind::kUrl, false},
};

// The search that gives a link the page's own letter case: the first place at or after `from`
// where the lowered value stands. Tags that nest or share their ">" give the same value at the
// same place to several calls in a row; the answer found for it holds for every later `from`
// up to that answer, because every `from` of a scan lies behind a "<" and so starts a
// character of the page however it is read. Each new value is searched in linear time, so no
// page makes the harvesting quadratic through this search.
class CaseSearch {
 public:
  int Find(const LoweredPage& page, const TagScanResult& found, int from) {
    const bool known = m_valueStart == found.m_valueStart && m_valueLength == found.m_valueLength &&
                       from >= m_from && (m_at < 0 || from <= m_at);
    if (!known) {
      m_valueStart = found.m_valueStart;
      m_valueLength = found.m_valueLength;
      m_from = from;
      m_at = page.FindLinear(page.text().substr(m_valueStart, m_valueLength), from);
    }
    return m_at;
  }

 private:
  int m_valueStart = -1;
  int m_valueLength = -1;
  int m_from = 0;
  int m_at = -1;
};

// The address that the page's links are resolved against: the href of its first base element
// (itself resolved against the page's address), else the page's own address.
std::string BaseAddressOf(const LoweredPage& page, std::string_view pageText,
                          std::string_view pageAddress) {
  TagScanner scanner(page, "base", "href", TagScanner::Mode::kTag);
  for (int from = 0;;) {
    const TagScanResult found = scanner.Next(from);
    if (found.m_end) return std::string(pageAddress);
    from = found.m_next;
    // The scanner finds "base" anywhere in a tag ("database.html"); a base element's tag starts
    // with its name.
    const std::string_view tag = page.text().substr(found.m_tagStart, found.m_tagLength);
    const bool baseElement = tag.size() > 5 && tag.starts_with("<base") &&
                             (tag[5] == ' ' || tag[5] == '\t' || tag[5] == '\n' || tag[5] == '\r' ||
                              tag[5] == '\f' || tag[5] == '/');
    if (!baseElement || found.m_valueLength == 0 || found.m_valueLength > kLongestLink) continue;
    const std::string href =
        DecodeCharacterReferences(pageText.substr(found.m_valueStart, found.m_valueLength));
    return ResolveLink(pageAddress, href);
  }
}

}  // namespace

bool QueueLink(CrawlState& state, const settings::OptionControls& options,
               const settings::FilterLists& filters, std::string_view baseAddress,
               std::string_view link, QueueKind kind) {
  const auto drop = [&state](DropReason reason) {
    ++state.m_dropped[static_cast<std::size_t>(reason)];
    return false;
  };
  std::string address = ResolveLink(baseAddress, link);
  if (address.empty()) return drop(DropReason::kUnresolved);
  if (options.IsOptionChecked(Field::kServer) && !base::Contains(address, state.m_startServer)) {
    return drop(DropReason::kOtherServer);
  }
  if (options.IsOptionChecked(Field::kFilter) && !PassesFilters(address, state, filters)) {
    return drop(DropReason::kFiltered);
  }
  if (base::Contains(base::ToLower(address), "mailto")) return drop(DropReason::kMail);
  if (options.IsOptionChecked(Field::kAnotherUrl) &&
      !IsUnderStartFolder(address, state.m_startFolder)) {
    return drop(DropReason::kOutsideStart);
  }
  if (!IsPageAddress(address) && !HasPageWord(address)) {
    return drop(DropReason::kNotALink);
  }
  if (base::Contains(address, "./")) return drop(DropReason::kDots);
  if (state.Contains(address)) return drop(DropReason::kDuplicate);
  state.Append(std::move(address), kind);
  return true;
}

QueueKind KindOfLink(std::string_view link) {
  if (base::FindChar(link, '?') != base::kNotFound) return QueueKind::kCgi;
  return IsPageAddress(link) ? QueueKind::kUrl : QueueKind::kSrc;
}

void HarvestLinks(CrawlState& state, convert::RunControls& controls,
                  const settings::FilterLists& filters, std::string_view pageAddress,
                  std::string_view pageText) {
  // The page is lower-cased once; every scan reads it from increasing positions instead of
  // cutting and lowering the rest of the page after each link.
  const std::string lowered = base::ToLower(pageText);
  const LoweredPage page(lowered);
  const std::string baseAddress = BaseAddressOf(page, pageText, pageAddress);
  for (const Scan& scan : kScans) {
    TagScanner scanner(page, scan.m_tagName, scan.m_attributeName, scan.m_mode);
    CaseSearch caseSearch;
    for (int from = 0;;) {
      const TagScanResult found = scanner.Next(from);
      if (found.m_end || state.size() >= state.m_entryLimit) break;
      if (scan.m_pumps) controls.PumpMessages();
      std::string link;
      if (found.m_valueLength > 0 && found.m_valueLength <= kLongestLink) {
        // The value comes from the lowered page; the page's own letter case is taken from the
        // first place in the rest of the page where the lowered value stands.
        const std::string_view value = page.text().substr(found.m_valueStart, found.m_valueLength);
        const int at = caseSearch.Find(page, found, from);
        link = std::string(at < 0 ? value : pageText.substr(at, value.size()));
      }
      from = found.m_next;
      if (link.empty()) continue;
      link = DecodeCharacterReferences(link);
      QueueLink(state, controls, filters, baseAddress, link,
                scan.m_kind.value_or(KindOfLink(link)));
    }
  }
}

}  // namespace download
