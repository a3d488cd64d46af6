// The application icon, drawn in code: a page with a picture on it.
#include "dialogs/app_icon.h"

#include <wx/brush.h>
#include <wx/graphics.h>
#include <wx/image.h>
#include <wx/pen.h>

#include <algorithm>
#include <memory>

namespace dialogs {

wxBitmap DrawImage(int size, const std::function<void(wxGraphicsContext&)>& draw) {
  wxImage image(size, size);
  image.InitAlpha();
  unsigned char* alpha = image.GetAlpha();
  std::fill(alpha, alpha + size * size, 0);
  {
    // The drawing lands in the image when the context is destroyed at the end of this block.
    std::unique_ptr<wxGraphicsContext> gc(wxGraphicsContext::Create(image));
    if (!gc) return wxBitmap(image);
    gc->SetAntialiasMode(wxANTIALIAS_DEFAULT);
    gc->Scale(size / 32.0, size / 32.0);
    draw(*gc);
  }
  return wxBitmap(image);
}

wxBitmap AppIconBitmap(int size) {
  return DrawImage(size, [](wxGraphicsContext& context) {
    wxGraphicsContext* gc = &context;
    // The page: a sheet with its upper right corner folded down.
    const wxGraphicsPath page =
        ClosedPath(*gc, {{5, 1.5}, {21, 1.5}, {27, 7.5}, {27, 30.5}, {5, 30.5}});
    gc->SetPen(wxPen(wxColour(80, 80, 90), 1));
    gc->SetBrush(wxBrush(wxColour(255, 255, 255)));
    gc->DrawPath(page);
    const wxGraphicsPath fold = ClosedPath(*gc, {{21, 1.5}, {21, 7.5}, {27, 7.5}});
    gc->SetBrush(wxBrush(wxColour(210, 214, 222)));
    gc->DrawPath(fold);

    // Two lines of markup text above the picture.
    gc->SetPen(wxPen(wxColour(120, 130, 150), 1));
    gc->StrokeLine(8, 5.5, 18, 5.5);
    gc->StrokeLine(8, 8.5, 16, 8.5);

    // The picture: sky, sun and a green hill.
    gc->SetPen(*wxTRANSPARENT_PEN);
    gc->SetBrush(wxBrush(wxColour(92, 160, 230)));
    gc->DrawRectangle(8, 12, 16, 15);
    gc->SetBrush(wxBrush(wxColour(255, 205, 60)));
    gc->DrawEllipse(17, 14, 5, 5);
    const wxGraphicsPath hill =
        ClosedPath(*gc, {{8, 27}, {8, 22}, {13, 18}, {18, 22.5}, {24, 20}, {24, 27}});
    gc->SetBrush(wxBrush(wxColour(70, 160, 80)));
    gc->DrawPath(hill);
  });
}

wxGraphicsPath ClosedPath(wxGraphicsContext& gc, std::initializer_list<wxPoint2DDouble> corners) {
  wxGraphicsPath path = gc.CreatePath();
  bool first = true;
  for (const wxPoint2DDouble& corner : corners) {
    if (first) {
      path.MoveToPoint(corner);
    } else {
      path.AddLineToPoint(corner);
    }
    first = false;
  }
  path.CloseSubpath();
  return path;
}

wxIcon AppIcon() {
  wxIcon icon;
  icon.CopyFromBitmap(AppIconBitmap(32));
  return icon;
}

wxIconBundle AppIcons() {
  wxIconBundle bundle;
  for (const int size : {16, 32, 48}) {
    wxIcon icon;
    icon.CopyFromBitmap(AppIconBitmap(size));
    bundle.AddIcon(icon);
  }
  return bundle;
}

}  // namespace dialogs
