// The toolbar's button images and the browse buttons' image, drawn at start-up.
#include "app/toolbar_images.h"

#include <wx/dcmemory.h>
#include <wx/graphics.h>

#include <memory>

namespace app {
namespace {

constexpr int kSize = 32;

const wxColour kInk(60, 60, 70);
const wxColour kPaper(250, 250, 245);
const wxColour kFolder(236, 190, 80);
const wxColour kBlue(50, 110, 200);
const wxColour kGreen(40, 160, 70);
const wxColour kRed(205, 50, 45);

// A transparent canvas with a graphics context that draws smooth lines on it.
class Canvas {
 public:
  explicit Canvas(int size) : m_bitmap(size, size, 32) {
    m_bitmap.UseAlpha();
    m_dc.SelectObject(m_bitmap);
    m_dc.SetBackground(*wxTRANSPARENT_BRUSH);
    m_dc.Clear();
    m_gc.reset(wxGraphicsContext::Create(m_dc));
    // Clear to fully transparent pixels (Clear with a transparent brush leaves them untouched).
    m_gc->SetCompositionMode(wxCOMPOSITION_SOURCE);
    m_gc->SetBrush(wxBrush(wxColour(0, 0, 0, 0)));
    m_gc->DrawRectangle(0, 0, size, size);
    m_gc->SetCompositionMode(wxCOMPOSITION_OVER);
  }
  wxGraphicsContext& gc() { return *m_gc; }
  wxBitmap Finish() {
    m_gc.reset();
    m_dc.SelectObject(wxNullBitmap);
    return m_bitmap;
  }
  // Outlined, filled shapes follow.
  void Shape(const wxColour& fill) {
    Pen(kInk, 1.5);
    m_gc->SetBrush(wxBrush(fill));
  }
  // Plain strokes follow.
  void Pen(const wxColour& colour, double width) {
    m_gc->SetPen(m_gc->CreatePen(wxGraphicsPenInfo(colour).Width(width)));
  }

 private:
  wxBitmap m_bitmap;
  wxMemoryDC m_dc;
  std::unique_ptr<wxGraphicsContext> m_gc;
};

void DrawPage(Canvas& c) {
  c.Shape(kPaper);
  wxGraphicsPath page = c.gc().CreatePath();
  page.MoveToPoint(7, 3);
  page.AddLineToPoint(20, 3);
  page.AddLineToPoint(26, 9);
  page.AddLineToPoint(26, 29);
  page.AddLineToPoint(7, 29);
  page.CloseSubpath();
  c.gc().DrawPath(page);
  c.gc().StrokeLine(20, 3, 20, 9);
  c.gc().StrokeLine(20, 9, 26, 9);
}

void DrawFolder(Canvas& c, double x, double y, double w, double h) {
  c.Shape(kFolder);
  wxGraphicsPath folder = c.gc().CreatePath();
  folder.MoveToPoint(x, y + h * 0.2);
  folder.AddLineToPoint(x + w * 0.35, y + h * 0.2);
  folder.AddLineToPoint(x + w * 0.45, y);
  folder.AddLineToPoint(x + w, y);
  folder.AddLineToPoint(x + w, y + h);
  folder.AddLineToPoint(x, y + h);
  folder.CloseSubpath();
  c.gc().DrawPath(folder);
}

}  // namespace

wxBitmap DrawToolImage(ToolImage image) {
  Canvas c(kSize);
  auto& gc = c.gc();
  switch (image) {
    case ToolImage::kNew:
      DrawPage(c);
      c.Pen(kGreen, 2.5);
      gc.StrokeLine(16.5, 14, 16.5, 24);
      gc.StrokeLine(11.5, 19, 21.5, 19);
      break;
    case ToolImage::kOpen:
      DrawFolder(c, 3, 8, 26, 19);
      c.Shape(kFolder.ChangeLightness(120));
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
      c.Shape(kBlue);
      gc.DrawRoundedRectangle(4, 4, 24, 24, 3);
      c.Shape(kPaper);
      gc.DrawRectangle(9, 4, 14, 9);
      c.Shape(wxColour(200, 205, 215));
      gc.DrawRectangle(8, 18, 16, 10);
      break;
    case ToolImage::kExit:
      c.Shape(wxColour(170, 120, 80));
      gc.DrawRectangle(6, 3, 16, 26);
      c.Pen(kRed, 2.5);
      gc.StrokeLine(16, 16, 29, 16);
      gc.StrokeLine(24, 11, 29, 16);
      gc.StrokeLine(24, 21, 29, 16);
      break;
    case ToolImage::kStart: {
      c.Shape(kGreen);
      wxGraphicsPath play = gc.CreatePath();
      play.MoveToPoint(8, 5);
      play.AddLineToPoint(27, 16);
      play.AddLineToPoint(8, 27);
      play.CloseSubpath();
      gc.DrawPath(play);
      break;
    }
    case ToolImage::kStop:
      c.Shape(kRed);
      gc.DrawRoundedRectangle(7, 7, 18, 18, 2);
      break;
    case ToolImage::kHelp:
      c.Shape(kBlue);
      gc.DrawEllipse(3, 3, 26, 26);
      gc.SetFont(wxFont(wxFontInfo(15).Bold()), *wxWHITE);
      {
        double w, h;
        gc.GetTextExtent("?", &w, &h);
        gc.DrawText("?", 16 - w / 2, 16 - h / 2);
      }
      break;
    case ToolImage::kHomePage: {
      c.Shape(kPaper);
      gc.DrawRectangle(8, 15, 16, 13);
      c.Shape(kRed);
      wxGraphicsPath roof = gc.CreatePath();
      roof.MoveToPoint(4, 16);
      roof.AddLineToPoint(16, 5);
      roof.AddLineToPoint(28, 16);
      roof.CloseSubpath();
      gc.DrawPath(roof);
      c.Shape(kBlue);
      gc.DrawRectangle(14, 20, 5, 8);
      break;
    }
  }
  return c.Finish();
}

wxBitmap DrawBrowseImage() {
  Canvas c(16);
  DrawFolder(c, 1.5, 3.5, 13, 10);
  return c.Finish();
}

}  // namespace app
