// Shell completion of the command line for bash and zsh, made from the option registration.
#include "cli/completion.h"

#include <algorithm>
#include <string_view>

#include "resources/option_texts.h"

namespace cli {
namespace {

constexpr std::string_view kCommands[] = {"convert", "crawl", "run"};

bool TakesFile(const OptionDescription& option) {
  return option.valueName == resources::HelpOf(resources::OptionText::kSettings).value;
}

// The values of an option that takes one of a list ("bmp|png"), or none.
std::vector<std::string> Choices(const OptionDescription& option) {
  std::vector<std::string> choices;
  if (option.valueName.find('|') == std::string::npos) return choices;
  std::size_t start = 0;
  while (start <= option.valueName.size()) {
    const std::size_t bar = std::min(option.valueName.find('|', start), option.valueName.size());
    choices.push_back(option.valueName.substr(start, bar - start));
    start = bar + 1;
  }
  return choices;
}

std::string Joined(const std::vector<std::string>& words) {
  std::string text;
  for (const std::string& word : words) text += (text.empty() ? "" : " ") + word;
  return text;
}

bool Offers(const OptionDescription& option, std::string_view command) {
  return std::find(option.commands.begin(), option.commands.end(), command) !=
         option.commands.end();
}

// Every name of the options `command` ("" for the program's own) takes.
std::string NamesFor(const std::vector<OptionDescription>& options, std::string_view command) {
  std::vector<std::string> names;
  for (const OptionDescription& option : options) {
    if (Offers(option, command))
      names.insert(names.end(), option.names.begin(), option.names.end());
  }
  return Joined(names);
}

// The bash case of the word before the cursor: what follows an option that takes a value.
std::string BashValueCases(const std::vector<OptionDescription>& options) {
  std::string text;
  for (const OptionDescription& option : options) {
    if (!option.takesValue) continue;
    std::string names = Joined(option.names);
    std::replace(names.begin(), names.end(), ' ', '|');
    const std::vector<std::string> choices = Choices(option);
    if (!choices.empty()) {
      text += "    " + names + ") COMPREPLY=($(compgen -W '" + Joined(choices) +
              "' -- \"$cur\")); return ;;\n";
    } else if (TakesFile(option)) {
      text += "    " + names + ") compopt -o default; COMPREPLY=(); return ;;\n";
    } else {
      text += "    " + names + ") COMPREPLY=(); return ;;\n";
    }
  }
  return text;
}

// A text inside a single-quoted zsh option description: its brackets and colons escaped.
std::string ZshQuoted(std::string_view text) {
  std::string quoted;
  for (const char c : text) {
    if (c == '\'') {
      quoted += "'\\''";
    } else {
      if (c == '[' || c == ']' || c == ':' || c == '\\') quoted += '\\';
      quoted += c;
    }
  }
  return quoted;
}

std::string ZshSpecs(const OptionDescription& option) {
  const std::string description =
      option.text ? ZshQuoted(resources::HelpOf(*option.text).japanese) : std::string();
  std::string action;
  if (option.takesValue) {
    const std::vector<std::string> choices = Choices(option);
    const std::string value = ZshQuoted(option.valueName.empty() ? "value" : option.valueName);
    action = ":" + value + ":" +
             (!choices.empty()    ? "(" + Joined(choices) + ")"
              : TakesFile(option) ? "_files"
                                  : " ");
  }
  std::string text;
  for (const std::string& name : option.names) {
    text += "      '" + std::string(option.repeatable ? "*" : "") + name + "[" + description + "]" +
            action + "' \\\n";
  }
  return text;
}

// The opening comment of a completion script.
std::string Heading(std::string_view shell) {
  return "# Completion of rendora's commands, options and values for " + std::string(shell) +
         ", made from the options\n# the program registers.\n";
}

}  // namespace

std::string BashCompletion(const std::vector<OptionDescription>& options) {
  std::string text =
      Heading("bash") +
      "_rendora() {\n"
      "  local cur=${COMP_WORDS[COMP_CWORD]} prev=${COMP_WORDS[COMP_CWORD-1]} command='' i\n"
      "  for ((i = 1; i < COMP_CWORD; i++)); do\n"
      "    case ${COMP_WORDS[i]} in\n"
      "      convert|crawl|run) command=${COMP_WORDS[i]}; break ;;\n"
      "    esac\n"
      "  done\n"
      "  case $prev in\n" +
      BashValueCases(options) +
      "  esac\n"
      "  local options\n"
      "  case $command in\n";
  for (const std::string_view command : kCommands) {
    text += "    " + std::string(command) + ") options='" + NamesFor(options, command) + "' ;;\n";
  }
  text += "    *)\n      options='" + NamesFor(options, "") +
          "'\n"
          "      if [[ $cur != -* ]]; then\n"
          "        COMPREPLY=($(compgen -W 'convert crawl run' -- \"$cur\")); return\n"
          "      fi ;;\n"
          "  esac\n"
          "  if [[ $cur == -* ]]; then\n"
          "    COMPREPLY=($(compgen -W \"$options\" -- \"$cur\"))\n"
          "  else\n"
          "    # Folders, settings files and addresses: the shell's own file names.\n"
          "    compopt -o default; COMPREPLY=()\n"
          "  fi\n"
          "}\n"
          "complete -F _rendora rendora\n";
  return text;
}

std::string ZshCompletion(const std::vector<OptionDescription>& options) {
  std::string text = "#compdef rendora\n" + Heading("zsh") +
                     "_rendora() {\n"
                     "  local curcontext=$curcontext state line\n"
                     "  typeset -A opt_args\n"
                     "  _arguments -C \\\n";
  for (const OptionDescription& option : options) {
    if (Offers(option, "")) text += ZshSpecs(option);
  }
  text +=
      "      '1:command:(convert crawl run)' \\\n"
      "      '*::argument:->argument' && return\n"
      "  case $words[1] in\n";
  for (const std::string_view command : kCommands) {
    text += "    " + std::string(command) + ")\n      _arguments \\\n";
    for (const OptionDescription& option : options) {
      if (Offers(option, command)) text += ZshSpecs(option);
    }
    text += "      '*:file:_files' ;;\n";
  }
  return text + "  esac\n}\n_rendora \"$@\"\n";
}

}  // namespace cli
