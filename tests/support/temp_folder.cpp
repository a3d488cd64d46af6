// A fresh temporary folder for one test, removed with everything in it afterwards.
#include "support/temp_folder.h"

#include <stdlib.h>

#include <filesystem>
#include <fstream>
#include <stdexcept>

#include "base/encoding.h"
#include "base/file_system.h"

namespace testing_support {

TempFolder::TempFolder() {
  std::string pattern = (std::filesystem::temp_directory_path() / "rendora-test-XXXXXX").string();
  if (!::mkdtemp(pattern.data())) throw std::runtime_error("mkdtemp failed");
  m_path = pattern + "/";
}

TempFolder::~TempFolder() {
  std::error_code ignored;
  std::filesystem::remove_all(m_path, ignored);
}

void WriteFile(const std::string& path, const std::string& bytes) {
  const auto native = base::ToNativePath(path).value();
  if (native.has_parent_path()) std::filesystem::create_directories(native.parent_path());
  std::ofstream out(native, std::ios::binary | std::ios::trunc);
  out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

std::string ReadFile(const std::string& path) {
  return base::ReadWholeFile(path).value_or(std::string());
}

std::string Sjis(const std::string& utf8) { return base::Utf8ToCp932(utf8).value(); }

}  // namespace testing_support
