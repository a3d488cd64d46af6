// The one conversion between the system's code-page-932 texts and the window framework's strings.
#pragma once

#include <wx/string.h>

#include <string>
#include <string_view>

#include "resources/texts.h"

class wxTextCtrl;

namespace dialogs {

// Byte escapes are shown as the characters their bytes spell (U+FFFD where those are not UTF-8),
// so a file named café reads café.
wxString ToWx(std::string_view cp932);
// Characters that have no code-page-932 form become byte escapes, as the file system's names
// do: a typed or chosen path to café names the same folder as the walk's listing.
std::string FromWx(const wxString& text);
// A fixed text of the system, for a label or caption.
wxString WxText(resources::TextId id);

// The toolkit's strings cannot carry every byte sequence of code page 932 unchanged (bytes with
// no character, and the characters that have two codes). An edit therefore remembers the bytes
// it was given: reading it back gives exactly those bytes while its text is unchanged, and the
// conversion of what the user typed once it has changed.
void SetEditText(wxTextCtrl* edit, const std::string& cp932);
std::string GetEditText(const wxTextCtrl* edit);

}  // namespace dialogs
