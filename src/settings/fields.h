// The fields of the settings record that live in window controls, and the filter lists.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace settings {

// Each field is named by its key in the settings file. Text fields stay exactly as typed;
// switches are check boxes.
enum class Field {
  kReadPath,
  kWritePath,
  kSize,
  kWait,
  kPercent,
  kSub,  // main window
  kCount,
  kLinkCount,
  kAnotherUrl,
  kServer,
  kSame,
  kFilter,  // download options
  kCgi1,
  kCgi2,
  kCgi3,
  kCgi4,
  kCgi5,
  kCgi6,  // placeholder rows:
  kFrom1,
  kFrom2,
  kFrom3,
  kFrom4,
  kFrom5,
  kFrom6,  // in use, first value,
  kTo1,
  kTo2,
  kTo3,
  kTo4,
  kTo5,
  kTo6,  // last value
  kStep1,
  kStep2,
  kStep3,
  kStep4,
  kStep5,
  kStep6,  // and step
};

inline constexpr int kPlaceholderRows = 6;

// Fields of placeholder row `row` (1..6).
Field CgiField(int row);
Field FromField(int row);
Field ToField(int row);
Field StepField(int row);

// The key of the field in the settings file ("ReadPath", "ANOTHERURL", "Step3", ...) and whether
// it is a switch, both from the table of settings keys (settings_keys.h).
std::string KeyName(Field field);
bool IsSwitch(Field field);

// The enable and disable lists with their switches, held by the main window and edited only
// through the filter lists window.
struct FilterLists {
  std::vector<std::string> m_enableList;
  std::vector<std::string> m_disableList;
  bool m_enable = false;  // ENABLE: stored as "on" or "off"
  bool m_disable = true;  // DISABLE: stored as "on" or "off"
};

// The controls that hold the record. The main window and the download options window
// implement it; tests implement it with a recording fake.
class OptionControls {
 public:
  virtual ~OptionControls() = default;
  virtual std::string GetOptionText(Field field) const = 0;
  virtual void SetOptionText(Field field, const std::string& text) = 0;
  virtual bool IsOptionChecked(Field field) const = 0;
  virtual void SetOptionChecked(Field field, bool checked) = 0;
  // Enables the three edits of placeholder row `row` (1..6) when its check box is checked,
  // else disables them.
  virtual void UpdatePlaceholderRow(int row) = 0;
  // The main window's status line.
  virtual void SetStatusText(const std::string& text) = 0;
  // A message box with an OK button, no icon and the application's name as caption.
  virtual void ShowMessage(const std::string& text) = 0;
};

}  // namespace settings
