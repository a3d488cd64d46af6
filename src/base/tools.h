// The shared text and folder tools: fields of a text, splitting at the last separator, folder
// paths and the program's own folder.
#pragma once

#include <functional>
#include <string>
#include <string_view>

namespace base {

// The local path separator. Texts built as folder paths end in it.
inline constexpr char kPathSeparator = '/';

// Field `index` (0-based) of `text` between occurrences of `separator`; an empty field, the
// field after a trailing separator and any field beyond the last separator give "".
std::string GetField(std::string_view text, std::string_view separator, int index);

// 1 + the number of separators at positions from 1 on (a separator at position 0 is not counted).
int CountFields(std::string_view text, std::string_view separator);

// Splits at the last `ch`: "/a/b.htm" at '/' gives "/a/" and "b.htm"; "readme" at '.' gives ""
// and "readme"; a text ending in `ch` comes back whole in `left`. Always returns 1.
int SplitAtLast(std::string_view text, std::string& left, std::string& right, char ch);

// Creates every folder of `path` (ending in a separator) from the top down; 1 when at least one
// folder was created, 0 when none was (all existed, or none could be made).
int CreateFolderPath(std::string_view path, char separator = kPathSeparator);

// Makes `folder` the current directory, creating its missing folders first when it does not
// exist yet; `beforeCreating` runs just before they are created. Whether it is current now.
bool MakeFolderCurrent(std::string_view folder, const std::function<void()>& beforeCreating = {});

// The folder of the running program file, ending in a separator.
std::string GetProgramFolder();

// `folder` with a separator appended unless its last byte already is one.
std::string WithTrailingSeparator(std::string folder, char separator = kPathSeparator);

}  // namespace base
