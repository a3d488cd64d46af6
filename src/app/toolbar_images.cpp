// The toolbar's button images and the browse buttons' image, drawn at start-up.
#include "app/toolbar_images.h"

#include <wx/brush.h>
#include <wx/graphics.h>

#include "dialogs/app_icon.h"

namespace app {
namespace {

constexpr int kSize = 32;

const wxColour kInk(60, 60, 70);
const wxColour kPaper(250, 250, 245);
const wxColour kFolder(236, 190, 80);
const wxColour kBlue(50, 110, 200);
const wxColour kGreen(40, 160, 70);
const wxColour kRed(205, 50, 45);

// Outlined, filled shapes follow.
void Shape(wxGraphicsContext& gc, const wxColour& fill) {
  gc.SetPen(gc.CreatePen(wxGraphicsPenInfo(kInk).Width(1.5)));
  gc.SetBrush(wxBrush(fill));
}

// Plain strokes follow.
void Pen(wxGraphicsContext& gc, const wxColour& colour, double width) {
  gc.SetPen(gc.CreatePen(wxGraphicsPenInfo(colour).Width(width)));
}

void DrawPage(wxGraphicsContext& gc) {
  Shape(gc, kPaper);
  wxGraphicsPath page = gc.CreatePath();
  page.MoveToPoint(7, 3);
  page.AddLineToPoint(20, 3);
  page.AddLineToPoint(26, 9);
  page.AddLineToPoint(26, 29);
  page.AddLineToPoint(7, 29);
  page.CloseSubpath();
  gc.DrawPath(page);
  gc.StrokeLine(20, 3, 20, 9);
  gc.StrokeLine(20, 9, 26, 9);
}

void DrawFolder(wxGraphicsContext& gc, double x, double y, double w, double h) {
  Shape(gc, kFolder);
  wxGraphicsPath folder = gc.CreatePath();
  folder.MoveToPoint(x, y + h * 0.2);
  folder.AddLineToPoint(x + w * 0.35, y + h * 0.2);
  folder.AddLineToPoint(x + w * 0.45, y);
  folder.AddLineToPoint(x + w, y);
  folder.AddLineToPoint(x + w, y + h);
  folder.AddLineToPoint(x, y + h);
  folder.CloseSubpath();
  gc.DrawPath(folder);
}

void DrawTool(wxGraphicsContext& gc, ToolImage image) {
  switch (image) {
    case ToolImage::kNew:
      DrawPage(gc);
      Pen(gc, kGreen, 2.5);
      gc.StrokeLine(16.5, 14, 16.5, 24);
      gc.StrokeLine(11.5, 19, 21.5, 19);
      break;
    case ToolImage::kOpen:
      DrawFolder(gc, 3, 8, 26, 19);
      Shape(gc, kFolder.ChangeLightness(120));
      {
        wxGraphicsPath flap = gc.CreatePath();
        flap.MoveToPoint(3, 27);
        flap.AddLineToPoint(8, 14);
        flap.AddLineToPoint(31, 14);
        flap.AddLineToPoint(29, 27);
        flap.CloseSubpath();
        gc.DrawPath(flap);
      }
      break;
    case ToolImage::kSave:
      Shape(gc, kBlue);
      gc.DrawRoundedRectangle(4, 4, 24, 24, 3);
      Shape(gc, kPaper);
      gc.DrawRectangle(9, 4, 14, 9);
      Shape(gc, wxColour(200, 205, 215));
      gc.DrawRectangle(8, 18, 16, 10);
      break;
    case ToolImage::kExit:
      Shape(gc, wxColour(170, 120, 80));
      gc.DrawRectangle(6, 3, 16, 26);
      Pen(gc, kRed, 2.5);
      gc.StrokeLine(16, 16, 29, 16);
      gc.StrokeLine(24, 11, 29, 16);
      gc.StrokeLine(24, 21, 29, 16);
      break;
    case ToolImage::kStart: {
      Shape(gc, kGreen);
      wxGraphicsPath play = gc.CreatePath();
      play.MoveToPoint(8, 5);
      play.AddLineToPoint(27, 16);
      play.AddLineToPoint(8, 27);
      play.CloseSubpath();
      gc.DrawPath(play);
      break;
    }
    case ToolImage::kStop:
      Shape(gc, kRed);
      gc.DrawRoundedRectangle(7, 7, 18, 18, 2);
      break;
    case ToolImage::kHelp:
      Shape(gc, kBlue);
      gc.DrawEllipse(3, 3, 26, 26);
      gc.SetFont(wxFont(wxFontInfo(15).Bold()), *wxWHITE);
      {
        double w, h;
        gc.GetTextExtent("?", &w, &h);
        gc.DrawText("?", 16 - w / 2, 16 - h / 2);
      }
      break;
    case ToolImage::kHomePage: {
      Shape(gc, kPaper);
      gc.DrawRectangle(8, 15, 16, 13);
      Shape(gc, kRed);
      wxGraphicsPath roof = gc.CreatePath();
      roof.MoveToPoint(4, 16);
      roof.AddLineToPoint(16, 5);
      roof.AddLineToPoint(28, 16);
      roof.CloseSubpath();
      gc.DrawPath(roof);
      Shape(gc, kBlue);
      gc.DrawRectangle(14, 20, 5, 8);
      break;
    }
  }
}

}  // namespace

wxBitmap DrawToolImage(ToolImage image) {
  return dialogs::DrawImage(kSize, [image](wxGraphicsContext& gc) { DrawTool(gc, image); });
}

wxBitmap DrawBrowseImage() {
  // Drawn on the 32-unit grid, shown at 16 pixels.
  return dialogs::DrawImage(16, [](wxGraphicsContext& gc) { DrawFolder(gc, 3, 7, 26, 20); });
}

}  // namespace app
