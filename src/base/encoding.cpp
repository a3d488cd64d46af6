// Conversions between code page 932 (the system's texts) and UTF-8 (file names, the toolkit).
#include "base/encoding.h"

#include <iconv.h>

#include <cerrno>

#include "base/text.h"

namespace base {
namespace {

// Owns one iconv descriptor.
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

enum class Direction { kToCp932, kToUtf8 };

// The descriptors of this thread, opened once: a large folder's names are converted one by one,
// some of them character by character.
const IconvHandle& Descriptor(Direction direction) {
  thread_local const IconvHandle toCp932("CP932", "UTF-8");
  thread_local const IconvHandle toUtf8("UTF-8", "CP932");
  return direction == Direction::kToCp932 ? toCp932 : toUtf8;
}

// Converts `input`; a sequence without a form fails the whole conversion, or is replaced by
// `replacement` (and skipped by one byte) when one is given.
std::optional<std::string> Convert(Direction direction, std::string_view input,
                                   std::optional<std::string_view> replacement) {
  const IconvHandle& cd = Descriptor(direction);
  if (!cd.valid()) return std::nullopt;
  iconv(cd.get(), nullptr, nullptr, nullptr, nullptr);
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
    if (!replacement) return std::nullopt;
    // An invalid or incomplete sequence: mark it and go on behind its first byte.
    output.append(*replacement);
    ++in;
    --inLeft;
    iconv(cd.get(), nullptr, nullptr, nullptr, nullptr);
  }
  return output;
}

constexpr std::string_view kReplacementCharacter = "\xEF\xBF\xBD";  // U+FFFD

bool IsAscii(std::string_view bytes) {
  for (const char c : bytes) {
    if (static_cast<unsigned char>(c) >= 0x80) return false;
  }
  return true;
}

// Length of the valid UTF-8 sequence that starts at `pos` (1 to 4), 0 when none does.
std::size_t Utf8SequenceLength(std::string_view bytes, std::size_t pos) {
  const auto b = static_cast<unsigned char>(bytes[pos]);
  if (b < 0x80) return 1;
  std::size_t extra;
  unsigned int min;
  if ((b & 0xE0) == 0xC0) {
    extra = 1, min = 0x80;
  } else if ((b & 0xF0) == 0xE0) {
    extra = 2, min = 0x800;
  } else if ((b & 0xF8) == 0xF0) {
    extra = 3, min = 0x10000;
  } else {
    return 0;
  }
  if (pos + extra >= bytes.size()) return 0;
  unsigned int cp = b & (0x3F >> extra);
  for (std::size_t k = 1; k <= extra; ++k) {
    const auto c = static_cast<unsigned char>(bytes[pos + k]);
    if ((c & 0xC0) != 0x80) return 0;
    cp = (cp << 6) | (c & 0x3F);
  }
  if (cp < min || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) return 0;
  return extra + 1;
}

void AppendEscape(std::string& out, unsigned char raw) {
  const unsigned int index = raw - 0x80u;
  out.push_back(static_cast<char>(0xF0 + index / 64));
  out.push_back(static_cast<char>(0x80 + index % 64));
}

unsigned char EscapedByte(unsigned char lead, unsigned char trail) {
  return static_cast<unsigned char>(0x80 + (lead - 0xF0) * 64 + (trail - 0x80));
}

// Calls onRun(text) for each stretch of `cp932` without escapes and onByte(raw) for each escape,
// in order, walking double-byte characters as the text rules do. Stops when a call says false.
template <typename OnRun, typename OnByte>
bool SplitAtEscapes(std::string_view cp932, OnRun onRun, OnByte onByte) {
  std::size_t runStart = 0;
  std::size_t i = 0;
  while (i < cp932.size()) {
    const auto lead = static_cast<unsigned char>(cp932[i]);
    if (!IsLeadByte(lead) || i + 1 >= cp932.size() ||
        !IsTrailByte(static_cast<unsigned char>(cp932[i + 1]))) {
      ++i;
      continue;
    }
    const auto trail = static_cast<unsigned char>(cp932[i + 1]);
    if (IsByteEscape(lead, trail)) {
      if (i > runStart && !onRun(cp932.substr(runStart, i - runStart))) return false;
      if (!onByte(EscapedByte(lead, trail))) return false;
      runStart = i + 2;
    }
    i += 2;
  }
  return runStart >= cp932.size() || onRun(cp932.substr(runStart));
}

bool HasEscape(std::string_view cp932) {
  bool found = false;
  SplitAtEscapes(
      cp932, [](std::string_view) { return true; },
      [&](unsigned char) {
        found = true;
        return false;
      });
  return found;
}

// The code-page-932 form of one UTF-8 character (or a whole text) when it is exact both ways and
// is not itself an escape; otherwise nullopt.
std::optional<std::string> TwoWayCp932(std::string_view utf8) {
  std::optional<std::string> cp932 = Convert(Direction::kToCp932, utf8, std::nullopt);
  if (!cp932 || HasEscape(*cp932)) return std::nullopt;
  const std::optional<std::string> back = Convert(Direction::kToUtf8, *cp932, std::nullopt);
  if (!back || *back != utf8) return std::nullopt;
  return cp932;
}

// Each byte of `bytes` that does not start a valid UTF-8 sequence replaced by U+FFFD.
std::string ValidUtf8(std::string_view bytes) {
  std::string out;
  out.reserve(bytes.size());
  for (std::size_t i = 0; i < bytes.size();) {
    const std::size_t length = Utf8SequenceLength(bytes, i);
    if (length == 0) {
      out.append(kReplacementCharacter);
      ++i;
    } else {
      out.append(bytes.substr(i, length));
      i += length;
    }
  }
  return out;
}

}  // namespace

std::optional<std::string> Cp932ToUtf8(std::string_view cp932) {
  return Convert(Direction::kToUtf8, cp932, std::nullopt);
}

std::optional<std::string> Utf8ToCp932(std::string_view utf8) {
  return Convert(Direction::kToCp932, utf8, std::nullopt);
}

std::string Cp932ToUtf8Lossy(std::string_view cp932) {
  return Convert(Direction::kToUtf8, cp932, "?").value_or(std::string());
}

std::string Utf8ToCp932Lossy(std::string_view utf8) {
  return Convert(Direction::kToCp932, utf8, "?").value_or(std::string());
}

bool IsValidUtf8(std::string_view bytes) {
  for (std::size_t i = 0; i < bytes.size();) {
    const std::size_t length = Utf8SequenceLength(bytes, i);
    if (length == 0) return false;
    i += length;
  }
  return true;
}

bool IsByteEscape(unsigned char lead, unsigned char trail) {
  return (lead == 0xF0 || lead == 0xF1) && trail >= 0x80 && trail <= 0xBF;
}

std::string BytesToCp932(std::string_view bytes) {
  if (IsAscii(bytes)) return std::string(bytes);
  if (std::optional<std::string> whole = TwoWayCp932(bytes)) return *whole;
  // Character by character: what has an exact form keeps it, everything else is escaped.
  std::string out;
  for (std::size_t i = 0; i < bytes.size();) {
    const std::size_t length = Utf8SequenceLength(bytes, i);
    if (length == 1) {
      out.push_back(bytes[i]);
    } else if (length == 0) {
      AppendEscape(out, static_cast<unsigned char>(bytes[i]));
    } else if (std::optional<std::string> one = TwoWayCp932(bytes.substr(i, length))) {
      out.append(*one);
    } else {
      for (std::size_t k = 0; k < length; ++k) {
        AppendEscape(out, static_cast<unsigned char>(bytes[i + k]));
      }
    }
    i += length == 0 ? 1 : length;
  }
  return out;
}

std::optional<std::string> Cp932ToBytes(std::string_view cp932) {
  if (IsAscii(cp932)) return std::string(cp932);
  std::string out;
  const bool converted = SplitAtEscapes(
      cp932,
      [&](std::string_view run) {
        const std::optional<std::string> utf8 = Convert(Direction::kToUtf8, run, std::nullopt);
        if (utf8) out.append(*utf8);
        return utf8.has_value();
      },
      [&](unsigned char raw) {
        out.push_back(static_cast<char>(raw));
        return true;
      });
  if (!converted) return std::nullopt;
  return out;
}

std::string ToDisplayUtf8(std::string_view cp932) {
  if (IsAscii(cp932)) return std::string(cp932);
  std::string bytes;
  SplitAtEscapes(
      cp932,
      [&](std::string_view run) {
        bytes.append(Convert(Direction::kToUtf8, run, kReplacementCharacter).value_or(""));
        return true;
      },
      [&](unsigned char raw) {
        bytes.push_back(static_cast<char>(raw));
        return true;
      });
  // The decoded bytes may be anything a file system holds: show what is UTF-8 as such.
  return ValidUtf8(bytes);
}

std::string PercentEncodePath(const std::string& native) {
  static const char kHex[] = "0123456789ABCDEF";
  std::string out;
  for (const unsigned char c : native) {
    const bool plain = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') ||
                       c == '/' || c == '-' || c == '.' || c == '_' || c == '~';
    if (plain) {
      out += static_cast<char>(c);
    } else {
      out += '%';
      out += kHex[c >> 4];
      out += kHex[c & 15];
    }
  }
  return out;
}

std::string Base64(std::string_view bytes) {
  static const char kDigits[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
  std::string out;
  out.reserve((bytes.size() + 2) / 3 * 4);
  for (std::size_t i = 0; i < bytes.size(); i += 3) {
    const std::size_t left = bytes.size() - i;
    unsigned group = static_cast<unsigned char>(bytes[i]) << 16;
    if (left > 1) group |= static_cast<unsigned char>(bytes[i + 1]) << 8;
    if (left > 2) group |= static_cast<unsigned char>(bytes[i + 2]);
    out += kDigits[(group >> 18) & 63];
    out += kDigits[(group >> 12) & 63];
    out += left > 1 ? kDigits[(group >> 6) & 63] : '=';
    out += left > 2 ? kDigits[group & 63] : '=';
  }
  return out;
}

}  // namespace base
