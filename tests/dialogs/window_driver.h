// Drives the real windows in tests: presses buttons and keys the way the toolkit delivers them,
// and runs a modal window while a test step acts inside it.
#pragma once

#include <gtest/gtest.h>
#include <wx/app.h>
#include <wx/checkbox.h>
#include <wx/dialog.h>
#include <wx/toplevel.h>
#include <wx/uiaction.h>
#include <wx/utils.h>

#include <functional>
#include <string>

#include "dialogs/dialog_layout.h"

namespace testing_support {

// The control `id` of `window`, of type T (a failed test when missing or of another type).
template <class T>
T* Control(wxWindow* window, int id) {
  T* control = dynamic_cast<T*>(window->FindWindow(id));
  EXPECT_NE(control, nullptr) << "control " << id;
  return control;
}

// A click on button `id`: the command event the button itself sends.
inline void Click(wxWindow* window, int id) {
  wxWindow* button = window->FindWindow(id);
  ASSERT_NE(button, nullptr) << "button " << id;
  wxCommandEvent event(wxEVT_BUTTON, id);
  event.SetEventObject(button);
  button->GetEventHandler()->ProcessEvent(event);
}

// A click on check box `id`, which flips it and sends its command event.
inline void ClickCheck(wxWindow* window, int id) {
  auto* box = Control<wxCheckBox>(window, id);
  ASSERT_NE(box, nullptr);
  box->SetValue(!box->GetValue());
  wxCommandEvent event(wxEVT_CHECKBOX, id);
  event.SetEventObject(box);
  event.SetInt(box->GetValue() ? 1 : 0);
  box->GetEventHandler()->ProcessEvent(event);
}

// A key pressed while `dialog` has the focus, as its key hook sees it (Escape, Enter).
inline void PressKey(wxDialog* dialog, int keyCode) {
  wxKeyEvent event(wxEVT_CHAR_HOOK);
  event.m_keyCode = keyCode;
  event.SetEventObject(dialog);
  dialog->GetEventHandler()->ProcessEvent(event);
}

// Types `text` into `edit` and presses Enter on the real keyboard path (the X server's test
// extension), then lets the toolkit handle the keys until the edit's window has closed or has
// had ample chances to.
inline void TypeIntoAndPressEnter(wxWindow* edit, const char* text) {
  wxWindow* top = wxGetTopLevelParent(edit);
  top->Raise();
  edit->SetFocus();
  wxUIActionSimulator keyboard;
  const wxRect rect = edit->GetScreenRect();
  keyboard.MouseMove(rect.GetLeft() + 5, rect.GetTop() + rect.height / 2);
  keyboard.MouseClick();
  keyboard.Text(text);
  keyboard.Char(WXK_RETURN);
  for (int round = 0; round < 400 && top->IsShown(); ++round) {
    wxTheApp->Yield(true);
    wxMilliSleep(5);
  }
}

// The close box of the title bar.
inline void PressCloseBox(wxWindow* window) { window->Close(); }

// `dialog` has `width` × `height` dialog units (wider only where its font needs it), every
// control lies inside it and no caption is cut.
inline void ExpectLaidOut(wxWindow* dialog, int width, int height) {
  const wxSize units = dialog->ConvertDialogToPixels(wxSize(width, height));
  const wxSize client = dialog->GetClientSize();
  EXPECT_EQ(client.y, units.y);
  EXPECT_GE(client.x, units.x);
  EXPECT_LE(client.x, units.x * 1.6 + 1);
  for (wxWindow* child : dialog->GetChildren()) {
    const wxRect rect = child->GetRect();
    EXPECT_GE(rect.x, 0) << child->GetLabel();
    EXPECT_LE(rect.GetRight(), client.x) << child->GetLabel();
    EXPECT_LE(rect.GetBottom(), client.y) << child->GetLabel();
    EXPECT_GE(rect.width, dialogs::NeededWidth(child)) << child->GetLabel();
  }
}

// The top-level window of type T that runs modally now, or nullptr.
template <class T>
T* FindModalWindow() {
  for (wxWindow* window : wxTopLevelWindows) {
    if (auto* found = dynamic_cast<T*>(window); found && found->IsModal()) return found;
  }
  return nullptr;
}

// Runs `start` (which opens a modal window and returns when it closes) with `act` running once
// inside the modal loop. `act` must close the modal window; if it did not, the window is closed
// here and the test fails, so a test never hangs on a window left open.
template <class T>
void WithModal(const std::function<void()>& start, const std::function<void(T&)>& act) {
  bool acted = false;
  int attempts = 0;
  std::function<void()> attempt = [&] {
    // The toolkit may dispatch queued calls while the window is still being shown, before its
    // modal loop runs: try again until the window is modal.
    T* window = FindModalWindow<T>();
    if (!window) {
      if (++attempts < 100000) wxTheApp->CallAfter(attempt);
      return;
    }
    acted = true;
    act(*window);
    if (window->IsModal()) {
      ADD_FAILURE() << "the modal window stayed open";
      window->EndModal(wxID_CANCEL);
    }
  };
  wxTheApp->CallAfter(attempt);
  start();
  EXPECT_TRUE(acted);
}

}  // namespace testing_support
