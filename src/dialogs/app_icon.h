// The application icon, drawn in code: a page with a picture on it.
#pragma once

#include <wx/bitmap.h>
#include <wx/icon.h>
#include <wx/iconbndl.h>

namespace dialogs {

// The icon at `size` × `size` pixels (with transparency).
wxBitmap AppIconBitmap(int size);
// The 32-pixel icon (the about box), and the 16-, 32- and 48-pixel set (window title bars).
wxIcon AppIcon();
wxIconBundle AppIcons();

}  // namespace dialogs
