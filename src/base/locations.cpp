// What a run's source names, folders made absolute, and the folder of the program's settings.
#include "base/locations.h"

#include <pwd.h>
#include <unistd.h>

#include <cstdlib>

#include "base/file_system.h"
#include "base/text.h"
#include "base/tools.h"

namespace base {

bool IsWebAddress(std::string_view source) { return StartsWithIgnoringCase(source, "HTTP"); }

std::string AbsoluteFolder(const std::string& folder) {
  if (!folder.empty() && folder.front() == kPathSeparator) return folder;
  const std::string current = GetCurrentDirectory();
  if (current.empty()) return folder;
  return WithTrailingSeparator(current) + folder;
}

namespace {

// An environment variable's value as a system text; "" when unset.
std::string Environment(const char* name) {
  const char* value = std::getenv(name);
  return value ? FromNativeName(value) : std::string();
}

std::string HomeFolder() {
  std::string home = Environment("HOME");
  if (home.empty()) {
    if (const passwd* user = ::getpwuid(::getuid()); user && user->pw_dir) {
      home = FromNativeName(user->pw_dir);
    }
  }
  return home;
}

}  // namespace

std::string UserConfigFolder() {
  // A relative XDG_CONFIG_HOME is ignored, as the desktop's folder rules say.
  std::string config = Environment("XDG_CONFIG_HOME");
  if (config.empty() || config.front() != kPathSeparator) {
    const std::string home = HomeFolder();
    if (home.empty() || home.front() != kPathSeparator) return {};
    config = WithTrailingSeparator(home) + ".config";
  }
  return WithTrailingSeparator(config) + "rendora" + kPathSeparator;
}

std::string SettingsFolder(const std::string& programFolder) {
  const bool system = programFolder.starts_with("/usr/");
  if (!system && IsWritableFolder(programFolder)) return programFolder;
  const std::string config = UserConfigFolder();
  return config.empty() ? programFolder : config;
}

std::string GetSettingsFolder() { return SettingsFolder(GetProgramFolder()); }

}  // namespace base
