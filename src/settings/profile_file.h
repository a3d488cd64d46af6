// Profile files: "key=value" lines under "[section]" headers, read and written in code page 932.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace settings {

// One key of a section with its value as read (trimmed, quotes removed, not cut).
struct ProfileEntry {
  std::string key;
  std::string value;
};

// Reads and writes single values of a profile file.
//
// Section and key names match without regard to the case of ASCII letters. A value read is
// trimmed of blanks and loses one pair of matching surrounding quotes, so a value written with
// leading or trailing blanks or quotes is stored wrapped in double quotes and reads back
// unchanged. A write replaces an existing key's line in place, appends a new key at the end of
// its section and a new section at the end of the file; every other line stays byte for byte.
// Lines are written with CRLF; LF and CRLF are both read. A write replaces the whole file
// atomically (temporary file in the same folder, then rename): a write that fails leaves the
// old file as it was. It writes through symbolic links to the real file, keeps its mode and
// owner, and refuses a file the user may not write (base::WriteFileAtomically).
//
// The operations are virtual so that tests can make chosen writes fail.
class ProfileFile {
 public:
  virtual ~ProfileFile() = default;

  // Copies the value of `key` in `section` of the file `path` (or `defaultValue` when the file,
  // section or key is missing) into `out`, cut to `bufferSize` - 1 bytes. Returns the number of
  // bytes copied: 0 for a missing key or an empty value.
  virtual int GetPrivateProfileString(std::string_view section, std::string_view key,
                                      std::string_view defaultValue, std::string& out,
                                      int bufferSize, std::string_view path) const;

  // Every key line of `section` in file order (the first section of that name); empty when the
  // file or section is missing.
  virtual std::vector<ProfileEntry> GetPrivateProfileSection(std::string_view section,
                                                             std::string_view path) const;

  // Sets `key` in `section` of the file `path` to `value`, creating the file, section and key
  // as needed. False when the file could not be read or written, and for names or values that
  // a line cannot hold (line breaks, NUL; empty names; names with blanks at either end; '=' in a
  // key or one that starts like a header or comment; ']' in a section or a section ending in a
  // lead byte): such a write would corrupt the file or could never be read back, so it is
  // refused and the file stays as it was.
  virtual bool WritePrivateProfileString(std::string_view section, std::string_view key,
                                         std::string_view value, std::string_view path) const;
};

}  // namespace settings
