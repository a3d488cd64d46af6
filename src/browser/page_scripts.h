// Page scripts and styles with which the browser control watches a page settle and takes what is
// pinned to the view out of the pictures of a scrolled view.
#pragma once

namespace browser {

// The world the control's own scripts run in: beside the page's scripts, which neither see them
// nor can break them by redefining what they use.
inline constexpr const char* kControlWorld = "rendora";

// The attribute that marks an element pinned to the view while a picture is taken: "hidden" for
// a fixed element, "placed" for a sticky one.
inline constexpr const char* kPinnedAttribute = "data-rendora-pinned";

// The document's laid-out size as "width height" once its fonts are ready; "" while there is no
// body or fonts are still loading.
inline constexpr const char* kLayoutSizeScript = R"JS(
(function () {
  if (document.readyState === 'loading' || !document.body) return '';
  if (document.fonts && document.fonts.status !== 'loaded') return '';
  var scroller = document.scrollingElement || document.documentElement;
  return Math.round(scroller.scrollWidth) + ' ' + Math.round(scroller.scrollHeight);
})())JS";

// Resolves once the view's next rendering update has begun: its animation frame callbacks run
// first, and the rest of that update (the scroll events, the checks of what came into view, the
// paint) runs before the page takes any other work, the control's next script included.
inline constexpr const char* kFrameFunction =
    "await new Promise(function (done) { requestAnimationFrame(done); }); return 1;";

// Marks every element that is not marked yet and whose computed position is fixed ("hidden") or
// sticky ("placed"); the user style sheet below does the rest. Gives the number newly marked.
inline constexpr const char* kHidePinnedScript = R"JS(
(function () {
  var all = document.getElementsByTagName('*'), marked = 0;
  for (var i = 0; i < all.length && i < 20000; ++i) {
    var e = all[i];
    if (e.hasAttribute('data-rendora-pinned')) continue;
    var position = getComputedStyle(e).position;
    if (position === 'fixed') {
      e.setAttribute('data-rendora-pinned', 'hidden');
      ++marked;
    } else if (position === 'sticky' || position === '-webkit-sticky') {
      e.setAttribute('data-rendora-pinned', 'placed');
      ++marked;
    }
  }
  return '' + marked;
})())JS";

// Takes every mark away again.
inline constexpr const char* kRestorePinnedScript = R"JS(
(function () {
  var marked = document.querySelectorAll('[data-rendora-pinned]');
  for (var i = 0; i < marked.length; ++i) marked[i].removeAttribute('data-rendora-pinned');
  return '' + marked.length;
})())JS";

// User styles for marked elements, above every style of the page. A fixed element and all in it
// become invisible while keeping their boxes. A sticky element stays where the page's flow puts
// it, as it stands with the page scrolled to its top, still the box its positioned descendants
// are placed in.
inline constexpr const char* kPinnedStyleSheet =
    "[data-rendora-pinned=\"hidden\"], [data-rendora-pinned=\"hidden\"] * "
    "{ visibility: hidden !important; }\n"
    "[data-rendora-pinned=\"placed\"] { position: relative !important; top: auto !important; "
    "bottom: auto !important; left: auto !important; right: auto !important; }\n";

}  // namespace browser
