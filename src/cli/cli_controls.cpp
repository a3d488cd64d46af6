// The run's controls on the command line.
#include "cli/cli_controls.h"

#include <thread>

#include "browser/event_pump.h"
#include "cli/headless_session.h"
#include "cli/interrupt.h"
#include "cli/run_report.h"
#include "resources/texts.h"

namespace cli {
namespace {

// The screen height of the virtual display, used before any view exists.
constexpr int kVirtualScreenHeight = 1024;

}  // namespace

CliControls::CliControls(settings::OptionValues& options, convert::RunState& state,
                         RunReport& report)
    : m_options(options), m_state(state), m_report(report) {}

std::string CliControls::GetOptionText(settings::Field field) const {
  return m_options.GetOptionText(field);
}

void CliControls::SetOptionText(settings::Field field, const std::string& text) {
  m_options.SetOptionText(field, text);
}

bool CliControls::IsOptionChecked(settings::Field field) const {
  return m_options.IsOptionChecked(field);
}

void CliControls::SetOptionChecked(settings::Field field, bool checked) {
  m_options.SetOptionChecked(field, checked);
}

void CliControls::SetStatusText(const std::string& text) { m_report.ShowCurrent(text); }

void CliControls::ShowMessage(const std::string& text) {
  // The closing "処理終了" is said by the summary.
  if (text == resources::Text(resources::TextId::kRunFinished)) return;
  m_report.Error(DisplayText(text));
}

void CliControls::PumpMessages() {
  if (m_session && m_session->Started()) browser::PumpPendingEvents();
  if (m_pumpHook) m_pumpHook();
  if (Interrupted()) m_state.m_stop.Request();
}

void CliControls::Sleep(std::chrono::microseconds duration) {
  std::this_thread::sleep_for(duration);
}

int CliControls::ScreenHeight() {
  return m_session && m_session->Started() ? m_session->ScreenHeight() : kVirtualScreenHeight;
}

void CliControls::PlaceForPage(int captureWidth, int screenHeight) {
  if (m_session && m_session->Started()) m_session->PlaceForPage(captureWidth, screenHeight);
}

void CliControls::CaptureProgress(std::chrono::milliseconds wait) {
  if (m_progressHook) m_progressHook(wait);
}

void CliControls::RecordEntry(const convert::EntryRecord& record) { m_report.Add(record); }

}  // namespace cli
