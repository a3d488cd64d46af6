// Conversions between code page 932 (the system's texts) and UTF-8 (file names, the toolkit).
#include "base/encoding.h"

#include <iconv.h>

#include <cerrno>

namespace base {
namespace {

// Owns one iconv descriptor for the length of a conversion.
class IconvHandle {
 public:
  IconvHandle(const char* to, const char* from) : m_cd(iconv_open(to, from)) {}
  ~IconvHandle() {
    if (valid()) iconv_close(m_cd);
  }
  IconvHandle(const IconvHandle&) = delete;
  IconvHandle& operator=(const IconvHandle&) = delete;
  bool valid() const { return m_cd != reinterpret_cast<iconv_t>(-1); }
  iconv_t get() const { return m_cd; }

 private:
  iconv_t m_cd;
};

std::optional<std::string> Convert(const char* to, const char* from, std::string_view input,
                                   bool lossy) {
  IconvHandle cd(to, from);
  if (!cd.valid()) return std::nullopt;
  std::string output;
  output.reserve(input.size() * 3 / 2 + 4);
  char* in = const_cast<char*>(input.data());
  std::size_t inLeft = input.size();
  char buffer[4096];
  while (inLeft > 0) {
    char* out = buffer;
    std::size_t outLeft = sizeof buffer;
    const std::size_t done = iconv(cd.get(), &in, &inLeft, &out, &outLeft);
    output.append(buffer, out - buffer);
    if (done != static_cast<std::size_t>(-1)) continue;
    if (errno == E2BIG) continue;
    if (!lossy) return std::nullopt;
    // An invalid or incomplete sequence: mark it and go on behind its first byte.
    output.push_back('?');
    ++in;
    --inLeft;
    iconv(cd.get(), nullptr, nullptr, nullptr, nullptr);
  }
  return output;
}

}  // namespace

std::optional<std::string> Cp932ToUtf8(std::string_view cp932) {
  return Convert("UTF-8", "CP932", cp932, false);
}

std::optional<std::string> Utf8ToCp932(std::string_view utf8) {
  return Convert("CP932", "UTF-8", utf8, false);
}

std::string Cp932ToUtf8Lossy(std::string_view cp932) {
  return Convert("UTF-8", "CP932", cp932, true).value_or(std::string());
}

std::string Utf8ToCp932Lossy(std::string_view utf8) {
  return Convert("CP932", "UTF-8", utf8, true).value_or(std::string());
}

bool IsValidUtf8(std::string_view bytes) {
  std::size_t i = 0;
  while (i < bytes.size()) {
    const auto b = static_cast<unsigned char>(bytes[i]);
    int extra;
    unsigned int min;
    if (b < 0x80) {
      ++i;
      continue;
    } else if ((b & 0xE0) == 0xC0) {
      extra = 1, min = 0x80;
    } else if ((b & 0xF0) == 0xE0) {
      extra = 2, min = 0x800;
    } else if ((b & 0xF8) == 0xF0) {
      extra = 3, min = 0x10000;
    } else {
      return false;
    }
    if (i + extra >= bytes.size()) return false;
    unsigned int cp = b & (0x3F >> extra);
    for (int k = 1; k <= extra; ++k) {
      const auto c = static_cast<unsigned char>(bytes[i + k]);
      if ((c & 0xC0) != 0x80) return false;
      cp = (cp << 6) | (c & 0x3F);
    }
    if (cp < min || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) return false;
    i += extra + 1;
  }
  return true;
}

}  // namespace base
