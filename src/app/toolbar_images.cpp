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
  gc.DrawPath(dialogs::ClosedPath(gc, {{7, 3}, {20, 3}, {26, 9}, {26, 29}, {7, 29}}));
  gc.StrokeLine(20, 3, 20, 9);
  gc.StrokeLine(20, 9, 26, 9);
}

void DrawFolder(wxGraphicsContext& gc, double x, double y, double w, double h) {
  Shape(gc, kFolder);
  gc.DrawPath(dialogs::ClosedPath(gc, {{x, y + h * 0.2},
                                       {x + w * 0.35, y + h * 0.2},
                                       {x + w * 0.45, y},
                                       {x + w, y},
                                       {x + w, y + h},
                                       {x, y + h}}));
}

// A page with a green plus.
void DrawNew(wxGraphicsContext& gc) {
  DrawPage(gc);
  Pen(gc, kGreen, 2.5);
  gc.StrokeLine(16.5, 14, 16.5, 24);
  gc.StrokeLine(11.5, 19, 21.5, 19);
}

// A folder with its flap open.
void DrawOpen(wxGraphicsContext& gc) {
  DrawFolder(gc, 3, 8, 26, 19);
  Shape(gc, kFolder.ChangeLightness(120));
  gc.DrawPath(dialogs::ClosedPath(gc, {{3, 27}, {8, 14}, {31, 14}, {29, 27}}));
}

// A floppy disk.
void DrawSave(wxGraphicsContext& gc) {
  Shape(gc, kBlue);
  gc.DrawRoundedRectangle(4, 4, 24, 24, 3);
  Shape(gc, kPaper);
  gc.DrawRectangle(9, 4, 14, 9);
  Shape(gc, wxColour(200, 205, 215));
  gc.DrawRectangle(8, 18, 16, 10);
}

// A door with a red arrow leaving it.
void DrawExit(wxGraphicsContext& gc) {
  Shape(gc, wxColour(170, 120, 80));
  gc.DrawRectangle(6, 3, 16, 26);
  Pen(gc, kRed, 2.5);
  gc.StrokeLine(16, 16, 29, 16);
  gc.StrokeLine(24, 11, 29, 16);
  gc.StrokeLine(24, 21, 29, 16);
}

// A green play triangle.
void DrawStart(wxGraphicsContext& gc) {
  Shape(gc, kGreen);
  gc.DrawPath(dialogs::ClosedPath(gc, {{8, 5}, {27, 16}, {8, 27}}));
}

// A red square.
void DrawStop(wxGraphicsContext& gc) {
  Shape(gc, kRed);
  gc.DrawRoundedRectangle(7, 7, 18, 18, 2);
}

// A white question mark on a blue disc.
void DrawHelp(wxGraphicsContext& gc) {
  Shape(gc, kBlue);
  gc.DrawEllipse(3, 3, 26, 26);
  gc.SetFont(wxFont(wxFontInfo(15).Bold()), *wxWHITE);
  double w, h;
  gc.GetTextExtent("?", &w, &h);
  gc.DrawText("?", 16 - w / 2, 16 - h / 2);
}

// A house with a red roof and a blue door.
void DrawHomePage(wxGraphicsContext& gc) {
  Shape(gc, kPaper);
  gc.DrawRectangle(8, 15, 16, 13);
  Shape(gc, kRed);
  gc.DrawPath(dialogs::ClosedPath(gc, {{4, 16}, {16, 5}, {28, 16}}));
  Shape(gc, kBlue);
  gc.DrawRectangle(14, 20, 5, 8);
}

void DrawTool(wxGraphicsContext& gc, ToolImage image) {
  switch (image) {
    case ToolImage::kNew: return DrawNew(gc);
    case ToolImage::kOpen: return DrawOpen(gc);
    case ToolImage::kSave: return DrawSave(gc);
    case ToolImage::kExit: return DrawExit(gc);
    case ToolImage::kStart: return DrawStart(gc);
    case ToolImage::kStop: return DrawStop(gc);
    case ToolImage::kHelp: return DrawHelp(gc);
    case ToolImage::kHomePage: return DrawHomePage(gc);
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
