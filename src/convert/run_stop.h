// Stop for a run: the window's Stop and the command line's Ctrl-C ask for it, and the folder
// walk, the crawl, the seeding loops and the transfers read it between their steps.
#pragma once

namespace convert {

// One request to stop, kept for the whole run on the front end's one thread. The walk stops
// before its next entry, the crawl and the seeding at their next check, a transfer within its
// progress interval; the page in progress finishes its own waits.
class RunStop {
 public:
  // Stop was pressed, Ctrl-C came, or nothing can render the pages any more.
  void Request() { m_requested = true; }
  bool Requested() const { return m_requested; }
  // A new run forgets a Stop pressed before it.
  void Clear() { m_requested = false; }

 private:
  bool m_requested = false;
};

}  // namespace convert
