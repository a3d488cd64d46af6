// The one conversion between the system's code-page-932 texts and the window framework's strings.
#include "dialogs/wx_text.h"

#include <wx/clntdata.h>
#include <wx/textctrl.h>

#include "base/encoding.h"

namespace dialogs {
namespace {

// The bytes an edit was given, beside the text it showed for them.
class EditBytes : public wxClientData {
 public:
  EditBytes(wxString shown, std::string bytes)
      : m_shown(std::move(shown)), m_bytes(std::move(bytes)) {}
  const wxString& shown() const { return m_shown; }
  const std::string& bytes() const { return m_bytes; }

 private:
  wxString m_shown;
  std::string m_bytes;
};

}  // namespace

wxString ToWx(std::string_view cp932) {
  const std::string utf8 = base::ToDisplayUtf8(cp932);
  return wxString::FromUTF8(utf8.data(), utf8.size());
}

std::string FromWx(const wxString& text) {
  const wxScopedCharBuffer utf8 = text.utf8_str();
  return base::BytesToCp932(std::string_view(utf8.data(), utf8.length()));
}

void SetEditText(wxTextCtrl* edit, const std::string& cp932) {
  const wxString shown = ToWx(cp932);
  edit->ChangeValue(shown);
  edit->SetClientObject(new EditBytes(edit->GetValue(), cp932));
}

std::string GetEditText(const wxTextCtrl* edit) {
  const wxString value = edit->GetValue();
  if (const auto* bytes = dynamic_cast<const EditBytes*>(edit->GetClientObject())) {
    if (bytes->shown() == value) return bytes->bytes();
  }
  return FromWx(value);
}

wxString WxText(resources::TextId id) {
  const std::string_view utf8 = resources::TextUtf8(id);
  return wxString::FromUTF8(utf8.data(), utf8.size());
}

}  // namespace dialogs
