// The folder walk: every HTML file of a source folder (and, when chosen, of its subfolders)
// rendered into an output folder whose tree mirrors the source.
#include "convert/folder_walk.h"

#include "base/text.h"
#include "base/tools.h"
#include "convert/view_page_renderer.h"
#include "resources/texts.h"

namespace convert {

bool IsPageName(std::string_view name) {
  const std::string upper = base::ToUpper(name);
  return base::Contains(upper, "HTML") || base::Contains(upper, "HTM");
}

FolderWalk::FolderWalk(RunState& state, RunControls& controls, PageRenderer& renderer)
    : m_state(state), m_controls(controls), m_renderer(renderer) {}

FolderWalk::FolderEnd FolderWalk::ConvertFolder(const std::string& source,
                                                const std::string& output) {
  const bool top = m_depth == 0;
  struct Depth {
    int& depth;
    ~Depth() { --depth; }
  } depth{++m_depth};
  if (top) StartWalk(source);

  if (!base::MakeFolderCurrent(output)) {
    m_controls.ShowMessage(resources::Text(resources::TextId::kCannotCreateFolder));
    return FolderEnd::kCannotCreateFolder;
  }
  if (top) m_outputFolder = base::IdentifyFile(output);
  const auto entries = base::ListDirectory(source, [this] { return KeepResponsive(); });
  for (const base::DirEntry& entry : entries) {
    KeepResponsive();
    if (ConvertEntry(entry, output) == EntryStep::kStopped) return FolderEnd::kStopped;
  }
  // A Stop seen while listing leaves fewer entries to go through.
  return Stopped() ? FolderEnd::kStopped : FolderEnd::kWalked;
}

bool FolderWalk::Stopped() const { return m_state.m_stop.Requested() || m_state.m_closing; }

FolderWalk::EntryStep FolderWalk::ConvertEntry(const base::DirEntry& entry,
                                               const std::string& output) {
  if (Stopped()) return EntryStep::kStopped;
  if (entry.IsDots()) return EntryStep::kDots;
  if (entry.IsDirectory() && m_controls.IsOptionChecked(settings::Field::kSub) && MayEnter(entry)) {
    ConvertFolder(entry.path + base::kPathSeparator, output + entry.name + base::kPathSeparator);
  }
  // A walk cut short by Stop still renders its own folder when that is named like a page; a
  // closing window renders nothing more.
  if (IsPageName(entry.name) && !m_state.m_closing) {
    if (entry.kind == base::EntryKind::kOther) {
      PassOver(entry);
    } else {
      RenderEntry(entry, output);
    }
  }
  return EntryStep::kHandled;
}

void FolderWalk::RenderEntry(const base::DirEntry& entry, const std::string& output) {
  if (m_state.m_noClobber) {
    const std::optional<std::string> picture = OutputPathFor(output, entry.name, *m_state.m_format);
    if (picture && base::IsNonEmptyFile(*picture)) {
      // Kept as it is; a page not rendered is not counted as processed.
      EntryRecord record;
      record.source = entry.path;
      record.output = picture;
      record.outcome = EntryOutcome::kSkipped;
      record.reason = EntryReason::kExists;
      m_controls.RecordEntry(record);
      return;
    }
  }
  const PageResult result =
      m_renderer.RenderPage(PageJob{entry.path, entry.name, output, m_state.m_pageCount, {}});
  if (result.record) m_controls.RecordEntry(*result.record);
  if (CountsAsProcessed(result.taken)) ++m_state.m_pageCount;
}

void FolderWalk::StartWalk(const std::string& source) {
  m_entered.clear();
  m_outputFolder.reset();
  if (const auto identity = base::IdentifyFile(source)) m_entered.insert(*identity);
  m_entriesSincePump = 0;
  m_lastPump = std::chrono::steady_clock::now();
}

bool FolderWalk::KeepResponsive() {
  if (Stopped()) return false;
  ++m_entriesSincePump;
  if (m_entriesSincePump >= kEntriesPerPump ||
      std::chrono::steady_clock::now() - m_lastPump >= kPumpInterval) {
    m_controls.PumpMessages();
    m_entriesSincePump = 0;
    m_lastPump = std::chrono::steady_clock::now();
  }
  return !Stopped();
}

// A real folder is entered once however many links lead to it, and the output folder never:
// the walk would otherwise go round a link loop without end, or convert its own output into
// ever deeper copies of itself.
bool FolderWalk::MayEnter(const base::DirEntry& entry) {
  const std::optional<base::FileIdentity> identity = base::IdentifyFile(entry.path);
  if (!identity) return true;  // a folder that cannot be looked at cannot be listed either
  if (m_outputFolder && *identity == *m_outputFolder) return false;
  return m_entered.insert(*identity).second;
}

void FolderWalk::PassOver(const base::DirEntry& entry) {
  m_controls.SetStatusText(resources::NotRegularFileText(entry.name));
  EntryRecord record;
  record.source = entry.path;
  record.outcome = EntryOutcome::kSkipped;
  record.reason = EntryReason::kNotRegularFile;
  m_controls.RecordEntry(record);
}

}  // namespace convert
