// Code-page-932 text rules: case changes and searches never split a double-byte character.
#include "base/text.h"

#include <gtest/gtest.h>

#include "base/encoding.h"
#include "support/temp_folder.h"

namespace {

using testing_support::Sjis;

TEST(CaseChange, TouchesOnlySingleByteLetters) {
  const std::string katakanaA = "\x83\x41";  // "ア": its trail byte is the letter 'A'
  const std::string kanji = "\x95\x5C";      // trail byte is the backslash
  EXPECT_EQ(base::ToLower("AB" + katakanaA + "Cd"), "ab" + katakanaA + "cd");
  EXPECT_EQ(base::ToUpper("ab\x83\x61"
                          "c"),
            "AB\x83\x61"
            "C")
      << "trail byte 'a' stays";
  EXPECT_EQ(base::ToLower(katakanaA), katakanaA);
  EXPECT_EQ(base::ToUpper(Sjis("ページ.html")), Sjis("ページ.HTML"));
  EXPECT_EQ(base::ToLower("X" + kanji + "Y"), "x" + kanji + "y");
  // A lead byte at the very end has no trail byte: it stands alone and the text is intact.
  EXPECT_EQ(base::ToLower("A\x83"), "a\x83");
  // Full-width letters are double-byte characters and keep their case.
  EXPECT_EQ(base::ToLower(Sjis("ＡＢＣ")), Sjis("ＡＢＣ"));
}

TEST(CaseInsensitiveComparison, MatchesOnlySingleByteLettersInTheOtherCase) {
  const std::string katakanaA = "\x83\x41";    // "ア": its trail byte is the letter 'A'
  const std::string katakanaChi = "\x83\x61";  // "チ": its trail byte is the letter 'a'
  struct Case {
    std::string a, b;
    bool equal;
  } cases[] = {
      {"Section", "SECTION", true},
      {"", "", true},
      {"key", "keys", false},
      {katakanaA, katakanaChi, false},  // trail bytes are not letters
      {"x" + katakanaA + "Y", "X" + katakanaA + "y", true},
      {Sjis("ＡＢＣ"), Sjis("ａｂｃ"), false},  // full-width letters keep their case
      {Sjis("設定"), Sjis("設定"), true},
      {"A\x83", "a\x83", true},  // a lone lead byte at the end
  };
  for (const auto& c : cases) {
    EXPECT_EQ(base::EqualsIgnoringCase(c.a, c.b), c.equal) << c.a << " / " << c.b;
    EXPECT_EQ(base::EqualsIgnoringCase(c.b, c.a), c.equal) << c.b << " / " << c.a;
  }
  struct Prefix {
    std::string text, prefix;
    bool starts;
  } prefixes[] = {
      {"HTTP://server/", "http", true},
      {"http", "HTTP", true},
      {"htt", "http", false},
      {"ftp://server/", "http", false},
      {"", "", true},
      {"anything", "", true},
      {"HTTP://Server/A/" + katakanaA, "http://server/a/", true},
      {katakanaA + "B", katakanaChi, false},
      // The prefix is cut at its byte length, also inside a character.
      {"a" + katakanaA, "A\x83", true},
  };
  for (const auto& c : prefixes) {
    EXPECT_EQ(base::StartsWithIgnoringCase(c.text, c.prefix), c.starts)
        << c.text << " / " << c.prefix;
  }
}

TEST(Search, NeverMatchesAtATrailByte) {
  const std::string text =
      "\x83\x61"
      "bc\x95\x5C"
      "d\\e";  // trail 'a', trail '\'
  EXPECT_EQ(base::Find(text, "a"), base::kNotFound);
  EXPECT_EQ(base::FindChar(text, '\\'), 7);
  EXPECT_EQ(base::ReverseFindChar(text, '\\'), 7);
  EXPECT_EQ(base::ReverseFindChar("\x95\x5C", '\\'), base::kNotFound);
  EXPECT_EQ(base::Find("abcabc", "bc", 2), 4);
  EXPECT_EQ(base::Find("abc", "", 1), 1);
  EXPECT_EQ(base::Find("abc", "c", 5), base::kNotFound);
  EXPECT_EQ(base::Find(Sjis("表示.HTML"), "HTM"), 5);
  EXPECT_TRUE(base::EndsWithByte("a\x95\x5C", '\\')) << "last-byte tests are byte tests";
  // Character starts are counted from the text's start: position 2 is a trail byte here.
  EXPECT_EQ(base::CharStartAtOrAfter("a\x95\\b", 2), 3);  // 0x95 0x5C, then b
  EXPECT_EQ(base::CharStartAtOrAfter("a\x95\\b", 1), 1);
  EXPECT_EQ(base::CharStartAtOrAfter("ab", 5), 2);
}

TEST(ReplaceAll, ReplacesLeftToRightWithoutOverlap) {
  EXPECT_EQ(base::ReplaceAll("http://a//b///c", "//", "\\"), "http:\\a\\b\\/c");
  EXPECT_EQ(base::ReplaceAll("aaa", "aa", "b"), "ba");
  EXPECT_EQ(base::ReplaceAll("x\x95\x5C"
                             "\\y",
                             "\\", "/"),
            "x\x95\x5C/y");
}

TEST(ToInt, ReadsLikeAtoi) {
  struct Case {
    std::string text;
    int value;
  } cases[] = {{"800", 800},
               {"  42", 42},
               {"-3", -3},
               {"+7", 7},
               {"5x", 5},
               {"abc", 0},
               {"", 0},
               {" -", 0},
               {"08", 8},
               {"99999999999", 2147483647},
               {"-99999999999", -2147483648LL},
               {"\t12", 12}};
  for (const auto& c : cases) EXPECT_EQ(base::ToInt(c.text), c.value) << c.text;
}

TEST(Encoding, ConvertsAtTheBoundaries) {
  EXPECT_EQ(base::Cp932ToUtf8("\x83\x41").value(), "ア");
  EXPECT_EQ(base::Utf8ToCp932("表").value(), "\x95\x5C");
  EXPECT_FALSE(base::Utf8ToCp932("\xF0\x9F\x98\x80").has_value()) << "emoji has no CP932 form";
  EXPECT_EQ(base::Utf8ToCp932Lossy("a\xF0\x9F\x98\x80"
                                   "b")
                .front(),
            'a');
  EXPECT_TRUE(base::IsValidUtf8("ア"));
  EXPECT_FALSE(base::IsValidUtf8("\x83\x41"));
  EXPECT_FALSE(base::IsValidUtf8("\xE3\x82"));
}

}  // namespace
