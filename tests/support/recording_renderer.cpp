// A page renderer that records every page it is given and can run a hook (e.g. press Stop).
#include "support/recording_renderer.h"

namespace testing_support {

convert::PageResult RecordingRenderer::RenderPage(const convert::PageJob& job) {
  pages.push_back(job);
  if (onRender) onRender(pages.back());
  if (taken != convert::PageTaken::kRendered) return {taken, std::nullopt};
  convert::EntryRecord record = job.known;
  if (record.source.empty()) record.source = job.location;
  record.outcome = convert::EntryOutcome::kWritten;
  return {taken, record};
}

}  // namespace testing_support
