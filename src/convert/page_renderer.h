// Rendering one page into a bitmap file, as the folder walk and the crawl call it.
#pragma once

#include <string>

namespace convert {

// What the folder walk and the crawl hand each page to; ViewPageRenderer renders it on a page
// view, the command line's render workers in other processes.
class PageRenderer {
 public:
  virtual ~PageRenderer() = default;
  // Loads `location` (a local file path or a web address), captures it and writes
  // outputFolder + (name up to its last dot) + "bmp". Always 1: the page counts as processed.
  virtual int RenderPage(const std::string& location, const std::string& name,
                         const std::string& outputFolder) = 0;
};

}  // namespace convert
