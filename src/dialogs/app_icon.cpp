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
    wxGraphicsPath page = gc->CreatePath();
    page.MoveToPoint(5, 1.5);
    page.AddLineToPoint(21, 1.5);
    page.AddLineToPoint(27, 7.5);
    page.AddLineToPoint(27, 30.5);
    page.AddLineToPoint(5, 30.5);
    page.CloseSubpath();
    gc->SetPen(wxPen(wxColour(80, 80, 90), 1));
    gc->SetBrush(wxBrush(wxColour(255, 255, 255)));
    gc->DrawPath(page);
    wxGraphicsPath fold = gc->CreatePath();
    fold.MoveToPoint(21, 1.5);
    fold.AddLineToPoint(21, 7.5);
    fold.AddLineToPoint(27, 7.5);
    fold.CloseSubpath();
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
    wxGraphicsPath hill = gc->CreatePath();
    hill.MoveToPoint(8, 27);
    hill.AddLineToPoint(8, 22);
    hill.AddLineToPoint(13, 18);
    hill.AddLineToPoint(18, 22.5);
    hill.AddLineToPoint(24, 20);
    hill.AddLineToPoint(24, 27);
    hill.CloseSubpath();
    gc->SetBrush(wxBrush(wxColour(70, 160, 80)));
    gc->DrawPath(hill);
  });
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
