// The character set of a page that declares none.
#include "convert/page_charset.h"

#include <gtest/gtest.h>

#include <string>

#include "support/temp_folder.h"

namespace {

using testing_support::Sjis;

TEST(PageCharset, PagesThatDeclareNothingAreReadAsUtf8OrShiftJis) {
  struct Case {
    std::string bytes;
    const char* charset;
    bool declares;
  } cases[] = {
      {"<html><body>plain ASCII</body></html>", "UTF-8", false},
      {"<p>日本語のページ</p>", "UTF-8", false},
      {Sjis("<p>日本語のページ</p>"), "Shift_JIS", false},
      {Sjis("<meta charset=\"Shift_JIS\"><p>日本語</p>"), "Shift_JIS", true},
      {"<HEAD><META HTTP-EQUIV=\"Content-Type\" CONTENT=\"text/html; CHARSET=x-sjis\">", "UTF-8",
       true},
      {"\xEF\xBB\xBF<p>BOM</p>", "UTF-8", true},
      {"<meta name=\"author\" content=\"x\"><body><meta charset=utf-8>", "UTF-8", false},
      {"<meta name=\"description\" content=\"charset\">", "UTF-8", true},  // taken as declared
      {"<title>charset</title><p>", "UTF-8", false},
  };
  for (const Case& c : cases) {
    EXPECT_STREQ(convert::UndeclaredCharset(c.bytes), c.charset) << c.bytes;
    EXPECT_EQ(convert::DeclaresCharset(c.bytes), c.declares) << c.bytes;
  }
}

}  // namespace
