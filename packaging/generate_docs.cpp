// Makes the installed documents at build time: the manual pages and the shell completions from
// the option registration, and the desktop icon's pictures from the program's own icon drawing.
//   rendora_docs manual en|ja TEMPLATE OUT VERSION | bash OUT | zsh OUT | icon SIZE OUT
#include <wx/image.h>
#include <wx/init.h>

#include <cstdio>
#include <fstream>
#include <sstream>
#include <string>

#include "cli/command_line.h"
#include "cli/completion.h"
#include "cli/manual_page.h"
#include "dialogs/app_icon.h"

namespace {

bool WriteText(const std::string& path, const std::string& text) {
  std::ofstream out(path, std::ios::binary);
  out << text;
  return static_cast<bool>(out.flush());
}

std::string ReadText(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream text;
  text << in.rdbuf();
  return text.str();
}

bool WriteIcon(int size, const std::string& path) {
  wxInitializer initializer;
  wxImage::AddHandler(new wxPNGHandler);
  return dialogs::AppIconBitmap(size).ConvertToImage().SaveFile(path, wxBITMAP_TYPE_PNG);
}

}  // namespace

int main(int argc, char** argv) {
  const std::string what = argc > 1 ? argv[1] : "";
  bool written = false;
  if (what == "manual" && argc == 6) {
    const std::string language = argv[2];
    const std::string manualTemplate = ReadText(argv[3]);
    written = !manualTemplate.empty() &&
              WriteText(argv[4], cli::FillManual(manualTemplate, cli::DescribeOptions(),
                                                 language == "ja" ? cli::ManualLanguage::kJapanese
                                                                  : cli::ManualLanguage::kEnglish,
                                                 argv[5]));
  } else if (what == "bash" && argc == 3) {
    written = WriteText(argv[2], cli::BashCompletion(cli::DescribeOptions()));
  } else if (what == "zsh" && argc == 3) {
    written = WriteText(argv[2], cli::ZshCompletion(cli::DescribeOptions()));
  } else if (what == "icon" && argc == 4) {
    written = WriteIcon(std::stoi(argv[2]), argv[3]);
  } else {
    std::fputs(
        "usage: rendora_docs manual en|ja TEMPLATE OUT VERSION | bash OUT | zsh OUT | "
        "icon SIZE OUT\n",
        stderr);
    return 2;
  }
  if (!written) std::fprintf(stderr, "rendora_docs: %s not written\n", what.c_str());
  return written ? 0 : 1;
}
