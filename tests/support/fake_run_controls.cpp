// A recording stand-in for the window's controls: options held in maps, every message, status
// text, focus request, pump and window placement recorded in order.
#include "support/fake_run_controls.h"

namespace testing_support {

std::string FakeRunControls::GetOptionText(settings::Field field) const {
  const auto found = texts.find(field);
  return found == texts.end() ? std::string() : found->second;
}

void FakeRunControls::SetOptionText(settings::Field field, const std::string& text) {
  texts[field] = text;
}

bool FakeRunControls::IsOptionChecked(settings::Field field) const {
  const auto found = checks.find(field);
  return found != checks.end() && found->second;
}

void FakeRunControls::SetOptionChecked(settings::Field field, bool checked) {
  checks[field] = checked;
}

void FakeRunControls::UpdatePlaceholderRow(int row) {
  rowEnabled.at(row - 1) = IsOptionChecked(settings::CgiField(row));
}

void FakeRunControls::SetStatusText(const std::string& text) { statusTexts.push_back(text); }

void FakeRunControls::ShowMessage(const std::string& text) { messages.push_back(text); }

void FakeRunControls::PumpMessages() {
  ++pumps;
  if (onPump) onPump();
}

void FakeRunControls::Sleep(std::chrono::microseconds duration) {
  // Whole milliseconds asked for, rounded up: a round that spent a few microseconds pumping
  // still counts as its 10 ms.
  sleptMilliseconds += static_cast<int>((duration.count() + 999) / 1000);
}

void FakeRunControls::FocusOption(settings::Field field) { focused.push_back(field); }

void FakeRunControls::PlaceForPage(int captureWidth, int height) {
  placements.emplace_back(captureWidth, height);
}

}  // namespace testing_support
