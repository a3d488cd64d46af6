// What the user asks of every page beyond the page itself: the picture of one element, clutter
// hidden or taken out, a style and a script of their own, pages without their scripts, and bounds
// for local pages from an unknown source.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "convert/tile_plan.h"

namespace settings {
class KeyFile;
}

namespace convert {

struct PageOptions {
  std::string selector;                  // the picture shows the first element matching it; "": all
  int padding = 0;                       // pixels of the page around that element
  std::vector<std::string> hide = {};    // elements made invisible; they keep their space
  std::vector<std::string> remove = {};  // elements taken out of the layout
  std::string style = {};                // a style sheet after the page's own, added once it loaded
  std::string script = {};               // run in the page after the load, before the capture
  bool noJavaScript = false;             // the page's own scripts do not run
  bool confine = false;                  // a local page reads files under the source folder only
  bool noNetwork = false;                // a local page loads nothing from the network
  bool operator==(const PageOptions&) const = default;
};

// The style sheet that hides and removes what the options name, in force from the start of every
// document. Each selector has a rule of its own, so that one the engine cannot read leaves the
// others working. "" when nothing is hidden or removed.
std::string PageStyleSheet(const PageOptions& options);

// The part of a page of `page` size that the picture of an element at `element` (page pixels)
// shows: the element with `padding` around it, inside the page; nullopt when nothing of it is.
std::optional<PixelRect> ElementArea(const PixelRect& element, int padding, int pageWidth,
                                     int pageHeight);

// The options a settings file holds (missing keys give none of them).
PageOptions ReadPageOptions(const settings::KeyFile& file);

}  // namespace convert
