// The look shared by the system's windows: the Japanese UI font and the hatched background.
#include "dialogs/window_look.h"

#include <wx/dcbuffer.h>
#include <wx/window.h>

namespace dialogs {

wxFont UiFont() {
  wxFont font(wxFontInfo(9).FaceName("Noto Sans CJK JP"));
  if (!font.IsOk()) font = wxFont(wxFontInfo(9));
  return font;
}

void UseHatchBackground(wxWindow* window) {
  window->SetBackgroundStyle(wxBG_STYLE_PAINT);
  window->Bind(wxEVT_PAINT, [window](wxPaintEvent&) {
    wxAutoBufferedPaintDC dc(window);
    dc.SetBackground(*wxWHITE_BRUSH);
    dc.Clear();
    dc.SetPen(*wxTRANSPARENT_PEN);
    dc.SetBrush(wxBrush(wxColour(238, 238, 238), wxBRUSHSTYLE_HORIZONTAL_HATCH));
    const wxSize size = window->GetClientSize();
    dc.DrawRectangle(0, 0, size.x, size.y);
  });
}

}  // namespace dialogs
