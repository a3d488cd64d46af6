// The options that keep a run from doing its work twice, in a settings file.
#include "settings/resume_options.h"

namespace settings {

ResumeOptions ReadResumeOptions(const KeyFile& file) {
  ResumeOptions options;
  options.noClobber = file.Switch(DefinitionOf(Key::kNoClobber));
  options.continueDownloads = file.Switch(DefinitionOf(Key::kContinue));
  options.stateFile = file.Text(DefinitionOf(Key::kStateFile));
  return options;
}

bool WriteResumeKey(const KeyFile& file, Key key, const ResumeOptions& options) {
  const KeyDefinition& definition = DefinitionOf(key);
  switch (key) {
    case Key::kNoClobber: return file.WriteSwitch(definition, options.noClobber);
    case Key::kContinue: return file.WriteSwitch(definition, options.continueDownloads);
    case Key::kStateFile: return file.WriteText(definition, options.stateFile);
    default: return true;
  }
}

}  // namespace settings
