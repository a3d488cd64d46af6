// The options that keep a run from doing its work twice: outputs kept, broken downloads
// continued, a crawl made resumable; and their keys in a settings file.
#pragma once

#include <functional>
#include <string>
#include <string_view>

#include "settings/settings_keys.h"

namespace settings {

struct ResumeOptions {
  bool noClobber = false;          // an output that exists and is not empty is kept
  bool continueDownloads = false;  // a broken download keeps NAME.part and is continued
  std::string stateFile;           // the crawl's journal (code-page-932 path); empty: none
};

ResumeOptions ReadResumeOptions(const KeyFile& file);
// Writes key `key` from `options`; false when its write failed. Any other key writes nothing and
// gives true.
bool WriteResumeKey(const KeyFile& file, Key key, const ResumeOptions& options);

}  // namespace settings
