// The folder walk: every HTML file of a source folder (and, when chosen, of its subfolders)
// rendered into an output folder whose tree mirrors the source.
#include "convert/folder_walk.h"

#include "base/text.h"
#include "base/tools.h"
#include "resources/texts.h"

namespace convert {

bool IsPageName(std::string_view name) {
  const std::string upper = base::ToUpper(name);
  return base::Contains(upper, "HTML") || base::Contains(upper, "HTM");
}

FolderWalk::FolderWalk(RunState& state, RunControls& controls, PageRenderer& renderer)
    : m_state(state), m_controls(controls), m_renderer(renderer) {}

void FolderWalk::ConvertFolder(const std::string& source, const std::string& output) {
  if (!base::SetCurrentDirectory(output)) {
    base::CreateFolderPath(output);
    if (!base::SetCurrentDirectory(output)) {
      m_controls.ShowMessage(resources::Text(resources::TextId::kCannotCreateFolder));
      return;
    }
  }
  for (const base::DirEntry& entry : base::ListDirectory(source)) {
    if (ConvertEntry(entry, output) == kStopped) break;
  }
}

int FolderWalk::ConvertEntry(const base::DirEntry& entry, const std::string& output) {
  if (m_state.m_stopWalk != 0 || m_state.m_closing) return kStopped;
  if (entry.IsDots()) return kDots;
  if (entry.isDirectory && m_controls.IsOptionChecked(settings::Field::kSub)) {
    ConvertFolder(entry.path + base::kPathSeparator, output + entry.name + base::kPathSeparator);
  }
  // A walk cut short by Stop still renders its own folder when that is named like a page; a
  // closing window renders nothing more.
  if (IsPageName(entry.name) && !m_state.m_closing) {
    if (m_renderer.RenderPage(entry.path, entry.name, output) == 1) ++m_state.m_pageCount;
  }
  return kHandled;
}

}  // namespace convert
