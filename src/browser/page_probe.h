// The page probe of the browser control: scripts installed at every document's start that tell
// the control what the page does (PageTraits) and when its laid-out size changes, through
// script message channels, so that the control answers from memory instead of asking the page.
#pragma once

#include <chrono>
#include <optional>
#include <string>

#include "convert/page_view.h"

typedef struct _WebKitWebView WebKitWebView;
typedef struct _WebKitUserContentManager WebKitUserContentManager;
typedef struct _WebKitJavascriptResult WebKitJavascriptResult;

namespace browser {

class PageProbe {
 public:
  // Installs the scripts and channels in `view`'s content manager; they act from the next
  // document on. The probe must be created before the view's first page.
  explicit PageProbe(WebKitWebView* view);
  ~PageProbe();
  PageProbe(const PageProbe&) = delete;
  PageProbe& operator=(const PageProbe&) = delete;

  // The laid-out size the current document reported last (nullopt inside: no body yet, or fonts
  // still loading); nullopt outside when the document has reported nothing yet.
  std::optional<std::optional<convert::PixelSize>> Layout() const;
  // When the reported size last changed; nullopt before the document reported any.
  std::optional<std::chrono::steady_clock::time_point> LastLayoutChange() const;
  // What the probe recorded since the current document started, merged with `seen`, the answer
  // of kTraitsScript ("L F C V S"; nullopt when the page could not be asked).
  convert::PageTraits Traits(const std::optional<std::string>& seen) const;
  // Short timers of the current document's load that have not run yet.
  int PendingShortTimers() const { return m_findings.timers; }

 private:
  static void ProbeMessageThunk(WebKitUserContentManager*, WebKitJavascriptResult* result,
                                void* self);
  static void LayoutMessageThunk(WebKitUserContentManager*, WebKitJavascriptResult* result,
                                 void* self);
  static void LoadChangedThunk(WebKitWebView* view, int event, void* self);
  void OnProbeMessage(const std::string& word);
  void OnLayoutMessage(const std::string& message);

  WebKitWebView* m_view = nullptr;                // weak: null once the view is gone
  WebKitUserContentManager* m_content = nullptr;  // held
  unsigned long m_probeHandler = 0;
  unsigned long m_layoutHandler = 0;
  unsigned long m_loadHandler = 0;

  // Findings of the current document; cleared when a new document is committed.
  struct Findings {
    bool observer = false;
    bool scroll = false;
    bool loop = false;
    bool webgl = false;
    bool webglRefused = false;
    int timers = 0;  // short timers of the load (see kProbeScript) not yet run
  };
  Findings m_findings;
  bool m_layoutKnown = false;
  std::optional<convert::PixelSize> m_layout;
  std::chrono::steady_clock::time_point m_layoutChangedAt;
};

}  // namespace browser
