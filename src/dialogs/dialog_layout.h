// Places a window's controls in dialog units, widened where the user-interface font needs more
// room than the units give.
#pragma once

#include <wx/gdicmn.h>

class wxDialog;
class wxWindow;

namespace dialogs {

class DialogLayout {
 public:
  // `window`'s font must be set first: a dialog unit is a quarter of its average character
  // width and an eighth of its height.
  explicit DialogLayout(wxWindow* window) : m_window(window) {}

  wxPoint Pos(int x, int y) const;
  wxSize Size(int width, int height) const;

  // Places `control` at x, y with width × height dialog units, each control on its own: where
  // the font needs more room than the units give, the control's own best size wins, so that no
  // label is cut; edits keep their width. Returns the control. (The main window lays itself out
  // this way; the other windows widen as a whole in Finish.)
  wxWindow* Place(wxWindow* control, int x, int y, int width, int height) const;

  // Ends the layout: when a label, check box or button is too narrow for its text, every
  // horizontal position and width of the window is widened by one common factor, so that no
  // text is cut and every control keeps its place relative to the others. The client area then
  // gets `width` × `height` dialog units, widened likewise. Returns the factor (1 when none).
  double Finish(int width, int height);

 private:
  wxWindow* m_window;
};

// Ends `dialog` with `returnCode`: a modal one returns from ShowModal, one shown without a loop
// of its own (as tests show it) is hidden with the code set.
void FinishDialog(wxDialog& dialog, int returnCode);

// The width that `control` needs to show its whole text (0 for controls without a caption).
int NeededWidth(const wxWindow* control);

}  // namespace dialogs
