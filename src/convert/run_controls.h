// What a run needs from the main window besides the page view: options, messages, the status
// line, event pumping and the window geometry for a page.
#pragma once

#include <chrono>
#include <string>

#include "convert/run_record.h"
#include "settings/fields.h"

namespace convert {

class RunControls : public settings::OptionControls {
 public:
  // Dispatches every pending event of the window framework and of the browser engine without
  // ever blocking; returns at once when nothing is pending.
  virtual void PumpMessages() = 0;
  // Sleeps; the run decides how long (fakes return at once).
  virtual void Sleep(std::chrono::microseconds duration) = 0;
  // The clock the waits are counted by: the time a pump takes counts toward a round's length.
  // Fakes that return from Sleep at once keep a clock of their own.
  virtual std::chrono::steady_clock::time_point Now() const {
    return std::chrono::steady_clock::now();
  }
  // Puts the keyboard focus into the control of `field`.
  virtual void FocusOption(settings::Field field) = 0;
  // Height of the primary screen in pixels.
  virtual int ScreenHeight() = 0;
  // Places the main window at (0, 0), captureWidth + 50 wide and screenHeight - 70 high, and the
  // browser control at (10, 150) in it, captureWidth wide and screenHeight - 300 high; repaints.
  virtual void PlaceForPage(int captureWidth, int screenHeight) = 0;
  // The capture of the current page moved on: it started, measured the page, copied a tile or
  // began writing the picture. The step it begins lasts at most `wait` by the page's own fixed
  // waits (and the writing by the picture's size); a front end that watches for stuck pages
  // counts its timeout from there.
  virtual void CaptureProgress(std::chrono::milliseconds wait) {}
  // Takes what became of one page or queue entry; only a front end that keeps a report keeps it.
  virtual void RecordEntry(const EntryRecord& record) {}
};

}  // namespace convert
