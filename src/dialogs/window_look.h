// The look shared by the system's windows: the Japanese UI font and the hatched background.
#pragma once

#include <wx/font.h>

class wxWindow;

namespace dialogs {

// The user-interface font: a Japanese Gothic face at 9 points.
wxFont UiFont();

// Narrows the toolkit's inner padding of edit fields (once per program), so that the short
// number fields of the windows show their digits.
void UseCompactEdits();

// Paints `window`'s own background with horizontal hatch lines of RGB(238, 238, 238) on white;
// its controls keep their default colours.
void UseHatchBackground(wxWindow* window);

}  // namespace dialogs
