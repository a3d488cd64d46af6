// The command line's option descriptions: each in Japanese (for --help) and in English (for a
// manual page) side by side, with the name of the option's value.
#pragma once

#include <string_view>

namespace resources {

enum class OptionText {
  kSettings,
  kSize,
  kWait,
  kPercent,
  kCount,
  kLinkCount,
  kSubfolders,
  kSameServer,
  kUnderStart,
  kOneFolder,
  kFilter,
  kRange,
  kNoRange,
  kEnable,
  kDisable,
  kFormat,
  kJobs,
  kShard,
  kUntilLoaded,
  kFixedWait,
  kCapture,
  kPngLevel,
  kPageTimeout,
  kReport,
  kQuiet,
  kUseDisplay,
  kNoClobber,
  kContinue,
  kState,
  kResume,
  kHelp,
  kVersion,
  kCount_
};

struct OptionHelp {
  OptionText id;
  std::string_view value;     // the value's name in the help (UTF-8), "" for a switch
  std::string_view japanese;  // UTF-8
  std::string_view english;
};

const OptionHelp& HelpOf(OptionText id);

}  // namespace resources
