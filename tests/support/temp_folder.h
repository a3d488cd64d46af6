// A fresh temporary folder for one test, removed with everything in it afterwards.
#pragma once

#include <string>

namespace testing_support {

class TempFolder {
 public:
  TempFolder();
  ~TempFolder();
  TempFolder(const TempFolder&) = delete;
  TempFolder& operator=(const TempFolder&) = delete;

  // The folder as a code-page-932 path ending in '/'.
  const std::string& path() const { return m_path; }
  // path() + relative.
  std::string operator/(const std::string& relative) const { return m_path + relative; }

 private:
  std::string m_path;
};

// Writes `bytes` to the code-page-932 path `path`, creating its folders.
void WriteFile(const std::string& path, const std::string& bytes);
// The bytes of the file, or "" when it cannot be read.
std::string ReadFile(const std::string& path);
// UTF-8 source text in code page 932 (for Japanese test cases written in this UTF-8 source).
std::string Sjis(const std::string& utf8);

}  // namespace testing_support
