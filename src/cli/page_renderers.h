// How the command line renders the pages a walk or a crawl hands it: in this process on a
// browser view of its own, or only the pages of one shard.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

#include "browser/engine_identity.h"
#include "cli/headless_session.h"
#include "cli/virtual_display.h"
#include "convert/page_renderer.h"
#include "convert/view_page_renderer.h"
#include "convert/run_state.h"

namespace cli {

class CliControls;

// Where pages are shown: a private virtual display, or the current one.
struct DisplayChoice {
  bool useCurrentDisplay = false;
  int screenWidth = VirtualDisplay::kScreenWidth;  // of the virtual display
  bool compositing = true;  // the engine composites its views (off in the fast mode)
  int scale = 1;            // device pixels for each of a page's own pixels (GDK_SCALE)
};

// Starts the display a run renders on when its first page comes; false and `error` when none
// could be had. The virtual display is kept by `display`.
bool StartDisplay(const DisplayChoice& choice, VirtualDisplay& display, std::string& error);

// Renders every page in this process, in the window's order and timing. The display and the
// browser are started with the first page, so that a run refused before its first page starts
// neither. Each page is kRendered with its record; kRunStops (and the run is asked to stop)
// when the display or the browser could not be started.
class SessionRenderer : public convert::PageRenderer {
 public:
  SessionRenderer(convert::RunState& state, CliControls& controls, DisplayChoice choice);
  ~SessionRenderer() override;

  convert::PageResult RenderPage(const convert::PageJob& job) override;

  // The error that kept the display or the browser from starting, or empty.
  const std::string& StartError() const { return m_startError; }
  // The crawl's identity for the web pages it renders (before the first page).
  void SetIdentity(browser::Identity identity) { m_identity = std::move(identity); }

 private:
  bool Start();

  convert::RunState& m_state;
  CliControls& m_controls;
  DisplayChoice m_choice;
  VirtualDisplay m_display;
  HeadlessSession m_session;
  std::unique_ptr<convert::ViewPageRenderer> m_rendering;
  std::string m_startError;
  browser::Identity m_identity;
};

// The shard of a page: a stable hash (FNV-1a, 64 bits) of its output path below the run's output
// folder, so that pages that write the same file fall into the same shard on every machine.
int ShardOf(std::string_view outputPathBelowRoot, int shardCount);

// Passes on only the pages of shard `index` (1..count), with what the inner renderer gives back;
// the others are kLeftOut: neither rendered, recorded nor counted.
class ShardFilter : public convert::PageRenderer {
 public:
  ShardFilter(convert::PageRenderer& inner, const convert::RunState& state, int index, int count);
  convert::PageResult RenderPage(const convert::PageJob& job) override;

 private:
  convert::PageRenderer& m_inner;
  const convert::RunState& m_state;
  int m_index;
  int m_count;
};

}  // namespace cli
