// The folder walk: every HTML file of a source folder (and, when chosen, of its subfolders)
// rendered into an output folder whose tree mirrors the source.
#pragma once

#include <chrono>
#include <optional>
#include <set>
#include <string>
#include <string_view>

#include "base/file_system.h"
#include "convert/page_renderer.h"
#include "convert/run_controls.h"
#include "convert/run_state.h"

namespace convert {

// A name that contains "HTML" or "HTM" in any letter case, anywhere (code-page-932 aware).
bool IsPageName(std::string_view name);

class FolderWalk {
 public:
  // What ConvertEntry did.
  enum class EntryStep { kStopped, kDots, kHandled };
  // How ConvertFolder ended.
  enum class FolderEnd {
    kWalked,              // every entry was gone through
    kStopped,             // Stop or a closing window ended it early
    kCannotCreateFolder,  // the output folder could not be made (reported); nothing was walked
  };

  // The window gets its events at least every this many entries or this long while a folder is
  // listed and its entries are gone through, so that Stop is seen in a large tree.
  static constexpr int kEntriesPerPump = 256;
  static constexpr std::chrono::milliseconds kPumpInterval{50};

  FolderWalk(RunState& state, RunControls& controls, PageRenderer& renderer);

  // Makes `output` the current directory (creating it when needed; a folder that cannot be made
  // is reported and its walk skipped) and hands every entry of `source` to ConvertEntry in the
  // file system's order, until one asks to stop. Both folders end in '/'. A call from outside
  // the walk starts a new walk: its source counts as entered and its output folder is never
  // entered. A subfolder that cannot be made leaves the rest of its parent to walk.
  FolderEnd ConvertFolder(const std::string& source, const std::string& output);

  // Stops when Stop was pressed or the window is closing; descends into a directory when
  // "サブフォルダも対象" is ticked at this moment and the walk has not entered the same real
  // folder yet (links can lead back up the tree) and it is not the output folder; renders the
  // entry when its name is a page name (directories too, after their contents) and counts it.
  // A page name on anything that is neither a file nor a directory (a pipe, a device, a socket,
  // a dangling link) is passed over with a word in the status line and the report. The records
  // the renderer gives back go to RunControls::RecordEntry.
  EntryStep ConvertEntry(const base::DirEntry& entry, const std::string& output);

 private:
  void StartWalk(const std::string& source);
  bool Stopped() const;
  void RenderEntry(const base::DirEntry& entry, const std::string& output);
  // Pumps the window's events when they are due; false once the run is to stop.
  bool KeepResponsive();
  bool MayEnter(const base::DirEntry& entry);
  void PassOver(const base::DirEntry& entry);

  RunState& m_state;
  RunControls& m_controls;
  PageRenderer& m_renderer;
  int m_depth = 0;
  std::set<base::FileIdentity> m_entered;
  std::optional<base::FileIdentity> m_outputFolder;
  int m_entriesSincePump = 0;
  std::chrono::steady_clock::time_point m_lastPump;
};

}  // namespace convert
