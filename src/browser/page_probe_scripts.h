// Page scripts of the page probe: what it records in the page from its start, the watcher that
// tells the control of every change of the document's laid-out size, and the look through the
// page's styles at capture time.
#pragma once

namespace browser {

// The message channels of the two scripts installed at document start.
inline constexpr const char* kProbeChannel = "rendoraProbe";
inline constexpr const char* kLayoutChannel = "rendoraLayout";

// Runs in the page's own world, before any script of the page: what it records happens inside
// functions of the page's world (setTimeout, addEventListener, IntersectionObserver,
// requestAnimationFrame, getContext), and the control's own world has its own copies of all of
// them, which the page never calls. Each function is replaced by a Proxy of the original, so
// that it keeps its name, its prototype, instanceof and its behaviour; the proxies and the
// channel are taken before the page runs, so that a page that redefines them later neither
// breaks the probe nor is broken by it. Each finding is posted once per frame as a word:
// "observer", "scroll", "loop", "webgl", "webgl-refused"; a timer of at most 1 s set before the
// load event or within 500 ms after it posts "timer+" when set and "timer-" when it ran or was
// cleared.
inline constexpr const char* kProbeScript = R"JS(
(function () {
  var handlers = window.webkit && window.webkit.messageHandlers;
  var channel = handlers && handlers.rendoraProbe;
  if (!channel) return;
  var send = channel.postMessage, apply = Reflect.apply, construct = Reflect.construct;
  var seen = {}, loaded = false, frameDepth = 0;
  function post(word) { try { apply(send, channel, [word]); } catch (e) {} }
  function once(word) { if (!seen[word]) { seen[word] = true; post(word); } }
  function wrap(owner, name, handler) {
    var original = owner && owner[name];
    if (typeof original !== 'function') return null;
    try { owner[name] = new Proxy(original, handler); } catch (e) {}
    return original;
  }
  wrap(window, 'IntersectionObserver', {
    construct: function (target, args, newTarget) {
      once('observer');
      return construct(target, args, newTarget);
    }
  });
  wrap(window, 'requestAnimationFrame', {
    apply: function (target, self, args) {
      // A callback three generations deep is a loop, not a page that waits one frame or two.
      var generation = frameDepth + 1, callback = args[0];
      if (generation >= 3) once('loop');
      if (typeof callback === 'function') {
        args = [function () {
          var outer = frameDepth;
          frameDepth = generation;
          try { return apply(callback, this, arguments); } finally { frameDepth = outer; }
        }];
      }
      return apply(target, self, args);
    }
  });
  var addListener = wrap(EventTarget.prototype, 'addEventListener', {
    apply: function (target, self, args) {
      if (args[0] === 'scroll') once('scroll');
      return apply(target, self, args);
    }
  });
  [window, Window.prototype, Document.prototype, HTMLElement.prototype].forEach(function (o) {
    var d = Object.getOwnPropertyDescriptor(o, 'onscroll');
    if (!d || !d.set || !d.configurable) return;
    var set = d.set;
    d.set = function (value) { if (value) once('scroll'); return apply(set, this, [value]); };
    Object.defineProperty(o, 'onscroll', d);
  });
  var pending = new Set();
  function ended(id) { if (pending.delete(id)) post('timer-'); }
  var setTimer = wrap(window, 'setTimeout', {
    apply: function (target, self, args) {
      var delay = Number(args[1]) || 0, callback = args[0];
      if (loaded || delay > 1000 || typeof callback !== 'function') return apply(target, self, args);
      var id;
      args = Array.prototype.slice.call(args);
      args[0] = function () { ended(id); return apply(callback, this, arguments); };
      id = apply(target, self, args);
      pending.add(id);
      post('timer+');
      return id;
    }
  });
  wrap(window, 'clearTimeout', {
    apply: function (target, self, args) { ended(args[0]); return apply(target, self, args); }
  });
  var context = {
    apply: function (target, self, args) {
      var gl = /webgl/i.test(String(args[0]));
      var result = apply(target, self, args);
      if (gl) once(result ? 'webgl' : 'webgl-refused');
      return result;
    }
  };
  if (window.HTMLCanvasElement) wrap(HTMLCanvasElement.prototype, 'getContext', context);
  if (window.OffscreenCanvas) wrap(OffscreenCanvas.prototype, 'getContext', context);
  if (addListener) {
    // Timers set by the load event's own handlers, and in the half second after it, still
    // count: a page that grows itself a moment after loading is not ready before they ran.
    apply(addListener, window, ['load', function () {
      if (setTimer) apply(setTimer, window, [function () { loaded = true; }, 500]);
      else loaded = true;
    }, true]);
  }
})();
)JS";

// Runs in the control's world in the top frame, from document start: posts the document's
// address and laid-out size ("address\nwidth height", the size as kLayoutSizeScript gives it, ""
// while there is none) each time the size differs from the one posted last. Every change of the
// document's size has a cause the page can be watched for without asking it again and again: a box
// of the root or the body resized (ResizeObserver), the document changed (MutationObserver), an
// image, a style sheet or a font came (load events, fonts), the view was resized. Each cause
// schedules one check after the current task; checks triggered together are one.
inline constexpr const char* kLayoutWatchScript = R"JS(
(function () {
  var channel = window.webkit.messageHandlers.rendoraLayout;
  var last = null, scheduled = false, watchedBody = null;
  function size() {
    if (document.readyState === 'loading' || !document.body) return '';
    if (document.fonts && document.fonts.status !== 'loaded') return '';
    var scroller = document.scrollingElement || document.documentElement;
    return Math.round(scroller.scrollWidth) + ' ' + Math.round(scroller.scrollHeight);
  }
  var boxes = new ResizeObserver(function () { schedule(); });
  function check() {
    scheduled = false;
    if (document.documentElement && !watchedBody) boxes.observe(document.documentElement);
    if (document.body && document.body !== watchedBody) {
      watchedBody = document.body;
      boxes.observe(watchedBody);
    }
    var now = size();
    if (now === last) return;
    last = now;
    channel.postMessage(location.href + '\n' + now);
  }
  function schedule() {
    if (scheduled) return;
    scheduled = true;
    setTimeout(check, 0);
  }
  new MutationObserver(schedule).observe(document, {
    childList: true, subtree: true, attributes: true, characterData: true
  });
  document.addEventListener('readystatechange', schedule);
  document.addEventListener('load', schedule, true);
  window.addEventListener('load', schedule);
  window.addEventListener('resize', schedule);
  if (document.fonts) {
    document.fonts.addEventListener('loadingdone', schedule);
    document.fonts.ready.then(schedule);
  }
  schedule();
})();
)JS";

// The document's scroll size as "width height": the size of a snapshot of the whole document.
inline constexpr const char* kDocumentSizeScript = R"JS(
(function () {
  var scroller = document.scrollingElement || document.documentElement;
  if (!scroller) return '';
  return Math.round(scroller.scrollWidth) + ' ' + Math.round(scroller.scrollHeight);
})())JS";

// What can be seen in the page as it stands, from the control's world: "L F C V S", each 0 or
// 1: elements with loading="lazy"; background-attachment: fixed anywhere; content-visibility:
// auto anywhere; viewport units in a style sheet or an inline style (a style sheet whose rules
// cannot be read, from another origin, counts as maybe: 1); an inline onscroll attribute.
inline constexpr const char* kTraitsScript = R"JS(
(function () {
  var units = /[0-9.](?:s|d|l)?v(?:h|w|min|max)\b/i;
  var lazy = !!document.querySelector('img[loading="lazy" i], iframe[loading="lazy" i]');
  var fixed = false, visibility = false, viewport = false;
  var all = document.getElementsByTagName('*');
  for (var i = 0; i < all.length && i < 20000; ++i) {
    var style = getComputedStyle(all[i]);
    if (/fixed/.test(style.backgroundAttachment)) fixed = true;
    if (style.contentVisibility === 'auto') visibility = true;
    var inline = all[i].getAttribute('style');
    if (inline && units.test(inline)) viewport = true;
  }
  for (var s = 0; s < document.styleSheets.length && !viewport; ++s) {
    var rules;
    try { rules = document.styleSheets[s].cssRules; } catch (e) { viewport = true; break; }
    for (var r = 0; rules && r < rules.length && !viewport; ++r) {
      if (units.test(rules[r].cssText)) viewport = true;
    }
  }
  var scroll = !!document.querySelector('[onscroll]');
  return [lazy, fixed, visibility, viewport, scroll].map(function (b) { return b ? 1 : 0; })
      .join(' ');
})())JS";

}  // namespace browser
