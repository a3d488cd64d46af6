// The run's report to look at: one HTML page of thumbnails, outcomes and totals.
#include "convert/html_report.h"

#include <cstdio>
#include <filesystem>

#include "base/encoding.h"
#include "base/file_system.h"
#include "base/tools.h"
#include "resources/texts.h"
#include "settings/profile_file.h"
#include "settings/settings_keys.h"

namespace convert {
namespace {

using resources::TextId;

std::string Escaped(std::string_view text) {
  std::string out;
  for (const char c : text) {
    switch (c) {
      case '&': out += "&amp;"; break;
      case '<': out += "&lt;"; break;
      case '>': out += "&gt;"; break;
      case '"': out += "&quot;"; break;
      default: out += c;
    }
  }
  return out;
}

// A system text as the page shows it (UTF-8, escaped).
std::string Shown(const std::string& cp932) { return Escaped(base::ToDisplayUtf8(cp932)); }

std::string_view OutcomeWord(EntryOutcome outcome) {
  switch (outcome) {
    case EntryOutcome::kWritten: return resources::TextUtf8(TextId::kCliWritten);
    case EntryOutcome::kFailed: return resources::TextUtf8(TextId::kCliFailed);
    case EntryOutcome::kSkipped: return resources::TextUtf8(TextId::kCliSkipped);
    case EntryOutcome::kIncomplete: return resources::TextUtf8(TextId::kCliIncomplete);
  }
  return {};
}

std::string Colour(std::uint32_t rgb) {
  char text[8];
  std::snprintf(text, sizeof text, "#%06X", static_cast<unsigned>(rgb & 0xFFFFFF));
  return text;
}

std::string Style() {
  return "body{font-family:sans-serif;margin:16px;background:#fff;color:#222}"
         "h1{font-size:20px;margin:0 0 8px}.totals{margin:0 0 16px;font-size:14px}"
         ".entries{display:flex;flex-wrap:wrap;gap:12px;align-items:flex-start}"
         ".entry{width:172px;padding:6px;border:1px solid #ccc;background:#f7f7f7;"
         "font-size:12px;overflow-wrap:anywhere}"
         ".entry.failed{background:" +
         Colour(kFailureColour) +
         ";border-color:#c62828}"
         ".entry.incomplete{background:#fff3c4}.entry.skipped{background:#e6e6e6}"
         ".entry img{display:block;border:1px solid #999;background:#fff}"
         ".none{width:160px;height:40px;border:1px dashed #999}"
         ".outcome{font-weight:bold;margin-top:4px}";
}

// The path of `native` as a link from `folder`: relative where it can be, percent-encoded.
std::string LinkTo(const std::filesystem::path& folder, const std::string& cp932) {
  const auto native = base::ToNativePath(cp932);
  if (!native) return {};
  std::error_code error;
  const std::filesystem::path absolute = std::filesystem::absolute(*native, error);
  std::filesystem::path relative = absolute.lexically_relative(folder);
  if (relative.empty()) relative = absolute;
  return Escaped(base::PercentEncodePath(relative.generic_string()));
}

}  // namespace

std::string ReportPathOf(const std::string& settingsPath, const std::string& outputFolder) {
  const settings::ProfileFile profile;
  const std::string named = settings::KeyFile(profile, settingsPath)
                                .Text(settings::DefinitionOf(settings::Key::kReportHtml));
  if (named.empty() || named.front() == base::kPathSeparator || outputFolder.empty()) return named;
  return base::WithTrailingSeparator(outputFolder) + named;
}

HtmlReport::HtmlReport(std::string path, ThumbnailMaker thumbnails)
    : m_path(std::move(path)), m_thumbnails(std::move(thumbnails)) {
  // A run makes its output folder current: the report's place is fixed before it starts.
  std::error_code error;
  if (const auto native = base::ToNativePath(m_path)) {
    const std::filesystem::path absolute = std::filesystem::absolute(*native, error);
    m_path = base::FromNativeName(absolute.string());
    m_folder = absolute.parent_path().string();
  }
}

void HtmlReport::Add(const EntryRecord& record) {
  Entry entry{record, {}};
  if (record.output && m_thumbnails) entry.thumbnail = m_thumbnails(*record.output);
  m_entries.push_back(std::move(entry));
}

std::string HtmlReport::EntryHtml(const Entry& entry) const {
  const EntryRecord& record = entry.record;
  std::string html = "<div class=\"entry " + std::string(OutcomeName(record.outcome)) + "\">";
  std::string picture = "<div class=\"none\"></div>";
  if (!entry.thumbnail.png.empty()) {
    picture = "<img alt=\"\" width=\"" + std::to_string(entry.thumbnail.width) + "\" height=\"" +
              std::to_string(entry.thumbnail.height) + "\" src=\"data:image/png;base64," +
              base::Base64(entry.thumbnail.png) + "\">";
  }
  if (record.output) {
    html += "<a href=\"" + LinkTo(m_folder, *record.output) + "\">" + picture + "</a>";
  } else {
    html += picture;
  }
  html += "<div class=\"outcome\">" + std::string(OutcomeWord(record.outcome));
  if (record.reason != EntryReason::kNone) {
    std::string reason = ReasonToken(record.reason);
    if (record.reason == EntryReason::kHttp) reason += " " + std::to_string(record.httpStatus);
    html += "（" + Escaped(reason) + "）";
  }
  html += "</div><div>" + Shown(record.source) + "</div>";
  if (!record.detail.empty()) html += "<div>" + Shown(record.detail) + "</div>";
  if (record.width > 0) {
    html += "<div>" + std::to_string(record.width) + "×" + std::to_string(record.height) + "</div>";
  }
  return html + "</div>\n";
}

std::string HtmlReport::Page(double seconds, bool interrupted) const {
  int counts[4] = {};
  for (const Entry& entry : m_entries) ++counts[static_cast<int>(entry.record.outcome)];
  char secondsText[32];
  std::snprintf(secondsText, sizeof secondsText, "%.1f", seconds);
  char rate[32];
  std::snprintf(rate, sizeof rate, "%.2f", seconds > 0 ? m_entries.size() / seconds : 0.0);
  const std::string totals = resources::FillUtf8(
      TextId::kCliSummary,
      {resources::TextUtf8(interrupted ? TextId::kCliInterrupted : TextId::kRunFinished),
       std::to_string(counts[0]), std::to_string(counts[1]), std::to_string(counts[2]),
       std::to_string(counts[3]), secondsText, rate});
  // The page asks for nothing outside itself: no script, no address but its own data.
  std::string html =
      "<!DOCTYPE html>\n<html lang=\"ja\"><head><meta charset=\"utf-8\">"
      "<meta http-equiv=\"Content-Security-Policy\" content=\"default-src 'none'; "
      "img-src data:; style-src 'unsafe-inline'\"><title>Rendora</title><style>" +
      Style() + "</style></head>\n<body><h1>Rendora</h1><p class=\"totals\">" + Escaped(totals) +
      "</p>\n<div class=\"entries\">\n";
  for (const bool failed : {true, false}) {
    for (const Entry& entry : m_entries) {
      if ((entry.record.outcome == EntryOutcome::kFailed) == failed) html += EntryHtml(entry);
    }
  }
  return html + "</div></body></html>\n";
}

bool HtmlReport::Write(double seconds, bool interrupted) const {
  // The report may lie in the output folder, which the run makes: its folder is made as well.
  std::string folder, name;
  base::SplitAtLast(m_path, folder, name, base::kPathSeparator);
  if (!folder.empty() && !base::IsDirectory(folder)) base::CreateFolderPath(folder);
  return base::WriteFileAtomically(m_path, Page(seconds, interrupted));
}

}  // namespace convert
