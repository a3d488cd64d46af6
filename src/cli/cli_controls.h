// The run's controls on the command line: options from the command line and settings file,
// the status line as progress, messages on standard error, Ctrl-C as Stop.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "convert/run_controls.h"
#include "convert/run_state.h"
#include "settings/option_values.h"

namespace cli {

class HeadlessSession;
class RunReport;

class CliControls : public convert::RunControls {
 public:
  CliControls(settings::OptionValues& options, convert::RunState& state, RunReport& report);

  std::string GetOptionText(settings::Field field) const override;
  void SetOptionText(settings::Field field, const std::string& text) override;
  bool IsOptionChecked(settings::Field field) const override;
  void SetOptionChecked(settings::Field field, bool checked) override;
  void UpdatePlaceholderRow(int row) override {}
  void SetStatusText(const std::string& text) override;
  void ShowMessage(const std::string& text) override;
  void PumpMessages() override;
  void Sleep(std::chrono::microseconds duration) override;
  void FocusOption(settings::Field field) override {}
  int ScreenHeight() override;
  void PlaceForPage(int captureWidth, int screenHeight) override;
  void RecordEntry(const convert::EntryRecord& record) override;
  void CaptureProgress(std::chrono::milliseconds wait) override;

  // The session that pages are rendered in, once it is started.
  void UseSession(HeadlessSession* session) { m_session = session; }
  // Called at every pump besides the session's events (the worker pool's answers).
  void SetPumpHook(std::function<void()> hook) { m_pumpHook = std::move(hook); }
  // Takes the capture's progress (a worker tells its pool).
  void SetProgressHook(std::function<void(std::chrono::milliseconds)> hook) {
    m_progressHook = std::move(hook);
  }

 private:
  settings::OptionValues& m_options;
  convert::RunState& m_state;
  RunReport& m_report;
  HeadlessSession* m_session = nullptr;
  std::function<void()> m_pumpHook;
  std::function<void(std::chrono::milliseconds)> m_progressHook;
};

}  // namespace cli
