// The manual page rendora(1): its options section from the option registration, in its template.
#include "cli/manual_page.h"

#include <algorithm>

#include "resources/option_texts.h"

namespace cli {
namespace {

bool IsEnglish(ManualLanguage language) { return language == ManualLanguage::kEnglish; }

// "--[no-]subfolders" for a pair of --X and --no-X, each other name as it is, in bold, with the
// value's name in italics after each.
std::string NamesText(const OptionDescription& option, ManualLanguage language) {
  std::string value;
  if (option.takesValue) {
    value = !option.text          ? std::string("VALUE")
            : IsEnglish(language) ? std::string(resources::EnglishValueOf(
                                        resources::HelpOf(*option.text), option.valueName))
                                  : option.valueName;
  }
  const auto has = [&option](const std::string& name) {
    return std::find(option.names.begin(), option.names.end(), name) != option.names.end();
  };
  std::string text;
  for (const std::string& name : option.names) {
    // The --no- form of a switch goes with the switch: "--[no-]subfolders".
    if (name.starts_with("--no-") && has("--" + name.substr(5))) continue;
    const std::string shown = has("--no-" + name.substr(2)) ? "--[no-]" + name.substr(2) : name;
    if (!text.empty()) text += ", ";
    text += "\\fB" + RoffText(shown) + "\\fR";
    if (!value.empty()) text += " \\fI" + RoffText(value) + "\\fR";
  }
  return text;
}

std::string Paragraph(const OptionDescription& option, ManualLanguage language) {
  std::string text = ".TP\n" + NamesText(option, language) + "\n";
  if (option.text) {
    const resources::OptionHelp& help = resources::HelpOf(*option.text);
    text += RoffText(IsEnglish(language) ? help.english : help.japanese);
  }
  const std::string& given = IsEnglish(language) ? option.defaultEnglish : option.defaultJapanese;
  if (!given.empty()) {
    text += IsEnglish(language) ? " (default: " + RoffText(given) + ")"
                                : "（既定値: " + RoffText(given) + "）";
  }
  return text + "\n";
}

// Japanese has no spaces to break lines at: the text lines of the Japanese page get a break point
// (\:) after every wide character, so that the formatter may break between any two of them as
// Japanese is set. Request lines (headings, tags) stay as they are.
std::string BreakableJapanese(const std::string& text) {
  std::string out;
  bool request = true;  // at the start of a line
  for (std::size_t i = 0; i < text.size(); ++i) {
    const auto byte = static_cast<unsigned char>(text[i]);
    if (i == 0 || text[i - 1] == '\n') request = byte == '.' || byte == '\'';
    out += text[i];
    // The last byte of a three-byte UTF-8 character (CJK, kana, full-width marks).
    const bool wideEnds =
        i >= 2 && (static_cast<unsigned char>(text[i - 2]) & 0xF0) == 0xE0 && (byte & 0xC0) == 0x80;
    if (!request && wideEnds && i + 1 < text.size() && text[i + 1] != '\n') out += "\\:";
  }
  return out;
}

}  // namespace

std::string RoffText(std::string_view text) {
  std::string roff;
  for (const char c : text) {
    if (c == '\\') {
      roff += "\\e";
    } else if (c == '-') {
      roff += "\\-";
    } else {
      roff += c;
    }
  }
  if (!roff.empty() && (roff.front() == '.' || roff.front() == '\'')) roff.insert(0, "\\&");
  return roff;
}

std::string ManualOptions(const std::vector<OptionDescription>& options, ManualLanguage language) {
  const bool english = IsEnglish(language);
  std::string text;
  for (const bool window : {true, false}) {
    text += window
                ? (english ? ".SS \"Options of convert and crawl (over the settings file)\"\n"
                           : ".SS \"変換とクロールのオプション（\\-\\-settings の値を上書き）\"\n")
                : (english ? ".SS \"Run options (convert, crawl, run)\"\n"
                           : ".SS \"実行のオプション（convert, crawl, run）\"\n");
    for (const OptionDescription& option : options) {
      if (option.windowOption == window) text += Paragraph(option, language);
    }
  }
  return text;
}

std::string FillManual(std::string_view manualTemplate,
                       const std::vector<OptionDescription>& options, ManualLanguage language,
                       std::string_view version) {
  std::string text(manualTemplate);
  const auto replace = [&text](std::string_view mark, const std::string& by) {
    for (std::size_t at = text.find(mark); at != std::string::npos; at = text.find(mark, at)) {
      text.replace(at, mark.size(), by);
      at += by.size();
    }
  };
  replace("@OPTIONS@\n", ManualOptions(options, language));
  replace("@VERSION@", std::string(version));
  return IsEnglish(language) ? text : BreakableJapanese(text);
}

}  // namespace cli
