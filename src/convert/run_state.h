// The state that one conversion run (folder walk or crawl) shares with the main window.
#pragma once

#include <string>

#include "convert/page_options.h"
#include "convert/picture_format.h"
#include "convert/run_record.h"
#include "convert/run_stop.h"

namespace convert {

// Held by the main window for its whole life, on the window's one thread.
struct RunState {
  // --- Stop: set by Stop and Ctrl-C, read by the walk and the crawl between their steps ---
  RunStop m_stop;
  // --- end of Stop ---

  int m_pageCount = 0;      // number of the next page; a run ends with m_pageCount - 1 done
  std::string m_readPath;   // source folder or address template of the current run
  std::string m_writePath;  // output folder of the current run, always ending in '/'
  int m_captureWidth = 0;   // Size of the current page
  int m_wait = 0;           // Wait of the current page
  bool m_running = false;   // a run is in progress: a second Start starts nothing
  bool m_closing = false;   // the window is closing: the run stops and the program ends
  // The pictures' format, one of the registry's (the window writes the default, bmp).
  const PictureFormat* m_format = &DefaultPictureFormat();
  PictureOptions m_pictureOptions;  // what the format's writer is asked beyond the pixels
  // The waits end when the page is ready (loaded, nothing in flight, fonts ready, size settled)
  // and after a scroll at the next painted frame, never later than the fixed waits; the window
  // keeps the fixed waits.
  bool m_untilLoaded = false;
  // How pictures are taken. kSnapshot (the command line's fast mode) takes the first view as the
  // reader sees it and the rest of the page in one document snapshot wherever that gives the
  // tiles' picture, and goes tile by tile elsewhere; with it the waits are those the engine
  // drives (no lazy pass on a page without lazy content, timers of the load awaited, no empty
  // tiles). The window takes tiles.
  CaptureMethod m_capture = CaptureMethod::kTiles;
  // What is asked of every page beyond the page itself (none of it by default).
  PageOptions m_pageOptions;
  // An output that exists and is not empty is kept: its page is not rendered again (a crawl
  // still fetches it for its links) and its file is not requested again.
  bool m_noClobber = false;
};

}  // namespace convert
