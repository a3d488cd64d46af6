// The look shared by the system's windows: the Japanese UI font and the hatched background.
#include "dialogs/window_look.h"

#include <gtk/gtk.h>
#include <wx/dcbuffer.h>
#include <wx/window.h>

namespace dialogs {

wxFont UiFont() {
  wxFont font(wxFontInfo(9).FaceName("Noto Sans CJK JP"));
  if (!font.IsOk()) font = wxFont(wxFontInfo(9));
  return font;
}

void UseCompactEdits() {
  static bool applied = false;
  GdkScreen* screen = gdk_screen_get_default();
  if (applied || !screen) return;
  GtkCssProvider* provider = gtk_css_provider_new();
  gtk_css_provider_load_from_data(
      provider, "entry { padding-left: 3px; padding-right: 3px; min-height: 0; }", -1, nullptr);
  gtk_style_context_add_provider_for_screen(screen, GTK_STYLE_PROVIDER(provider),
                                            GTK_STYLE_PROVIDER_PRIORITY_APPLICATION);
  g_object_unref(provider);  // the screen keeps its own reference
  applied = true;
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
