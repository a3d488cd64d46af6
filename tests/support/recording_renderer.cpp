// A page renderer that records every page it is given and can run a hook (e.g. press Stop).
#include "support/recording_renderer.h"

namespace testing_support {

int RecordingRenderer::RenderPage(const std::string& location, const std::string& name,
                                  const std::string& outputFolder) {
  pages.push_back({location, name, outputFolder});
  if (onRender) onRender(pages.back());
  return 1;
}

}  // namespace testing_support
