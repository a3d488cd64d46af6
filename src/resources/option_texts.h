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
  kQuality,
  kSplit,
  kTransparent,
  kPageTimeout,
  kReport,
  kReportHtml,
  kQuiet,
  kUseDisplay,
  kUserAgent,
  kReferer,
  kHeader,
  kLoadCookies,
  kSaveCookies,
  kProxy,
  kDelay,
  kRandomDelay,
  kLimitRate,
  kTries,
  kRetryWait,
  kRobots,
  kPerServer,
  kNoClobber,
  kContinue,
  kState,
  kResume,
  kHelp,
  kVersion,
  // What is asked of every page.
  kSelector,
  kPadding,
  kHide,
  kRemove,
  kStyle,
  kScript,
  kNoJavaScript,
  kConfine,
  kNoNetwork,
  kScaleFactor,
  kColorScheme,
  kCount_
};

struct OptionHelp {
  OptionText id;
  std::string_view value;     // the value's name in the help (UTF-8), "" for a switch
  std::string_view japanese;  // UTF-8
  std::string_view english;
  std::string_view englishValue = {};  // the value's name in the English manual page
};

const OptionHelp& HelpOf(OptionText id);

// The value's name in English: `englishValue`, else the name the help shows (`shown`, the
// option's own or the one its registration gave) where it is ASCII ("N", "bmp|png"), else "VALUE".
std::string_view EnglishValueOf(const OptionHelp& help, std::string_view shown);

}  // namespace resources
