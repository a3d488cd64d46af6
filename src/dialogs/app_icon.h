// The application icon, drawn in code: a page with a picture on it.
#pragma once

#include <wx/bitmap.h>
#include <wx/geometry.h>
#include <wx/graphics.h>
#include <wx/icon.h>
#include <wx/iconbndl.h>

#include <functional>
#include <initializer_list>

namespace dialogs {

// A transparent `size` × `size` image with `draw` applied to it, drawn on a 32-unit grid
// scaled to the size asked for (the icons of the windows and of the toolbar are drawn this way).
wxBitmap DrawImage(int size, const std::function<void(wxGraphicsContext&)>& draw);

// The closed outline through `corners`, in order, for DrawPath.
wxGraphicsPath ClosedPath(wxGraphicsContext& gc, std::initializer_list<wxPoint2DDouble> corners);

// The icon at `size` × `size` pixels (with transparency).
wxBitmap AppIconBitmap(int size);
// The 32-pixel icon (the about box), and the 16-, 32- and 48-pixel set (window title bars).
wxIcon AppIcon();
wxIconBundle AppIcons();

}  // namespace dialogs
