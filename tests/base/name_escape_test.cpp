// Names without a code-page-932 form: carried as byte escapes, given back byte for byte, shown
// readably, and ordinary double-byte characters to the text rules.
#include "base/encoding.h"

#include <gtest/gtest.h>

#include "base/text.h"
#include "support/temp_folder.h"

namespace {

using testing_support::Sjis;

// "café": é is C3 A9; C3 escapes to F1 83, A9 to F0 A9.
const std::string kCafeEscaped = "caf\xF1\x83\xF0\xA9";

TEST(BytesToCp932, KeepsExactFormsAndEscapesEveryOtherByte) {
  struct Case {
    std::string bytes;
    std::string cp932;
  } cases[] = {
      {"index.html", "index.html"},
      {"a\\b~c", "a\\b~c"},  // code page 932 keeps these ASCII bytes
      {"ページ.html", Sjis("ページ.html")},
      {"～①", "\x81\x60\x87\x40"},  // codes of 932 that plain Shift_JIS lacks
      {"café.html", kCafeEscaped + ".html"},
      {"\xFF.htm", "\xF1\xBF.htm"},                  // not UTF-8 at all
      {"\xE3\x81", "\xF1\xA3\xF0\x81"},              // a cut-off sequence
      {"¥", "\xF1\x82\xF0\xA5"},                     // one-way: 932 would give it back as '\'
      {"\xE2\x88\x92", "\xF1\xA2\xF0\x88\xF0\x92"},  // minus sign: one-way as well
      {"\xEE\x80\x80", "\xF0\x40"},                  // user-defined area outside the escapes
      {"\xEE\x80\xBF", "\xF1\xAE\xF0\x80\xF0\xBF"},  // user-defined character that is an escape
  };
  for (const auto& c : cases) {
    EXPECT_EQ(base::BytesToCp932(c.bytes), c.cp932) << c.bytes;
    EXPECT_EQ(base::Cp932ToBytes(c.cp932), c.bytes) << c.bytes;
  }
}

// The name with its ASCII letters upper-cased, every other byte as it is.
std::string AsciiUpper(std::string bytes) {
  for (char& c : bytes) {
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
  }
  return bytes;
}

TEST(BytesToCp932, GivesEveryNameBackByteForByte) {
  const std::string names[] = {
      "café.html",
      "Straße.htm",
      "한국어.html",
      "\xC3\x28\xFF\xFE.html",
      "😀.htm",
      "ページ"
      "\xE2\x80\x94"
      "é表.html",
      "\x80\x81\x9F\xE0\xFC\xFD",
      "a/b\\c/",
  };
  for (const std::string& name : names) {
    const std::string cp932 = base::BytesToCp932(name);
    EXPECT_EQ(base::Cp932ToBytes(cp932), name) << name;
    EXPECT_EQ(base::Cp932ToBytes(base::ToUpper(cp932)), AsciiUpper(name)) << name;
  }
  for (int byte = 0x80; byte <= 0xFF; ++byte) {
    const std::string raw(1, static_cast<char>(byte));
    const std::string escaped = base::BytesToCp932(raw);
    ASSERT_EQ(escaped.size(), 2u) << byte;
    EXPECT_EQ(base::CharLengthAt(escaped, 0), 2) << "an ordinary double-byte character";
    EXPECT_TRUE(base::IsByteEscape(escaped[0], escaped[1])) << byte;
    EXPECT_EQ(base::Cp932ToBytes("/" + escaped + "/"), "/" + raw + "/") << byte;
    EXPECT_EQ(base::FindChar("x" + escaped + "/", '/'), 3) << "a trail byte is never '/'";
  }
}

TEST(Cp932ToBytes, RefusesTextWithoutAForm) {
  const std::string texts[] = {"a\x83", "\xF0", "\xA0\xFD"};
  for (const std::string& text : texts) {
    EXPECT_FALSE(base::Cp932ToBytes(text).has_value()) << text;
  }
}

TEST(ToDisplayUtf8, ShowsWhatTheEscapesSpellAndNeverFails) {
  struct Case {
    std::string cp932;
    std::string shown;
  } cases[] = {
      {"plain.html", "plain.html"},
      {Sjis("ページ①.html"), "ページ①.html"},
      {kCafeEscaped + Sjis("表"), "café表"},
      {base::BytesToCp932("한국어"), "한국어"},
      {base::BytesToCp932("\xFF"
                          "a\xE3\x81"),
       "\xEF\xBF\xBD"
       "a\xEF\xBF\xBD\xEF\xBF\xBD"},
      {"a\x83", "a\xEF\xBF\xBD"},    // a lead byte cut off
      {"\xF0\x40", "\xEE\x80\x80"},  // user-defined area outside the escapes
  };
  for (const auto& c : cases) EXPECT_EQ(base::ToDisplayUtf8(c.cp932), c.shown) << c.shown;
}

}  // namespace
