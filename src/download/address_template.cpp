// Address templates: placeholder rows, padded numbers, expansion and the seeding of the queue.
#include "download/address_template.h"

#include <cstdlib>
#include <optional>

#include "base/text.h"
#include "download/address_rules.h"
#include "download/link_harvester.h"
#include "resources/texts.h"

namespace download {

namespace {

using settings::Field;

// The six rows as the options window holds them; nullopt (after the message) when a row in use
// has a step below 1. Later rows are not looked at then.
std::optional<std::array<PlaceholderRow, 6>> ReadRows(convert::RunControls& controls) {
  std::array<PlaceholderRow, 6> rows{};
  for (int row = 1; row <= settings::kPlaceholderRows; ++row) {
    if (!controls.IsOptionChecked(settings::CgiField(row))) continue;
    PlaceholderRow& entry = rows[row - 1];
    const std::string firstText = controls.GetOptionText(settings::FromField(row));
    entry.width = static_cast<int>(firstText.size());
    entry.first = base::ToInt(firstText);
    entry.last = base::ToInt(controls.GetOptionText(settings::ToField(row)));
    entry.step = base::ToInt(controls.GetOptionText(settings::StepField(row)));
    if (entry.step < 1) {
      controls.ShowMessage(resources::Text(resources::TextId::kStepTooSmall));
      controls.FocusOption(settings::StepField(row));
      return std::nullopt;
    }
  }
  return rows;
}

// The last value a row's loop takes: first + k * step for the largest k that stays within last.
// The row must have at least one iteration.
int LastValue(const PlaceholderRow& row) {
  const long long span = static_cast<long long>(row.last) - row.first;
  return static_cast<int>(row.first + span / row.step * row.step);
}

// Runs the six nested loops. Only the first `keep` addresses (the crawl's Count) are queued: the
// crawl never reaches an entry behind them, and harvesting queues nothing once the queue holds
// that many. The addresses behind them are still produced where producing them makes requests
// (the default-document probes, whose answers can also end the run); where it makes none, the
// loops end at once and the last address is worked out from the rows.
class Seeder {
 public:
  enum class Step { kGoOn, kMissingDocument, kDone };

  Seeder(const std::string& addressTemplate, const std::array<PlaceholderRow, 6>& rows,
         convert::RunControls& controls, const convert::RunState& run, net::Transfer& transfer,
         CrawlState& state, const SeedProgress& progress)
      : m_template(addressTemplate),
        m_rows(rows),
        m_controls(controls),
        m_run(run),
        m_transfer(transfer),
        m_state(state),
        m_keep(state.m_entryLimit > 0 ? state.m_entryLimit : 0),
        m_probes(base::EndsWithByte(addressTemplate, '/')),
        m_progress(progress),
        m_passing(progress.after.has_value()) {
    if (m_passing) m_queued = state.size();
    for (std::size_t i = 0; i < rows.size(); ++i) m_widths[i] = rows[i].width;
  }

  // Loop `row` (0 = "@a@") and every loop inside it.
  Step RunLoop(std::size_t row) {
    const PlaceholderRow& loop = m_rows[row];
    // Counted in a wider type, so that a last value near the int limit still ends the loop.
    for (long long value = loop.first; value <= loop.last; value += loop.step) {
      m_controls.PumpMessages();
      if (m_run.m_stop.Requested() || m_run.m_closing) break;
      m_values[row] = static_cast<int>(value);
      const Step step = row + 1 < m_rows.size() ? RunLoop(row + 1) : QueueOne();
      if (step != Step::kGoOn) return step;
    }
    return Step::kGoOn;
  }

  const std::string& lastAddress() const { return m_lastAddress; }

 private:
  Step QueueOne() {
    if (m_passing) {
      // Produced before the crawl was resumed: its entry, if it got one, is in the queue.
      m_passing = m_values != *m_progress.after;
      // Its server is the start server should nothing follow it.
      if (!m_passing) m_lastAddress = ExpandTemplate(m_values, m_template, m_widths);
      return Step::kGoOn;
    }
    std::string address = ExpandTemplate(m_values, m_template, m_widths);
    // Placeholders become digits, so an address ends in "/" exactly when the template does.
    if (m_probes && !ProbeDefaultDocument(address)) return Step::kMissingDocument;
    if (m_queued < m_keep) {
      m_state.Append(address, KindOfLink(address));
      ++m_queued;
    }
    m_lastAddress = std::move(address);
    if (m_progress.produced) m_progress.produced(m_values);
    if (m_queued < m_keep || m_probes) return Step::kGoOn;
    // Every later address would only be passed over: the last one is all that is left to know.
    PlaceholderValues lastValues{};
    for (std::size_t i = 0; i < m_rows.size(); ++i) lastValues[i] = LastValue(m_rows[i]);
    m_lastAddress = ExpandTemplate(lastValues, m_template, m_widths);
    return Step::kDone;
  }

  // Completes `address` with the first default document that answers; false when none does.
  bool ProbeDefaultDocument(std::string& address) {
    for (std::string_view document : kDefaultDocuments) {
      std::string probe = address + std::string(document);
      if (m_transfer.GetText(probe).ok) {
        address = std::move(probe);
        return true;
      }
    }
    return false;
  }

  const std::string& m_template;
  const std::array<PlaceholderRow, 6>& m_rows;
  convert::RunControls& m_controls;
  const convert::RunState& m_run;
  net::Transfer& m_transfer;
  CrawlState& m_state;
  const int m_keep;     // addresses queued at most
  const bool m_probes;  // every address ends in "/" and is completed by a probe
  const SeedProgress& m_progress;
  bool m_passing;  // still before the resume point
  int m_queued = 0;
  PlaceholderValues m_values{};
  PlaceholderValues m_widths{};
  std::string m_lastAddress;
};

}  // namespace

std::string FormatPadded(int width, int value) {
  // The magnitude in a wider type: the smallest int has no positive int.
  const long long magnitude = std::llabs(static_cast<long long>(value));
  const std::string digits = std::to_string(magnitude);
  const std::string sign = value < 0 ? "-" : "";
  const long long zeros =
      static_cast<long long>(width) - static_cast<long long>(sign.size() + digits.size());
  return sign + std::string(zeros > 0 ? static_cast<std::size_t>(zeros) : 0, '0') + digits;
}

std::string ExpandTemplate(const PlaceholderValues& values, std::string_view addressTemplate,
                           const PlaceholderValues& widths) {
  std::string address(addressTemplate);
  for (std::size_t i = 0; i < kPlaceholders.size(); ++i) {
    address = base::ReplaceAll(address, kPlaceholders[i], FormatPadded(widths[i], values[i]));
  }
  return address;
}

SeedResult SeedQueue(const std::string& addressTemplate, convert::RunControls& controls,
                     const convert::RunState& run, net::Transfer& transfer, CrawlState& state,
                     const SeedProgress& progress) {
  const auto rows = ReadRows(controls);
  if (!rows) return {SeedEnd::kStepTooSmall, {}};
  Seeder seeder(addressTemplate, *rows, controls, run, transfer, state, progress);
  if (seeder.RunLoop(0) == Seeder::Step::kMissingDocument) {
    return {SeedEnd::kNoDefaultDocument, {}};
  }
  return {SeedEnd::kQueued, seeder.lastAddress()};
}

}  // namespace download
