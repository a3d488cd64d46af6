// The manual page rendora(1), in English and in Japanese: a page of prose from a template with
// the options section made from the option registration.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "cli/command_line.h"

namespace cli {

enum class ManualLanguage { kEnglish, kJapanese };

// `text` as roff text: backslashes and hyphens escaped, a leading dot or quote made harmless.
std::string RoffText(std::string_view text);

// The options section of the manual page: one tagged paragraph per option (names, value, what it
// does, its default), the window's options apart from the run's.
std::string ManualOptions(const std::vector<OptionDescription>& options, ManualLanguage language);

// `manualTemplate` with "@OPTIONS@" replaced by ManualOptions and "@VERSION@" by `version`.
std::string FillManual(std::string_view manualTemplate,
                       const std::vector<OptionDescription>& options, ManualLanguage language,
                       std::string_view version);

}  // namespace cli
