// A recording stand-in for the window's controls: options held in maps, every message, status
// text, focus request, pump and window placement recorded in order.
#pragma once

#include <array>
#include <functional>
#include <map>
#include <string>
#include <vector>

#include "convert/run_controls.h"

namespace testing_support {

class FakeRunControls : public convert::RunControls {
 public:
  std::string GetOptionText(settings::Field field) const override;
  void SetOptionText(settings::Field field, const std::string& text) override;
  bool IsOptionChecked(settings::Field field) const override;
  void SetOptionChecked(settings::Field field, bool checked) override;
  void UpdatePlaceholderRow(int row) override;
  void SetStatusText(const std::string& text) override;
  void ShowMessage(const std::string& text) override;
  void PumpMessages() override;
  void Sleep(std::chrono::microseconds duration) override;
  // Time passes only in Sleep: however long a pump takes on a busy machine, a round of the
  // waits lasts what it slept.
  std::chrono::steady_clock::time_point Now() const override {
    return std::chrono::steady_clock::time_point(std::chrono::milliseconds(sleptMilliseconds));
  }
  void FocusOption(settings::Field field) override;
  int ScreenHeight() override { return screenHeight; }
  void PlaceForPage(int captureWidth, int screenHeight) override;
  void RecordEntry(const convert::EntryRecord& record) override { records.push_back(record); }

  std::map<settings::Field, std::string> texts;
  std::map<settings::Field, bool> checks;
  std::array<bool, 6> rowEnabled{};             // row n at index n - 1
  std::vector<std::string> statusTexts;         // every status text set, oldest first
  std::vector<std::string> messages;            // every message box, oldest first
  std::vector<settings::Field> focused;         // every focus request
  std::vector<std::pair<int, int>> placements;  // (captureWidth, screenHeight) per page
  std::vector<convert::EntryRecord> records;    // every page or entry record, oldest first
  int pumps = 0;
  int sleptMilliseconds = 0;
  int screenHeight = 1024;
  // Runs at every pump: lets a test press Stop or change an option in the middle of a run.
  std::function<void()> onPump;

  std::string status() const { return statusTexts.empty() ? std::string() : statusTexts.back(); }
};

}  // namespace testing_support
