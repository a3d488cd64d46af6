// The browser control: a WebKit view inside a window that loads, measures, scrolls and
// photographs pages for the capture. The main window and the command line both use it.
#pragma once

#include <chrono>
#include <memory>
#include <optional>
#include <set>
#include <string>

#include "convert/page_view.h"

class wxWindow;
class wxWebView;
typedef struct _WebKitWebView WebKitWebView;
typedef struct _WebKitWebResource WebKitWebResource;

namespace browser {

class RequestAnswers;
class EngineIdentity;
struct Identity;

// How long a call waits for the engine (a script result, a snapshot, page data) before it gives
// up, so that a stuck page can never hang a run.
inline constexpr int kEngineTimeoutMilliseconds = 5000;

class PageProbe;
class PageRules;

// Whether the engine composites the page's layers (on the graphics hardware where it can) or
// paints the page in one layer. Off, a page costs about half the CPU and gives the same pixels
// (WebGL included). Chosen once, when the control is made.
enum class Compositing { kOn, kOff };

class CWebBrowser2 : public convert::PageView {
 public:
  // Creates the view as the child `id` of `parent` (placed and sized later by the window).
  CWebBrowser2(wxWindow* parent, int id, Compositing compositing = Compositing::kOn);
  ~CWebBrowser2() override;
  CWebBrowser2(const CWebBrowser2&) = delete;
  CWebBrowser2& operator=(const CWebBrowser2&) = delete;

  // The window of the control, for placing it.
  wxWebView* GetControl() const { return m_control; }

  void Navigate2(const std::string& location) override;
  void RedrawNow() override;
  std::optional<convert::PixelSize> MeasurePage() override;
  convert::PixelSize GetViewSize() override;
  void ScrollBy(int dx, int dy) override;
  convert::ScrollPoint GetScrollPosition() override;
  bool Snapshot(convert::ViewPixels& view) override;
  void SetTransparentBackground(bool transparent) override;
  int BitsPerPixel() override;
  int DeviceScale() override;
  bool LoadFinished() override;
  std::optional<convert::PixelSize> LayoutSize() override;
  void RequestFrame() override;
  bool FramePainted() override { return m_framePainted; }
  convert::EngineRequests AnsweredRequests() override;
  void HidePinnedElements() override;
  void RestorePinnedElements() override;

  // Web pages from now on are loaded with the crawl's agent name, proxy and (a copy of) its
  // cookie file; false when the cookie file could not be read.
  bool UseIdentity(const Identity& identity);

  // Runs `script` in the page and gives its result as a text; nullopt when the script failed,
  // gave undefined/null, or no answer came within the engine timeout. With a `world` name the
  // script runs beside the page's own scripts, unseen by them and unharmed by what they redefine.
  std::optional<std::string> RunScript(const std::string& script, const char* world = nullptr);

  // Where the current load stands.
  enum class LoadState {
    kIdle,       // nothing asked for yet
    kRequested,  // Navigate2 called, the engine has not started on it
    kStarted,    // the engine is fetching the page
    kCommitted,  // the new document is being shown
    kChecking,   // loaded; its bytes are being read to choose a character set
    kFinished,   // loaded
    kFailed,     // the load failed: there is nothing to measure
  };
  LoadState GetLoadState() const { return m_loadState; }

  // How long a call waits for the engine (kEngineTimeoutMilliseconds unless changed).
  void SetEngineTimeout(int milliseconds) { m_engineTimeout = milliseconds; }

 private:
  static void LoadChangedThunk(WebKitWebView* view, int event, void* self);
  static int LoadFailedThunk(WebKitWebView* view, int event, char* uri, void* error, void* self);
  static void ResourceStartedThunk(WebKitWebView* view, WebKitWebResource* resource, void* request,
                                   void* self);
  void OnResourceEnded(WebKitWebResource* resource);
  void OnLoadChanged(int event);
  void CheckMainResourceCharset();
  void OnMainResourceData(int navigation, const std::optional<std::string>& bytes,
                          bool declaredInHeader);
  void EndStuckPage();

  wxWebView* m_control = nullptr;
  WebKitWebView* m_view = nullptr;  // the engine's view inside m_control; null once destroyed
  unsigned long m_loadChangedHandler = 0;
  unsigned long m_loadFailedHandler = 0;
  unsigned long m_resourceStartedHandler = 0;
  // Shared with the engine's pending answers; they check it before touching this object.
  std::shared_ptr<CWebBrowser2*> m_self;
  LoadState m_loadState = LoadState::kIdle;
  bool m_isWebAddress = false;       // the current location is a web address
  bool m_charsetOverridden = false;  // a custom charset was set for the current location
  int m_navigation = 0;              // counts Navigate2 calls, to ignore stale answers
  int m_engineTimeout = kEngineTimeoutMilliseconds;
  bool m_engineStarted = false;  // the first page has been asked for: the engine runs
  // Answers the current page's requests for dialogs, windows and choosers, and notes them.
  std::unique_ptr<RequestAnswers> m_requests;
  // The current page's resource requests that have neither finished nor failed.
  std::set<const void*> m_resourcesInFlight;
  int m_frameRequest = 0;      // counts RequestFrame calls, to ignore stale answers
  bool m_transparent = false;  // pages are shown over nothing where they set no background
  bool m_framePainted = true;  // the view painted a frame since the last RequestFrame

  // ---- A capture in one snapshot, with waits the engine drives. ----
 public:
  // The largest picture the engine gives in one snapshot: a cairo image surface stops at this
  // many pixels in either direction.
  static constexpr int kLargestSnapshot = 32767;

  // The whole document in one snapshot, as laid out in the view. Pixels are those of the tiles
  // of a scrolled view with pinned elements hidden, except for the kinds of content PageTraits
  // lists (convert/page_view.h): a fixed background and content-visibility: auto show blank away
  // from the view. The engine photographs documents up to kLargestSnapshot pixels each way
  // (32,767 rows gave a whole picture); from 32,768 on its snapshot fails with an error, it never
  // clips. Such a document is not even asked for, and a snapshot whose size is not the
  // document's is refused: false, and the capture goes tile by tile.
  bool SnapshotDocument(convert::ViewPixels& pixels) override;
  convert::PageTraits Traits() override;
  int PendingShortTimers() override;
  std::optional<std::chrono::steady_clock::time_point> LastLayoutChange() override;
  Compositing GetCompositing() const { return m_compositing; }

  // ---- What the user asks of every page. ----
  void SetPageOptions(const convert::PageOptions& options,
                      const std::string& sourceFolder) override;
  void AddUserStyle(const std::string& style) override;
  std::optional<std::string> RunUserScript(const std::string& script) override;
  std::optional<convert::PixelRect> FindElement(const std::string& selector) override;
  bool LoadBlocked() override { return m_blocked; }

 private:
  bool SnapshotRegion(int region, convert::ViewPixels& view);
  void LoadAsUnvisited(const std::string& uri);
  void SetUpFastCapture();
  struct FunctionAnswer;
  FunctionAnswer CallFunction(const std::string& body, const std::string& argument,
                              const char* world);

  Compositing m_compositing = Compositing::kOn;
  std::unique_ptr<PageProbe> m_probe;
  std::unique_ptr<PageRules> m_rules;
  bool m_blocked = false;  // the current page itself was refused by the content rules
  std::unique_ptr<EngineIdentity> m_identity;
};

}  // namespace browser
