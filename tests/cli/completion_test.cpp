// The shell completions and manual pages made at build time offer every option the command line
// registers, for each command that takes it.
#include <gtest/gtest.h>
#include <stdio.h>

#include <map>
#include <set>
#include <string>

#include "convert/picture_format.h"
#include "cli/command_line.h"
#include "cli/manual_page.h"
#include "support/temp_folder.h"

namespace {

const std::string kMade = RENDORA_BINARY_DIR "/packaging/";

// What bash's completion of rendora offers after `words` with the word `current` being typed.
std::set<std::string> BashOffers(const std::string& words, const std::string& current) {
  const std::string script = "source '" + kMade + "completions/rendora'; COMP_WORDS=(rendora " +
                             words + " '" + current + "'); COMP_CWORD=$((${#COMP_WORDS[@]} - 1));" +
                             " _rendora; printf '%s\\n' \"${COMPREPLY[@]}\"";
  std::set<std::string> offered;
  FILE* bash = ::popen(("bash -c \"$(cat <<'END'\n" + script + "\nEND\n)\"").c_str(), "r");
  char line[512];
  while (bash && std::fgets(line, sizeof line, bash)) {
    std::string word(line);
    if (!word.empty() && word.back() == '\n') word.pop_back();
    offered.insert(word);
  }
  if (bash) ::pclose(bash);
  return offered;
}

TEST(Completion, BashAndZshOfferEveryRegisteredOptionOfEachCommand) {
  const std::string zsh = testing_support::ReadFile(kMade + "completions/_rendora");
  std::map<std::string, std::set<std::string>> offered;
  for (const std::string command : {"", "convert", "crawl", "run"}) {
    offered[command] = BashOffers(command, "-");
  }
  int names = 0;
  for (const cli::OptionDescription& option : cli::DescribeOptions()) {
    for (const std::string& command : option.commands) {
      for (const std::string& name : option.names) {
        EXPECT_TRUE(offered[command].count(name)) << command << " " << name;
        ++names;
      }
    }
    for (const std::string& name : option.names) {
      const bool offered = zsh.find("'" + name + "[") != std::string::npos ||
                           zsh.find("'*" + name + "[") != std::string::npos;  // repeatable
      EXPECT_TRUE(offered) << name;
    }
  }
  EXPECT_GT(names, 60);
  // The commands, and the values of an option that takes one of a list.
  EXPECT_EQ(BashOffers("", "c"), (std::set<std::string>{"convert", "crawl"}));
  std::set<std::string> formats;
  for (const convert::PictureFormat* format : convert::PictureFormats()) {
    formats.insert(std::string(format->Name()));
  }
  EXPECT_EQ(BashOffers("convert --format", ""), formats);
}

TEST(ManualPage, BothLanguagesDescribeEveryOption) {
  for (const std::string page : {"man/en/rendora.1", "man/ja/rendora.1"}) {
    const std::string text = testing_support::ReadFile(kMade + page);
    ASSERT_FALSE(text.empty()) << page;
    EXPECT_EQ(text.find("@OPTIONS@"), std::string::npos) << page;
    EXPECT_EQ(text.find("@VERSION@"), std::string::npos) << page;
    for (const cli::OptionDescription& option : cli::DescribeOptions()) {
      const std::string& name = option.names.front();
      const bool shown =
          text.find("\\fB" + cli::RoffText(name)) != std::string::npos ||
          text.find("\\fB\\-\\-[no\\-]" + cli::RoffText(name.substr(2))) != std::string::npos;
      EXPECT_TRUE(shown) << page << " " << name;
    }
  }
}

}  // namespace
