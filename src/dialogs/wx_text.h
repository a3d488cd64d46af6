// The one conversion between the system's code-page-932 texts and the window framework's strings.
#pragma once

#include <wx/string.h>

#include <string>
#include <string_view>

#include "resources/texts.h"

namespace dialogs {

wxString ToWx(std::string_view cp932);
// Characters that have no code-page-932 form become '?'.
std::string FromWx(const wxString& text);
// A fixed text of the system, for a label or caption.
wxString WxText(resources::TextId id);

}  // namespace dialogs
