// A page renderer that records every page it is given and can run a hook (e.g. press Stop).
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "convert/page_renderer.h"

namespace testing_support {

class RecordingRenderer : public convert::PageRenderer {
 public:
  struct Page {
    std::string location;
    std::string name;
    std::string outputFolder;
  };

  int RenderPage(const std::string& location, const std::string& name,
                 const std::string& outputFolder) override;

  std::vector<Page> pages;  // oldest first
  // Runs after each page is recorded, inside RenderPage.
  std::function<void(const Page&)> onRender;
};

}  // namespace testing_support
