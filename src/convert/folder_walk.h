// The folder walk: every HTML file of a source folder (and, when chosen, of its subfolders)
// rendered into an output folder whose tree mirrors the source.
#pragma once

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
  static constexpr int kStopped = 0;
  static constexpr int kDots = 1;
  static constexpr int kHandled = 2;

  FolderWalk(RunState& state, RunControls& controls, PageRenderer& renderer);

  // Makes `output` the current directory (creating it when needed; a folder that cannot be made
  // is reported and its walk skipped) and hands every entry of `source` to ConvertEntry in the
  // file system's order, until one asks to stop. Both folders end in '/'.
  void ConvertFolder(const std::string& source, const std::string& output);

  // Stops when Stop was pressed or the window is closing; descends into a directory when
  // "サブフォルダも対象" is ticked at this moment; renders the entry when its name is a page name
  // (directories too, after their contents) and counts it.
  int ConvertEntry(const base::DirEntry& entry, const std::string& output);

 private:
  RunState& m_state;
  RunControls& m_controls;
  PageRenderer& m_renderer;
};

}  // namespace convert
