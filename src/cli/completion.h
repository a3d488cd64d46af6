// Shell completion of the command line for bash and zsh, made from the option registration.
#pragma once

#include <string>
#include <vector>

#include "cli/command_line.h"

namespace cli {

// The bash completion script: the commands, each command's options, the values of options that
// take one of a list, file names where a file or folder is asked for.
std::string BashCompletion(const std::vector<OptionDescription>& options);

// The same for zsh (a #compdef function), with each option's Japanese description.
std::string ZshCompletion(const std::vector<OptionDescription>& options);

}  // namespace cli
