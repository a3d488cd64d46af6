// The settings record held in memory instead of window controls.
#include "settings/option_values.h"

namespace settings {

std::string OptionValues::GetOptionText(Field field) const {
  const auto found = m_texts.find(field);
  return found == m_texts.end() ? std::string() : found->second;
}

void OptionValues::SetOptionText(Field field, const std::string& text) { m_texts[field] = text; }

bool OptionValues::IsOptionChecked(Field field) const {
  const auto found = m_checks.find(field);
  return found != m_checks.end() && found->second;
}

void OptionValues::SetOptionChecked(Field field, bool checked) { m_checks[field] = checked; }

}  // namespace settings
