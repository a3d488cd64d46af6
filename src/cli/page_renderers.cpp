// How the command line renders the pages a walk or a crawl hands it.
#include "cli/page_renderers.h"

#include <cstdlib>

#include "browser/web_browser.h"
#include "cli/cli_controls.h"
#include "resources/texts.h"

namespace cli {

bool StartDisplay(const DisplayChoice& choice, VirtualDisplay& display, std::string& error) {
  if (choice.useCurrentDisplay) {
    if (std::getenv("DISPLAY") && *std::getenv("DISPLAY")) return true;
    error = resources::TextUtf8(resources::TextId::kCliDisplayUnset);
    return false;
  }
  return display.Running() || display.Start(error, choice.screenWidth, choice.scale);
}

SessionRenderer::SessionRenderer(convert::RunState& state, CliControls& controls,
                                 DisplayChoice choice)
    : m_state(state), m_controls(controls), m_choice(choice) {}

SessionRenderer::~SessionRenderer() {
  m_controls.UseSession(nullptr);
  m_rendering.reset();
}

bool SessionRenderer::Start() {
  if (m_rendering) return true;
  if (!m_startError.empty()) return false;
  if (!StartDisplay(m_choice, m_display, m_startError) ||
      !m_session.Start(m_startError, m_choice.compositing)) {
    return false;
  }
  m_controls.UseSession(&m_session);
  m_session.Browser().UseIdentity(m_identity);
  m_rendering =
      std::make_unique<convert::ViewPageRenderer>(m_state, m_controls, m_session.Browser());
  return true;
}

convert::PageResult SessionRenderer::RenderPage(const convert::PageJob& job) {
  if (!Start()) {
    // Without a display no page can be rendered: the run stops.
    m_state.m_stop.Request();
    return {convert::PageTaken::kRunStops, std::nullopt};
  }
  return m_rendering->RenderPage(job);
}

int ShardOf(std::string_view outputPathBelowRoot, int shardCount) {
  std::uint64_t hash = 14695981039346656037ull;
  for (const unsigned char byte : outputPathBelowRoot) {
    hash ^= byte;
    hash *= 1099511628211ull;
  }
  return static_cast<int>(hash % static_cast<std::uint64_t>(shardCount)) + 1;
}

ShardFilter::ShardFilter(convert::PageRenderer& inner, const convert::RunState& state, int index,
                         int count)
    : m_inner(inner), m_state(state), m_index(index), m_count(count) {}

convert::PageResult ShardFilter::RenderPage(const convert::PageJob& job) {
  // The picture's name decides, whatever the format: the same page falls into the same shard
  // for bmp and png.
  std::string path =
      convert::OutputPathFor(job.outputFolder, job.name).value_or(job.outputFolder + job.name);
  if (path.starts_with(m_state.m_writePath)) path.erase(0, m_state.m_writePath.size());
  if (ShardOf(path, m_count) != m_index) return {convert::PageTaken::kLeftOut, std::nullopt};
  return m_inner.RenderPage(job);
}

}  // namespace cli
