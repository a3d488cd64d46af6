// Profile files on any file content: reading never fails, and a write either is refused and
// leaves the file byte for byte, or reads back the value it wrote and leaves every other value
// of the file as it read before.
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>
#include <vector>

#include "base/text.h"
#include "fuzz_input.h"
#include "settings/profile_file.h"

namespace {

const settings::ProfileFile kProfile;

void Fail(const char* what, const std::string& content) {
  std::fprintf(stderr, "%s; file of %zu bytes\n", what, content.size());
  std::abort();
}

const std::string& FilePath() {
  static const std::string path = [] {
    std::string folder = (std::getenv("TMPDIR") ? std::getenv("TMPDIR") : "/tmp");
    folder += "/rendora-profile-fuzz-XXXXXX";
    if (mkdtemp(folder.data()) == nullptr) std::abort();
    return folder + "/a.ini";
  }();
  return path;
}

void Store(const std::string& content) {
  std::ofstream(FilePath(), std::ios::binary | std::ios::trunc) << content;
}

std::string Load() {
  std::ifstream file(FilePath(), std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(file), {});
}

// Every "[name]" the file may hold, once each, read loosely: names that are no section read
// as empty. Each name costs a read of the file per input, so repeats are left out.
std::vector<std::string> SectionNames(const std::string& content, const std::string& written) {
  std::vector<std::string> names = {written};
  for (std::size_t open = content.find('['); open != std::string::npos;
       open = content.find('[', open + 1)) {
    const std::size_t close = content.find(']', open);
    if (close == std::string::npos) break;
    std::string name = content.substr(open + 1, close - open - 1);
    while (!name.empty() && (name.front() == ' ' || name.front() == '\t')) name.erase(0, 1);
    while (!name.empty() && (name.back() == ' ' || name.back() == '\t')) name.pop_back();
    if (std::none_of(names.begin(), names.end(), [&](const std::string& known) {
          return base::EqualsIgnoringCase(known, name);
        })) {
      names.push_back(name);
    }
  }
  return names;
}

// The entries of a section after writing `key`: the first entry of that name gets the value,
// or a new entry comes last.
std::vector<settings::ProfileEntry> Expected(std::vector<settings::ProfileEntry> entries,
                                             const std::string& key, const std::string& value) {
  for (auto& entry : entries) {
    if (base::EqualsIgnoringCase(entry.key, key)) {
      entry = {key, value};  // the line is written anew, with the new spelling of the name
      return entries;
    }
  }
  entries.push_back({key, value});
  return entries;
}

bool operator!=(const std::vector<settings::ProfileEntry>& a,
                const std::vector<settings::ProfileEntry>& b) {
  if (a.size() != b.size()) return true;
  for (std::size_t i = 0; i < a.size(); ++i) {
    if (a[i].key != b[i].key || a[i].value != b[i].value) return true;
  }
  return false;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  fuzzing::FuzzInput input(data, size);
  const std::string section = input.Part();
  const std::string key = input.Part();
  const std::string value = input.Part();
  const std::string content = input.Rest();
  Store(content);

  const std::vector<std::string> names = SectionNames(content, section);
  std::vector<std::vector<settings::ProfileEntry>> before;
  for (const std::string& name : names) {
    before.push_back(kProfile.GetPrivateProfileSection(name, FilePath()));
  }
  std::string out;
  kProfile.GetPrivateProfileString(section, key, "default", out, 64, FilePath());

  if (!kProfile.WritePrivateProfileString(section, key, value, FilePath())) {
    if (Load() != content) Fail("a refused write changed the file", content);
    return 0;
  }
  kProfile.GetPrivateProfileString(section, key, "", out, static_cast<int>(value.size()) + 1,
                                   FilePath());
  if (out != value) Fail("the written value does not read back", content);
  for (std::size_t i = 0; i < names.size(); ++i) {
    const auto after = kProfile.GetPrivateProfileSection(names[i], FilePath());
    const bool written = base::EqualsIgnoringCase(names[i], section);
    if (after != (written ? Expected(before[i], key, value) : before[i])) {
      Fail("a write changed a value it did not touch", content);
    }
  }
  return 0;
}
