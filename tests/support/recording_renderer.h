// A page renderer that records every page it is given and can run a hook (e.g. press Stop).
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "convert/page_renderer.h"

namespace testing_support {

class RecordingRenderer : public convert::PageRenderer {
 public:
  using Page = convert::PageJob;

  // Records the job and answers with `taken`; kRendered comes with the job's record completed
  // as written (its source the location when the caller left it empty).
  convert::PageResult RenderPage(const convert::PageJob& job) override;

  std::vector<Page> pages;  // oldest first
  convert::PageTaken taken = convert::PageTaken::kRendered;
  // Runs after each page is recorded, inside RenderPage.
  std::function<void(const Page&)> onRender;
};

}  // namespace testing_support
