// The one conversion between the system's code-page-932 texts and the window framework's strings.
#include "dialogs/wx_text.h"

#include "base/encoding.h"

namespace dialogs {

wxString ToWx(std::string_view cp932) {
  const std::string utf8 = base::Cp932ToUtf8Lossy(cp932);
  return wxString::FromUTF8(utf8.data(), utf8.size());
}

std::string FromWx(const wxString& text) {
  const wxScopedCharBuffer utf8 = text.utf8_str();
  return base::Utf8ToCp932Lossy(std::string_view(utf8.data(), utf8.length()));
}

wxString WxText(resources::TextId id) {
  const std::string_view utf8 = resources::TextUtf8(id);
  return wxString::FromUTF8(utf8.data(), utf8.size());
}

}  // namespace dialogs
