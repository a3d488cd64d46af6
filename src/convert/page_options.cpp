// What the user asks of every page beyond the page itself.
#include "convert/page_options.h"

#include <algorithm>

#include "settings/settings_keys.h"

namespace convert {

std::string PageStyleSheet(const PageOptions& options) {
  std::string sheet;
  for (const std::string& selector : options.hide) {
    sheet += selector + " { visibility: hidden !important; }\n";
  }
  for (const std::string& selector : options.remove) {
    sheet += selector + " { display: none !important; }\n";
  }
  return sheet;
}

std::optional<PixelRect> ElementArea(const PixelRect& element, int padding, int pageWidth,
                                     int pageHeight) {
  // In 64 bits: an element far down a page plus a large padding must not wrap around.
  const long long pad = std::max(padding, 0);
  const long long left = std::max(0LL, element.x - pad);
  const long long top = std::max(0LL, element.y - pad);
  const long long right =
      std::min<long long>(pageWidth, static_cast<long long>(element.x) + element.width + pad);
  const long long bottom =
      std::min<long long>(pageHeight, static_cast<long long>(element.y) + element.height + pad);
  if (right <= left || bottom <= top) return std::nullopt;
  return PixelRect{static_cast<int>(left), static_cast<int>(top), static_cast<int>(right - left),
                   static_cast<int>(bottom - top)};
}

PageOptions ReadPageOptions(const settings::KeyFile& file) {
  using settings::DefinitionOf;
  using settings::Key;
  PageOptions options;
  options.selector = file.Text(DefinitionOf(Key::kSelector));
  options.padding = file.Integer(DefinitionOf(Key::kPadding));
  options.hide = file.List(DefinitionOf(Key::kHideList));
  options.remove = file.List(DefinitionOf(Key::kRemoveList));
  options.style = file.Text(DefinitionOf(Key::kStyle));
  options.script = file.Text(DefinitionOf(Key::kScript));
  options.noJavaScript = file.Switch(DefinitionOf(Key::kNoJavaScript));
  options.confine = file.Switch(DefinitionOf(Key::kConfine));
  options.noNetwork = file.Switch(DefinitionOf(Key::kNoNetwork));
  return options;
}

}  // namespace convert
