// The toolbar's button images and the browse buttons' image, drawn at start-up.
#pragma once

#include <wx/bitmap.h>

namespace app {

enum class ToolImage { kNew, kOpen, kSave, kExit, kStart, kStop, kHelp, kHomePage };

// A 32 by 32 image for one toolbar button.
wxBitmap DrawToolImage(ToolImage image);

// The small folder image shown on both browse buttons.
wxBitmap DrawBrowseImage();

}  // namespace app
