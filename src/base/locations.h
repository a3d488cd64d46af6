// What a run's source names (a web address or a folder), folders made absolute, and where the
// program keeps its pointer file and first-run settings file.
#pragma once

#include <string>
#include <string_view>

namespace base {

// A source whose first four bytes, upper-cased, are "HTTP" is a web address (an address
// template for a run); anything else (" http", "htt") is a local path.
bool IsWebAddress(std::string_view source);

// A relative folder path (or file path) made absolute against the current directory; an
// absolute one as is.
// Without a nameable current folder the folder stays relative rather than becoming another.
std::string AbsoluteFolder(const std::string& folder);

// The folder of the pointer file set.ini and of the first-run settings file (ending in '/'):
// `programFolder` when the program may write there (a build, a copied folder); otherwise, as for
// an installed package, the user's config folder for Rendora (UserConfigFolder). A program
// folder below /usr/ is the system's and never written, even where root could.
std::string SettingsFolder(const std::string& programFolder);
// SettingsFolder of the running program's folder.
std::string GetSettingsFolder();

// $XDG_CONFIG_HOME/rendora/, or ~/.config/rendora/ when that variable is unset or not an
// absolute path; "" without a home folder. It may not exist yet: a save creates it.
std::string UserConfigFolder();

}  // namespace base
