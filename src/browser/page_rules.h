// What the user asks of every page as the engine applies it: a style sheet above the page's own,
// the switch of the page's scripts, and content rules that keep local pages in bounds.
#pragma once

#include <string>
#include <vector>

#include "convert/page_options.h"

typedef struct _WebKitWebView WebKitWebView;
typedef struct _WebKitUserStyleSheet WebKitUserStyleSheet;
typedef struct _WebKitUserContentFilter WebKitUserContentFilter;
typedef struct _WebKitUserContentFilterStore WebKitUserContentFilterStore;

namespace browser {

// The engine's content rules (a JSON list) for `options`: with confine, every file address is
// blocked but those under `folderUri` (the source folder's file URI, ending in '/'), and under
// it each of `escapingLinks` (names relative to the folder of symbolic links that lead out of
// it) stays blocked; with noNetwork, every web address is blocked. "" when neither is asked for.
std::string ContentRules(const convert::PageOptions& options, const std::string& folderUri,
                         const std::vector<std::string>& escapingLinks);

// The symbolic links under the code-page-932 `folder` (its subfolders too, never following a
// link) that lead to a place outside it, or nowhere; their native names relative to the folder.
std::vector<std::string> EscapingLinks(const std::string& folder);

class PageRules {
 public:
  explicit PageRules(WebKitWebView* view);
  ~PageRules();
  PageRules(const PageRules&) = delete;
  PageRules& operator=(const PageRules&) = delete;

  // Applies `options` from the next load on; content rules are made once for each options and
  // folder, within `timeoutMilliseconds`.
  void Set(const convert::PageOptions& options, const std::string& sourceFolder,
           int timeoutMilliseconds);
  // Puts the content rules in force for a local page and out of force for a web page (which can
  // read no local file anyway, and whose own server is on the network). False when a local page
  // must not load: its rules were asked for and could not be made.
  bool ForLoad(bool localPage);
  // Whether content rules are in force for the current load.
  bool InForce() const { return m_filterInForce; }

 private:
  void SetStyleSheet(const std::string& sheet);
  void SetFilter(const std::string& rules, int timeoutMilliseconds);

  WebKitWebView* m_view = nullptr;  // weak: null once the view is gone
  convert::PageOptions m_options;
  std::string m_folder;
  bool m_set = false;
  WebKitUserStyleSheet* m_sheet = nullptr;      // in the view's content manager while held
  WebKitUserContentFilter* m_filter = nullptr;  // the rules for local pages, when asked for
  bool m_filterWanted = false;                  // rules were asked for (made or not)
  bool m_filterInForce = false;
  std::string m_storeFolder;  // where the engine keeps made rules; removed with this object
  WebKitUserContentFilterStore* m_store = nullptr;
};

}  // namespace browser
