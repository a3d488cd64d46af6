// The state that one conversion run (folder walk or crawl) shares with the main window.
#pragma once

#include <string>

namespace convert {

// Held by the main window for its whole life. The stop flags are plain integers set by Stop and
// read by the walk and the crawl between steps, on the window's one thread.
struct RunState {
  int m_pageCount = 0;      // number of the next page; a run ends with m_pageCount - 1 done
  int m_stopWalk = 0;       // 1: the folder walk stops before its next entry
  int m_stopCrawl = 0;      // 1: the crawl stops at its next check
  std::string m_readPath;   // source folder or address template of the current run
  std::string m_writePath;  // output folder of the current run, always ending in '/'
  int m_captureWidth = 0;   // Size of the current page
  int m_wait = 0;           // Wait of the current page
  bool m_running = false;   // a run is in progress: a second Start starts nothing
  bool m_closing = false;   // the window is closing: the run stops and the program ends
};

}  // namespace convert
