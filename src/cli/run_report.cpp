// What the command line tells about a run: progress, the JSON Lines report, the summary.
#include "cli/run_report.h"

#include <nlohmann/json.hpp>

#include <cerrno>
#include <cstring>

#include "base/encoding.h"
#include "browser/picture_thumbnail.h"
#include "resources/texts.h"

namespace cli {
namespace {

using convert::EntryOutcome;
using resources::FillUtf8;
using resources::TextId;
using resources::TextUtf8;

// The words of the outcomes on the terminal.
std::string_view OutcomeWord(EntryOutcome outcome) {
  switch (outcome) {
    case EntryOutcome::kWritten: return TextUtf8(TextId::kCliWritten);
    case EntryOutcome::kFailed: return TextUtf8(TextId::kCliFailed);
    case EntryOutcome::kSkipped: return TextUtf8(TextId::kCliSkipped);
    case EntryOutcome::kIncomplete: return TextUtf8(TextId::kCliIncomplete);
  }
  return {};
}

// A number with the given decimals, as the terminal lines show it.
std::string Decimal(double value, int decimals) {
  char text[48];
  std::snprintf(text, sizeof text, "%.*f", decimals, value);
  return text;
}

std::string Elapsed(double seconds) {
  const long long whole = static_cast<long long>(seconds);
  char text[32];
  std::snprintf(text, sizeof text, "%lld:%02lld", whole / 60, whole % 60);
  return text;
}

nlohmann::json RecordJson(const convert::EntryRecord& record) {
  nlohmann::json line = {
      {"source", DisplayText(record.source)},
      {"output", record.output ? nlohmann::json(DisplayText(*record.output)) : nlohmann::json()},
      {"outcome", convert::OutcomeName(record.outcome)},
      {"reason", record.reason == convert::EntryReason::kNone
                     ? nlohmann::json()
                     : nlohmann::json(convert::ReasonToken(record.reason))},
      {"width", record.width},
      {"height", record.height},
      {"bytes", record.bytes},
      {"ms", record.milliseconds},
  };
  if (!record.kind.empty()) {
    line["kind"] = record.kind;
    line["http_status"] = record.httpStatus;
    line["tries"] = record.tries;
  }
  if (!record.detail.empty()) line["detail"] = DisplayText(record.detail);
  // "script_dialog" is kept as reports before "answered" had it.
  if (record.answered.Has(convert::EngineRequest::kScriptDialog)) line["script_dialog"] = true;
  if (!record.answered.Empty()) line["answered"] = record.answered.Names();
  if (record.capture) line["capture"] = convert::CaptureMethodName(*record.capture);
  if (record.webglRefused) line["webgl_refused"] = true;
  if (!record.parts.empty()) {
    nlohmann::json parts = nlohmann::json::array();
    for (const convert::PicturePart& part : record.parts) {
      parts.push_back({{"output", DisplayText(part.output)},
                       {"top", part.top},
                       {"height", part.height},
                       {"bytes", part.bytes}});
    }
    line["parts"] = parts;
  }
  if (!record.scriptError.empty()) line["script_error"] = DisplayText(record.scriptError);
  return line;
}

// The reason as the terminal shows it: its token, an answer's status after "http", and the
// transfer's own words; empty without a reason.
std::string ReasonText(const convert::EntryRecord& record) {
  if (record.reason == convert::EntryReason::kNone) return {};
  std::string text = convert::ReasonToken(record.reason);
  if (record.reason == convert::EntryReason::kHttp) text += " " + std::to_string(record.httpStatus);
  if (!record.detail.empty()) text += ": " + DisplayText(record.detail);
  return "（" + text + "）";
}

}  // namespace

std::string DisplayText(const std::string& text) { return base::ToDisplayUtf8(text); }

RunReport::RunReport(bool quiet, bool live)
    : m_quiet(quiet), m_live(live && !quiet), m_started(std::chrono::steady_clock::now()) {}

RunReport::~RunReport() {
  if (m_file) std::fclose(m_file);
}

bool RunReport::OpenFile(const std::string& path, std::string& error) {
  m_file = std::fopen(path.c_str(), "w");
  if (!m_file) error = path + ": " + std::strerror(errno);
  return m_file != nullptr;
}

bool RunReport::OpenHtmlFile(const std::string& path, std::string& error) {
  m_html = std::make_unique<convert::HtmlReport>(
      path, [](const std::string& picture) { return browser::MakeThumbnail(picture); });
  m_htmlPath = DisplayText(path);
  if (m_html->Write(0, false)) return true;
  error = m_htmlPath + ": " + std::strerror(errno);
  m_html.reset();
  return false;
}

double RunReport::Seconds() const {
  return std::chrono::duration<double>(std::chrono::steady_clock::now() - m_started).count();
}

void RunReport::ShowCurrent(const std::string& text) {
  m_current = DisplayText(text);
  if (m_live) DrawLiveLine();
}

void RunReport::Add(const convert::EntryRecord& record) {
  ++m_counts[static_cast<std::size_t>(record.outcome)];
  ++m_done;
  if (m_html) m_html->Add(record);
  if (m_file) {
    std::fputs(
        RecordJson(record).dump(-1, ' ', false, nlohmann::json::error_handler_t::replace).c_str(),
        m_file);
    std::fputc('\n', m_file);
    std::fflush(m_file);
  }
  const bool failed = record.outcome == EntryOutcome::kFailed;
  if (m_live && !failed) {
    DrawLiveLine();
    return;
  }
  if (m_quiet && !failed) return;
  ClearLiveLine();
  std::string line = std::to_string(m_done) + " " + std::string(OutcomeWord(record.outcome)) + " " +
                     DisplayText(record.source);
  if (record.output) line += " → " + DisplayText(*record.output);
  line += ReasonText(record);
  if (record.width > 0) {
    line += " " + std::to_string(record.width) + "×" + std::to_string(record.height);
  }
  line += " " + std::to_string(record.milliseconds) + " ms\n";
  std::fputs(line.c_str(), stderr);
  if (m_live) DrawLiveLine();
}

void RunReport::Error(const std::string& text) {
  ClearLiveLine();
  std::fprintf(stderr, "rendora: %s\n", text.c_str());
  if (m_live && m_done > 0) DrawLiveLine();
}

void RunReport::DrawLiveLine() {
  const auto now = std::chrono::steady_clock::now();
  // A redraw at most every 100 ms keeps the terminal quiet on fast runs.
  if (m_liveShown && now - m_lastDrawn < std::chrono::milliseconds(100)) return;
  m_lastDrawn = now;
  const double seconds = Seconds();
  std::string line =
      FillUtf8(TextId::kCliLiveLine,
               {std::to_string(m_done), Decimal(seconds > 0 ? m_done / seconds : 0.0, 2),
                Elapsed(seconds)}) +
      m_current;
  if (line.size() > 160) line = line.substr(0, 160);
  std::fprintf(stderr, "\r\033[K%s", line.c_str());
  std::fflush(stderr);
  m_liveShown = true;
}

void RunReport::ClearLiveLine() {
  if (!m_liveShown) return;
  std::fputs("\r\033[K", stderr);
  m_liveShown = false;
}

void RunReport::Finish(bool interrupted, const DroppedLinks* dropped) {
  ClearLiveLine();
  const double seconds = Seconds();
  nlohmann::json summary = {
      {"summary", true},
      {"written", Count(EntryOutcome::kWritten)},
      {"failed", Count(EntryOutcome::kFailed)},
      {"skipped", Count(EntryOutcome::kSkipped)},
      {"incomplete", Count(EntryOutcome::kIncomplete)},
      {"seconds", seconds},
      {"interrupted", interrupted},
  };
  std::string droppedText;
  if (dropped) {
    nlohmann::json rules = nlohmann::json::object();
    for (const auto& [rule, count] : dropped->counts) {
      rules[rule] = count;
      if (count > 0) droppedText += " " + rule + " " + std::to_string(count);
    }
    summary["dropped_links"] = rules;
  }
  if (m_file) {
    std::fputs(summary.dump().c_str(), m_file);
    std::fputc('\n', m_file);
    std::fflush(m_file);
  }
  if (m_html && !m_html->Write(seconds, interrupted)) {
    Error(FillUtf8(TextId::kCliReportUnwritable, {m_htmlPath + ": " + std::strerror(errno)}));
  }
  const std::string line = FillUtf8(
      TextId::kCliSummary,
      {TextUtf8(interrupted ? TextId::kCliInterrupted : TextId::kRunFinished),
       std::to_string(Count(EntryOutcome::kWritten)), std::to_string(Count(EntryOutcome::kFailed)),
       std::to_string(Count(EntryOutcome::kSkipped)),
       std::to_string(Count(EntryOutcome::kIncomplete)), Decimal(seconds, 1),
       Decimal(seconds > 0 ? m_done / seconds : 0.0, 2)});
  std::fprintf(stderr, "%s\n", line.c_str());
  if (!droppedText.empty()) {
    std::fprintf(stderr, "%s\n", FillUtf8(TextId::kCliDroppedLinks, {droppedText}).c_str());
  }
}

}  // namespace cli
