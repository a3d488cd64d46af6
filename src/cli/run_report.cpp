// What the command line tells about a run: progress, the JSON Lines report, the summary.
#include "cli/run_report.h"

#include <nlohmann/json.hpp>

#include <cerrno>
#include <cstring>

#include "base/encoding.h"

namespace cli {
namespace {

using convert::EntryOutcome;

// The words of the outcomes on the terminal.
const char* OutcomeWord(EntryOutcome outcome) {
  switch (outcome) {
    case EntryOutcome::kWritten: return "作成";
    case EntryOutcome::kFailed: return "失敗";
    case EntryOutcome::kSkipped: return "スキップ";
    case EntryOutcome::kIncomplete: return "未完了";
  }
  return "";
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
      {"reason", record.reason.empty() ? nlohmann::json() : nlohmann::json(record.reason)},
      {"width", record.width},
      {"height", record.height},
      {"bytes", record.bytes},
      {"ms", record.milliseconds},
  };
  if (!record.kind.empty()) {
    line["kind"] = record.kind;
    line["http_status"] = record.httpStatus;
  }
  // "script_dialog" is kept as reports before "answered" had it.
  if (record.answered.Has(convert::EngineRequest::kScriptDialog)) line["script_dialog"] = true;
  if (!record.answered.Empty()) line["answered"] = record.answered.Names();
  return line;
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
  std::string line =
      std::to_string(m_done) + " " + OutcomeWord(record.outcome) + " " + DisplayText(record.source);
  if (record.output) line += " → " + DisplayText(*record.output);
  if (!record.reason.empty()) line += "（" + record.reason + "）";
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
  char head[96];
  std::snprintf(head, sizeof head, "%d 件  %.2f 件/秒  %s  ", m_done,
                seconds > 0 ? m_done / seconds : 0.0, Elapsed(seconds).c_str());
  std::string line = head + m_current;
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
  std::fprintf(stderr, "%s: 作成 %d, 失敗 %d, スキップ %d, 未完了 %d（%.1f 秒, %.2f 件/秒）\n",
               interrupted ? "中断" : "処理終了", Count(EntryOutcome::kWritten),
               Count(EntryOutcome::kFailed), Count(EntryOutcome::kSkipped),
               Count(EntryOutcome::kIncomplete), seconds, seconds > 0 ? m_done / seconds : 0.0);
  if (!droppedText.empty()) std::fprintf(stderr, "除外したリンク:%s\n", droppedText.c_str());
}

}  // namespace cli
