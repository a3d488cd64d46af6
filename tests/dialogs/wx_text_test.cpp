// The toolkit text boundary: names without a code-page-932 form shown as their own characters,
// and typed characters outside the code page kept as the same byte escapes the file system uses.
#include "dialogs/wx_text.h"

#include <gtest/gtest.h>
#include <wx/frame.h>
#include <wx/textctrl.h>

#include "base/encoding.h"
#include "support/temp_folder.h"

namespace dialogs {
namespace {

using testing_support::Sjis;

wxString Utf8(const std::string& utf8) { return wxString::FromUTF8(utf8.data(), utf8.size()); }

TEST(WxText, ShowsEscapedNamesAsTheirOwnCharacters) {
  struct Case {
    std::string cp932;
    std::string shown;  // UTF-8
  } cases[] = {
      {Sjis("ページ①～.html"), "ページ①～.html"},
      {base::BytesToCp932("café/Straße/한국어.html"), "café/Straße/한국어.html"},
      {base::BytesToCp932("\xFF\xFE-raw.html"), "\xEF\xBF\xBD\xEF\xBF\xBD-raw.html"},
      {"a\x83", "a\xEF\xBF\xBD"},
  };
  for (const auto& c : cases) EXPECT_EQ(ToWx(c.cp932), Utf8(c.shown)) << c.shown;
}

TEST(WxText, TypedCharactersOutsideTheCodePageBecomeTheFileSystemsEscapes) {
  const std::string typed[] = {"/home/café/", "Straße.htm", "한국어", "😀", "ページ①～", "¥100"};
  for (const std::string& utf8 : typed) {
    const std::string cp932 = FromWx(Utf8(utf8));
    EXPECT_EQ(cp932, base::BytesToCp932(utf8)) << utf8;
    EXPECT_EQ(cp932.find('?'), std::string::npos) << utf8;
    EXPECT_EQ(base::Cp932ToBytes(cp932), utf8) << "names the same file: " << utf8;
    EXPECT_EQ(ToWx(cp932), Utf8(utf8)) << utf8;
  }
}

TEST(WxText, AnEditGivesBackItsBytesUntilTheUserChangesThem) {
  wxFrame* frame = new wxFrame(nullptr, wxID_ANY, "edit");
  auto* edit = new wxTextCtrl(frame, wxID_ANY);
  const std::string raw = base::BytesToCp932("\xFF-dir/");  // shown as U+FFFD, kept as it is
  SetEditText(edit, raw);
  EXPECT_EQ(GetEditText(edit), raw);
  edit->AppendText(Utf8("café"));
  EXPECT_EQ(GetEditText(edit), base::BytesToCp932("\xEF\xBF\xBD-dir/café"));
  frame->Destroy();
}

}  // namespace
}  // namespace dialogs
