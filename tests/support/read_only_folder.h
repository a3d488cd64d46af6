// A folder this process may not write to, even when the tests run as root.
#pragma once

#include <string>

namespace testing_support {

// Takes the write permission of `folder` (a code-page-932 path) away for the life of the object.
// Root may write anywhere, so its overriding of file permissions is laid down meanwhile (it
// keeps the right to take it up again, which the destructor does before giving the folder back).
class ReadOnlyFolder {
 public:
  explicit ReadOnlyFolder(std::string folder);
  ~ReadOnlyFolder();
  ReadOnlyFolder(const ReadOnlyFolder&) = delete;
  ReadOnlyFolder& operator=(const ReadOnlyFolder&) = delete;

 private:
  std::string m_folder;
  unsigned m_effective = 0;  // the capabilities' effective set as it was
};

// Sets an environment variable for the life of the object, then gives it its old value back.
class ScopedEnvironment {
 public:
  ScopedEnvironment(std::string name, const std::string& value);
  ~ScopedEnvironment();
  ScopedEnvironment(const ScopedEnvironment&) = delete;
  ScopedEnvironment& operator=(const ScopedEnvironment&) = delete;

 private:
  std::string m_name;
  bool m_had = false;
  std::string m_old;
};

}  // namespace testing_support
