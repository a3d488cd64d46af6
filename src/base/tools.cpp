// The shared text and folder tools: fields of a text, splitting at the last separator, folder
// paths and the program's own folder.
#include "base/tools.h"

#include "base/file_system.h"
#include "base/text.h"

namespace base {

std::string GetField(std::string_view text, std::string_view separator, int index) {
  if (separator.empty()) return index == 0 ? std::string(text) : std::string();
  int position = 0;
  for (int i = 0; i < index; ++i) {
    const int found = Find(text, separator, position);
    if (found == kNotFound) return {};
    position = found + 1;
  }
  const auto size = static_cast<int>(text.size());
  if (position < 0 || position >= size || text[position] == separator[0]) return {};
  int end = Find(text, separator, position + 1);
  if (end == kNotFound) end = size;
  return std::string(text.substr(position, end - position));
}

int CountFields(std::string_view text, std::string_view separator) {
  if (separator.empty()) return 1;
  int count = 1;
  for (int found = Find(text, separator, 1); found > 0; found = Find(text, separator, found + 1)) {
    ++count;
  }
  return count;
}

int SplitAtLast(std::string_view text, std::string& left, std::string& right, char ch) {
  const int found = ReverseFindChar(text, ch);
  if (found == kNotFound) {
    left.clear();
    right = std::string(text);
  } else if (EndsWithByte(text, ch)) {
    left = std::string(text);
    right.clear();
  } else if (found == 0) {
    left.clear();
    right = std::string(text.substr(1));
  } else {
    left = std::string(text.substr(0, found));
    if (!EndsWithByte(left, ch)) left.push_back(ch);
    right = std::string(text.substr(found + 1));
  }
  return 1;
}

int CreateFolderPath(std::string_view path, char separator) {
  const std::string sep(1, separator);
  std::string accumulated;
  int result = 0;
  for (int i = 0; i < CountFields(path, sep); ++i) {
    accumulated += GetField(path, sep, i);
    accumulated += separator;
    if (CreateDirectory(accumulated)) result = 1;
  }
  return result;
}

bool MakeFolderCurrent(std::string_view folder, const std::function<void()>& beforeCreating) {
  if (SetCurrentDirectory(folder)) return true;
  if (beforeCreating) beforeCreating();
  CreateFolderPath(folder);
  return SetCurrentDirectory(folder);
}

std::string GetProgramFolder() {
  std::string left, right;
  SplitAtLast(GetProgramFile(), left, right, kPathSeparator);
  return left;
}

std::string WithTrailingSeparator(std::string folder, char separator) {
  if (!EndsWithByte(folder, separator)) folder.push_back(separator);
  return folder;
}

}  // namespace base
