// The settings record held in memory instead of window controls: what a front end without a
// window loads a settings file into and hands to a run.
#pragma once

#include <map>
#include <string>
#include <vector>

#include "settings/fields.h"

namespace settings {

class OptionValues : public OptionControls {
 public:
  std::string GetOptionText(Field field) const override;
  void SetOptionText(Field field, const std::string& text) override;
  bool IsOptionChecked(Field field) const override;
  void SetOptionChecked(Field field, bool checked) override;
  // Rows have no edits to enable here.
  void UpdatePlaceholderRow(int row) override {}
  // A settings record without a window has no status line; messages are kept for the caller.
  void SetStatusText(const std::string& text) override {}
  void ShowMessage(const std::string& text) override { m_messages.push_back(text); }

  const std::vector<std::string>& Messages() const { return m_messages; }

 private:
  std::map<Field, std::string> m_texts;
  std::map<Field, bool> m_checks;
  std::vector<std::string> m_messages;
};

}  // namespace settings
