// The browser control on WebKitGTK: loading, measuring, scrolling and snapshots of the view.
#include "browser/web_browser.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <functional>
#include <memory>

#include <cairo.h>
#include <gdk/gdk.h>
#include <gdk/gdkx.h>
#include <glib-object.h>
#include <glib.h>
#include <gtk/gtk.h>
#include <libsoup/soup.h>
#include <webkit2/webkit2.h>
#include <wx/webview.h>
#include <X11/Xlib.h>

#include "base/encoding.h"
#include "base/file_system.h"
#include "base/locations.h"
#include "browser/engine_wait.h"
#include "browser/engine_identity.h"
#include "browser/page_probe.h"
#include "browser/page_probe_scripts.h"
#include "browser/page_rules.h"
#include "browser/page_scripts.h"
#include "browser/request_answers.h"
#include "convert/page_charset.h"
#include "net/page_uri.h"

namespace browser {
namespace {

// ---- Page scripts: everything the control asks of a page, in one place. ----

// The page's full size as "width height", or "" while there is no document body to measure.
// When the page overflows the view, the scrolling element's size is exact (margins included).
// Otherwise that size never drops below the view, so the page's own height is taken from the
// root box with its margins, under two passing styles: a bottom padding of one pixel on the root
// keeps the body's (collapsed) bottom margin inside the root box, and in quirks mode the root
// and the body are held to their content instead of filling the view. Positioned boxes that
// reach lower count too; boxes fixed to the view do not.
constexpr const char* kMeasureScript = R"JS(
(function () {
  if (document.readyState === 'loading' || !document.body) return '';
  var root = document.documentElement, body = document.body;
  var scroller = document.scrollingElement || root;
  var width = scroller.scrollWidth, height = scroller.scrollHeight;
  if (height > window.innerHeight) return Math.round(width) + ' ' + Math.round(height);
  var saved = [root, body].map(function (e) {
    return e.hasAttribute('style') ? e.getAttribute('style') : null;
  });
  var rootStyle = getComputedStyle(root);
  var padding = parseFloat(rootStyle.paddingBottom) || 0;
  root.style.setProperty('padding-bottom', (padding + 1) + 'px', 'important');
  if (document.compatMode === 'BackCompat') {
    root.style.setProperty('height', 'max-content', 'important');
    body.style.setProperty('height', 'max-content', 'important');
  }
  var top = window.scrollY;
  var bottom = root.getBoundingClientRect().bottom + top - 1
      + (parseFloat(rootStyle.marginBottom) || 0);
  [root, body].forEach(function (e, i) {
    if (saved[i] === null) e.removeAttribute('style'); else e.setAttribute('style', saved[i]);
  });
  var all = body.getElementsByTagName('*');
  for (var i = 0; i < all.length && i < 20000; ++i) {
    if (getComputedStyle(all[i]).position === 'fixed') continue;
    bottom = Math.max(bottom, all[i].getBoundingClientRect().bottom + top);
  }
  return Math.round(width) + ' ' + Math.min(Math.round(height), Math.ceil(bottom));
})())JS";

constexpr const char* kViewSizeScript = "window.innerWidth + ' ' + window.innerHeight";

// In the page's own pixels, which a device scale above 1 may show at fractions.
constexpr const char* kScrollPositionScript = "window.scrollX + ' ' + window.scrollY";

// Scrolls at once even when the page asks for smooth scrolling.
std::string ScrollScript(double dx, double dy) {
  return "window.scrollBy({left: " + std::to_string(dx) + ", top: " + std::to_string(dy) +
         ", behavior: 'instant'}); ''";
}

// A size in the page's own pixels as device pixels, the pixels of the view's snapshots.
convert::PixelSize InDevicePixels(convert::PixelSize size, int scale) {
  return {size.width * scale, size.height * scale};
}

// Applied to every page above its own styles: no smooth scrolling, and no scroll bars, so that
// a snapshot shows page pixels only and the view's width is the page's width.
constexpr const char* kUserStyleSheet =
    "*, *::before, *::after { scroll-behavior: auto !important; }\n"
    "::-webkit-scrollbar { width: 0 !important; height: 0 !important; "
    "display: none !important; }\n";

// How long a stopped load may take to come to its end before its process is ended.
constexpr int kStopTimeoutMilliseconds = 1000;

}  // namespace

// ---- The control. ----

CWebBrowser2::CWebBrowser2(wxWindow* parent, int id, Compositing compositing)
    : m_self(std::make_shared<CWebBrowser2*>(this)), m_compositing(compositing) {
  m_control = wxWebView::New(parent, id, wxWebViewDefaultURLStr, wxDefaultPosition, wxDefaultSize,
                             wxWebViewBackendDefault, wxBORDER_NONE);
  m_view = m_control ? static_cast<WebKitWebView*>(m_control->GetNativeBackend()) : nullptr;
  if (!m_view) return;
  g_object_add_weak_pointer(G_OBJECT(m_view), reinterpret_cast<gpointer*>(&m_view));

  WebKitSettings* settings = webkit_web_view_get_settings(m_view);
  webkit_settings_set_enable_smooth_scrolling(settings, FALSE);
  webkit_settings_set_default_charset(settings, "UTF-8");
  SetUpFastCapture();

  WebKitUserStyleSheet* sheet =
      webkit_user_style_sheet_new(kUserStyleSheet, WEBKIT_USER_CONTENT_INJECT_ALL_FRAMES,
                                  WEBKIT_USER_STYLE_LEVEL_USER, nullptr, nullptr);
  WebKitUserContentManager* content = webkit_web_view_get_user_content_manager(m_view);
  webkit_user_content_manager_add_style_sheet(content, sheet);
  webkit_user_style_sheet_unref(sheet);
  sheet = webkit_user_style_sheet_new(kPinnedStyleSheet, WEBKIT_USER_CONTENT_INJECT_TOP_FRAME,
                                      WEBKIT_USER_STYLE_LEVEL_USER, nullptr, nullptr);
  webkit_user_content_manager_add_style_sheet(content, sheet);
  webkit_user_style_sheet_unref(sheet);

  m_loadChangedHandler =
      g_signal_connect(m_view, "load-changed", G_CALLBACK(&CWebBrowser2::LoadChangedThunk), this);
  m_loadFailedHandler =
      g_signal_connect(m_view, "load-failed", G_CALLBACK(&CWebBrowser2::LoadFailedThunk), this);
  m_resourceStartedHandler = g_signal_connect(
      m_view, "resource-load-started", G_CALLBACK(&CWebBrowser2::ResourceStartedThunk), this);
  m_requests = std::make_unique<RequestAnswers>(m_view);
  // A link aimed at a new window is refused by the window framework itself, which tells of it
  // with an event: noted with the page's other requests, while this control lives.
  m_control->Bind(wxEVT_WEBVIEW_NEWWINDOW,
                  [self = std::weak_ptr<CWebBrowser2*>(m_self)](wxWebViewEvent&) {
                    if (std::shared_ptr<CWebBrowser2*> browser = self.lock()) {
                      if ((*browser)->m_requests) {
                        (*browser)->m_requests->Note(convert::EngineRequest::kNewWindow);
                      }
                    }
                  });
}

CWebBrowser2::~CWebBrowser2() {
  m_requests.reset();
  if (!m_view) return;
  g_signal_handler_disconnect(m_view, m_loadChangedHandler);
  g_signal_handler_disconnect(m_view, m_loadFailedHandler);
  g_signal_handler_disconnect(m_view, m_resourceStartedHandler);
  g_object_remove_weak_pointer(G_OBJECT(m_view), reinterpret_cast<gpointer*>(&m_view));
}

bool CWebBrowser2::UseIdentity(const Identity& identity) {
  // Nothing asked and nothing given before: the engine stays exactly as it starts.
  const bool none =
      identity.userAgent.empty() && identity.proxy.empty() && identity.cookieFile.empty();
  if (!m_identity && none) return true;
  if (!m_identity) m_identity = std::make_unique<EngineIdentity>();
  return m_identity->Apply(m_view, identity);
}

void CWebBrowser2::LoadChangedThunk(WebKitWebView*, int event, void* self) {
  static_cast<CWebBrowser2*>(self)->OnLoadChanged(event);
}

int CWebBrowser2::LoadFailedThunk(WebKitWebView*, int, char*, void* error, void* self) {
  // A load stopped by the next Navigate2 is no failure of the page now asked for.
  const GError* failure = static_cast<const GError*>(error);
  const bool cancelled =
      failure && (IsCancelled(failure) ||
                  g_error_matches(failure, WEBKIT_NETWORK_ERROR, WEBKIT_NETWORK_ERROR_CANCELLED));
  auto* browser = static_cast<CWebBrowser2*>(self);
  if (!cancelled && browser->m_loadState != LoadState::kIdle) {
    browser->m_loadState = LoadState::kFailed;
    // The engine refuses the page by a policy: with content rules in force, theirs.
    browser->m_blocked = failure && failure->domain == WEBKIT_POLICY_ERROR && browser->m_rules &&
                         browser->m_rules->InForce();
  }
  return FALSE;  // let the engine show its own error page; it is never measured
}

convert::EngineRequests CWebBrowser2::AnsweredRequests() {
  return m_requests ? m_requests->Answered() : convert::EngineRequests();
}

void CWebBrowser2::ResourceStartedThunk(WebKitWebView*, WebKitWebResource* resource, void*,
                                        void* self) {
  // Every request the page makes is counted until it finishes or fails. The resource may outlive
  // this control, so its signals reach the control only through the shared pointer.
  auto* browser = static_cast<CWebBrowser2*>(self);
  browser->m_resourcesInFlight.insert(resource);
  auto ended = +[](WebKitWebResource* done, void* data) {
    std::shared_ptr<CWebBrowser2*> owner = static_cast<std::weak_ptr<CWebBrowser2*>*>(data)->lock();
    if (owner) (*owner)->OnResourceEnded(done);
  };
  auto failed = +[](WebKitWebResource* done, GError*, void* data) {
    std::shared_ptr<CWebBrowser2*> owner = static_cast<std::weak_ptr<CWebBrowser2*>*>(data)->lock();
    if (owner) (*owner)->OnResourceEnded(done);
  };
  auto release =
      +[](gpointer data, GClosure*) { delete static_cast<std::weak_ptr<CWebBrowser2*>*>(data); };
  using Owner = std::weak_ptr<CWebBrowser2*>;
  g_signal_connect_data(resource, "finished", G_CALLBACK(ended), new Owner(browser->m_self),
                        release, GConnectFlags{});
  g_signal_connect_data(resource, "failed", G_CALLBACK(failed), new Owner(browser->m_self), release,
                        GConnectFlags{});
}

void CWebBrowser2::OnResourceEnded(WebKitWebResource* resource) {
  m_resourcesInFlight.erase(resource);
}

void CWebBrowser2::OnLoadChanged(int event) {
  // Each step moves on only from the one before it, so the late events of a load that the
  // latest Navigate2 replaced (or of an error page) cannot mark the new page as loaded.
  switch (event) {
    case WEBKIT_LOAD_STARTED:
      if (m_loadState == LoadState::kRequested) m_loadState = LoadState::kStarted;
      break;
    case WEBKIT_LOAD_COMMITTED:
      if (m_loadState == LoadState::kStarted) m_loadState = LoadState::kCommitted;
      break;
    case WEBKIT_LOAD_FINISHED:
      if (m_loadState != LoadState::kCommitted) break;
      if (m_isWebAddress && !m_charsetOverridden) {
        // The engine showed the page as UTF-8 unless it declared otherwise; its bytes decide
        // whether it has to be shown again as Shift_JIS.
        m_loadState = LoadState::kChecking;
        CheckMainResourceCharset();
      } else {
        m_loadState = LoadState::kFinished;
      }
      break;
    default: break;
  }
}

void CWebBrowser2::CheckMainResourceCharset() {
  WebKitWebResource* resource = webkit_web_view_get_main_resource(m_view);
  if (!resource) {
    m_loadState = LoadState::kFinished;
    return;
  }
  bool declaredInHeader = false;
  if (WebKitURIResponse* response = webkit_web_resource_get_response(resource)) {
    if (SoupMessageHeaders* headers = webkit_uri_response_get_http_headers(response)) {
      GHashTable* params = nullptr;
      soup_message_headers_get_content_type(headers, &params);
      HashHolder held(params);
      declaredInHeader = params && g_hash_table_lookup(params, "charset");
    }
  }
  struct Answer {
    std::weak_ptr<CWebBrowser2*> browser;
    int navigation;
    bool declaredInHeader;
  };
  auto* answer = new Answer{m_self, m_navigation, declaredInHeader};
  webkit_web_resource_get_data(
      resource, nullptr,
      [](GObject* source, GAsyncResult* result, gpointer data) {
        std::unique_ptr<Answer> answer(static_cast<Answer*>(data));
        gsize length = 0;
        GError* rawError = nullptr;
        StringHolder bytes(reinterpret_cast<char*>(webkit_web_resource_get_data_finish(
            WEBKIT_WEB_RESOURCE(source), result, &length, &rawError)));
        ErrorHolder error(rawError);
        std::shared_ptr<CWebBrowser2*> browser = answer->browser.lock();
        if (!browser) return;
        std::optional<std::string> page;
        if (bytes) page.emplace(bytes.get(), length);
        (*browser)->OnMainResourceData(answer->navigation, page, answer->declaredInHeader);
      },
      answer);
}

void CWebBrowser2::OnMainResourceData(int navigation, const std::optional<std::string>& bytes,
                                      bool declaredInHeader) {
  if (navigation != m_navigation || m_loadState != LoadState::kChecking || !m_view) return;
  if (bytes && !declaredInHeader && !convert::DeclaresCharset(*bytes) &&
      std::strcmp(convert::UndeclaredCharset(*bytes), "Shift_JIS") == 0) {
    // Setting a custom charset reloads the page in it; the reload is this navigation's load.
    m_charsetOverridden = true;
    m_loadState = LoadState::kRequested;
    webkit_web_view_set_custom_charset(m_view, "Shift_JIS");
    return;
  }
  m_loadState = LoadState::kFinished;
}

void CWebBrowser2::EndStuckPage() {
  // A page that keeps the engine busy (a script that never ends) would hold up every later page
  // of the run: its process is ended, and the next load starts a fresh one.
  if (!m_view) return;
  m_loadState = LoadState::kFailed;
  webkit_web_view_terminate_web_process(m_view);
}

void CWebBrowser2::Navigate2(const std::string& location) {
  ++m_navigation;
  m_blocked = false;
  if (!m_view) return;
  if (!webkit_web_view_get_is_web_process_responsive(m_view)) EndStuckPage();
  // The load in progress is brought to its end and its last events are taken in now, so that
  // none of them is taken for the new page's. The view's own first (empty) page is let finish:
  // it only waits for the engine to start. A page still loading is stopped; one that does not
  // even stop (a server that never answers) ends with its process.
  if (webkit_web_view_is_loading(m_view)) {
    const bool firstPage = m_loadState == LoadState::kIdle;
    if (!firstPage) webkit_web_view_stop_loading(m_view);
    if (!PumpUntil(
            [this] { return !m_view || !webkit_web_view_is_loading(m_view); },
            firstPage ? m_engineTimeout : std::min(m_engineTimeout, kStopTimeoutMilliseconds))) {
      EndStuckPage();
    }
  }
  if (!m_view) return;
  if (m_charsetOverridden) {
    webkit_web_view_set_custom_charset(m_view, nullptr);
    m_charsetOverridden = false;
  }
  const std::string uri = net::LocationToUri(location);
  m_isWebAddress = base::IsWebAddress(location);
  // No address, or a local page whose bounds were asked for and could not be set: no load.
  if (uri.empty() || (m_rules && !m_rules->ForLoad(!m_isWebAddress))) {
    m_loadState = LoadState::kFailed;
    return;
  }
  // A local page's bytes are at hand: the charset for a page that declares none is chosen
  // before it loads. A web page loads as UTF-8 first and is checked when it has loaded.
  const char* charset = "UTF-8";
  if (!m_isWebAddress) {
    if (std::optional<std::string> bytes = base::ReadWholeFile(location)) {
      charset = convert::UndeclaredCharset(*bytes);
    }
  }
  webkit_settings_set_default_charset(webkit_web_view_get_settings(m_view), charset);
  m_loadState = LoadState::kRequested;
  if (m_requests) m_requests->Clear();
  m_resourcesInFlight.clear();
  m_framePainted = true;
  LoadAsUnvisited(uri);
  if (!m_engineStarted) {
    // The engine starts the processes that fetch and show pages for the first page asked for
    // (a few hundred milliseconds): that start is waited for here, until the page's document
    // arrives, so that the first page gets the same wait as every later one.
    m_engineStarted = true;
    PumpUntil(
        [this] {
          return !m_view ||
                 (m_loadState != LoadState::kRequested && m_loadState != LoadState::kStarted);
        },
        m_engineTimeout);
  }
}

void CWebBrowser2::RedrawNow() {
  if (!m_control) return;
  m_control->Refresh();
  m_control->Update();
}

std::optional<std::string> CWebBrowser2::RunScript(const std::string& script, const char* world) {
  if (!m_view) return std::nullopt;
  auto pending = std::make_shared<Pending<std::optional<std::string>>>();
  webkit_web_view_evaluate_javascript(
      m_view, script.c_str(), -1, world, nullptr, pending->Cancellable(),
      [](GObject* source, GAsyncResult* result, gpointer data) {
        auto pending = TakeFromEngine<std::optional<std::string>>(data);
        GError* rawError = nullptr;
        ObjectHolder value(G_OBJECT(webkit_web_view_evaluate_javascript_finish(
            WEBKIT_WEB_VIEW(source), result, &rawError)));
        ErrorHolder error(rawError);
        if (value) {
          JSCValue* js = JSC_VALUE(value.get());
          if (!jsc_value_is_undefined(js) && !jsc_value_is_null(js)) {
            StringHolder text(jsc_value_to_string(js));
            if (text) pending->result.emplace(text.get());
          }
        }
        pending->done = true;
      },
      ShareWithEngine(pending));
  if (!WaitFor(*pending, m_engineTimeout)) {
    EndStuckPage();
    return std::nullopt;
  }
  return pending->result;
}

std::optional<convert::PixelSize> CWebBrowser2::MeasurePage() {
  // Only a document of the page asked for counts: while the previous page is still shown, or
  // after a failed load, there is nothing of this page to measure.
  if (m_loadState != LoadState::kCommitted && m_loadState != LoadState::kFinished) {
    return std::nullopt;
  }
  std::optional<std::string> answer = RunScript(kMeasureScript);
  convert::PixelSize size;
  if (!answer || std::sscanf(answer->c_str(), "%d %d", &size.width, &size.height) != 2) {
    return std::nullopt;
  }
  return InDevicePixels(size, DeviceScale());
}

convert::PixelSize CWebBrowser2::GetViewSize() {
  // Asked of the page, not of the widget: the page learns of a new widget size a little later,
  // and a snapshot holds the view at the size the page has.
  convert::PixelSize size;
  if (std::optional<std::string> answer = RunScript(kViewSizeScript)) {
    std::sscanf(answer->c_str(), "%d %d", &size.width, &size.height);
  }
  return InDevicePixels(size, DeviceScale());
}

void CWebBrowser2::ScrollBy(int dx, int dy) {
  // Not waited for: the page runs scripts and takes snapshots in the order they are asked for,
  // so the next position query or snapshot already sees the scrolled view.
  if (!m_view) return;
  const double scale = DeviceScale();
  webkit_web_view_evaluate_javascript(
      m_view, ScrollScript(dx / scale, dy / scale).c_str(), -1, nullptr, nullptr, nullptr,
      [](GObject* source, GAsyncResult* result, gpointer) {
        GError* rawError = nullptr;
        ObjectHolder value(G_OBJECT(webkit_web_view_evaluate_javascript_finish(
            WEBKIT_WEB_VIEW(source), result, &rawError)));
        ErrorHolder error(rawError);
      },
      nullptr);
}

convert::ScrollPoint CWebBrowser2::GetScrollPosition() {
  double x = 0;
  double y = 0;
  if (std::optional<std::string> answer = RunScript(kScrollPositionScript)) {
    std::sscanf(answer->c_str(), "%lf %lf", &x, &y);
  }
  const int scale = DeviceScale();
  return {static_cast<int>(std::lround(x * scale)), static_cast<int>(std::lround(y * scale))};
}

bool CWebBrowser2::SnapshotRegion(int region, convert::ViewPixels& view) {
  view = convert::ViewPixels();  // the previous snapshot goes before the next one is made
  if (!m_view) return false;
  auto pending = std::make_shared<Pending<SurfaceHolder>>();
  webkit_web_view_get_snapshot(
      m_view, static_cast<WebKitSnapshotRegion>(region),
      m_transparent ? WEBKIT_SNAPSHOT_OPTIONS_TRANSPARENT_BACKGROUND : WEBKIT_SNAPSHOT_OPTIONS_NONE,
      pending->Cancellable(),
      [](GObject* source, GAsyncResult* result, gpointer data) {
        auto pending = TakeFromEngine<SurfaceHolder>(data);
        GError* rawError = nullptr;
        pending->result.reset(
            webkit_web_view_get_snapshot_finish(WEBKIT_WEB_VIEW(source), result, &rawError));
        ErrorHolder error(rawError);
        pending->done = true;
      },
      ShareWithEngine(pending));
  if (!WaitFor(*pending, m_engineTimeout)) {
    EndStuckPage();
    return false;
  }
  if (!pending->result) return false;

  cairo_surface_t* surface = pending->result.get();
  if (cairo_surface_get_type(surface) != CAIRO_SURFACE_TYPE_IMAGE) return false;
  const cairo_format_t format = cairo_image_surface_get_format(surface);
  if (format != CAIRO_FORMAT_ARGB32 && format != CAIRO_FORMAT_RGB24) return false;
  cairo_surface_flush(surface);
  const int width = cairo_image_surface_get_width(surface);
  const int height = cairo_image_surface_get_height(surface);
  const int stride = cairo_image_surface_get_stride(surface);
  const unsigned char* data = cairo_image_surface_get_data(surface);
  if (!data || width <= 0 || height <= 0) return false;

  // Both formats keep a pixel as one native 32-bit word 0xAARRGGBB: on this little-endian
  // machine the bytes blue, green, red, alpha, the layout of a bitmap row (whose fourth byte the
  // capture clears). The surface's rows are used where they are: the view keeps the surface.
  if (stride % 4 != 0) return false;
  std::shared_ptr<cairo_surface_t> owner(pending->result.release(), cairo_surface_destroy);
  view.Refer(width, height, reinterpret_cast<const std::uint32_t*>(data), stride / 4,
             std::move(owner));
  return true;
}

bool CWebBrowser2::LoadFinished() {
  return m_loadState == LoadState::kFinished && m_resourcesInFlight.empty();
}

std::optional<convert::PixelSize> CWebBrowser2::LayoutSize() {
  if (m_loadState != LoadState::kCommitted && m_loadState != LoadState::kFinished) {
    return std::nullopt;
  }
  // Reported by the document whenever it changes: no need to ask the page.
  if (m_probe) {
    if (std::optional<std::optional<convert::PixelSize>> reported = m_probe->Layout()) {
      if (!*reported) return std::nullopt;
      return InDevicePixels(**reported, DeviceScale());
    }
  }
  std::optional<std::string> answer = RunScript(kLayoutSizeScript, kControlWorld);
  convert::PixelSize size;
  if (!answer || std::sscanf(answer->c_str(), "%d %d", &size.width, &size.height) != 2) {
    return std::nullopt;
  }
  return InDevicePixels(size, DeviceScale());
}

void CWebBrowser2::RequestFrame() {
  // Not waited for here: the answer sets m_framePainted while the caller pumps events. An answer
  // to an earlier request, or one for an earlier page, is ignored.
  m_framePainted = false;
  if (!m_view) return;
  struct Answer {
    std::weak_ptr<CWebBrowser2*> browser;
    int request;
  };
  auto* answer = new Answer{m_self, ++m_frameRequest};
  webkit_web_view_call_async_javascript_function(
      m_view, kFrameFunction, -1, nullptr, kControlWorld, nullptr, nullptr,
      [](GObject* source, GAsyncResult* result, gpointer data) {
        std::unique_ptr<Answer> answer(static_cast<Answer*>(data));
        GError* rawError = nullptr;
        ObjectHolder value(G_OBJECT(webkit_web_view_call_async_javascript_function_finish(
            WEBKIT_WEB_VIEW(source), result, &rawError)));
        ErrorHolder error(rawError);
        std::shared_ptr<CWebBrowser2*> browser = answer->browser.lock();
        if (browser && (*browser)->m_frameRequest == answer->request) {
          (*browser)->m_framePainted = true;
        }
      },
      answer);
}

void CWebBrowser2::HidePinnedElements() {
  if (m_loadState != LoadState::kCommitted && m_loadState != LoadState::kFinished) return;
  RunScript(kHidePinnedScript, kControlWorld);
}

void CWebBrowser2::RestorePinnedElements() {
  if (m_loadState != LoadState::kCommitted && m_loadState != LoadState::kFinished) return;
  RunScript(kRestorePinnedScript, kControlWorld);
}

int CWebBrowser2::DeviceScale() {
  // The view's scale: GDK_SCALE, or what the display asks for. Snapshots hold this many pixels
  // for each of the page's own.
  return m_view ? std::max(1, gtk_widget_get_scale_factor(GTK_WIDGET(m_view))) : 1;
}

int CWebBrowser2::BitsPerPixel() {
  // The size of a pixel in a bitmap compatible with the screen: X keeps a depth-24 visual in
  // 32-bit pixels. Displays that are not X show pages from 32-bit surfaces.
  GdkDisplay* display = gdk_display_get_default();
  if (!display || !GDK_IS_X11_DISPLAY(display)) return 32;
  GdkVisual* visual = gdk_screen_get_system_visual(gdk_display_get_default_screen(display));
  const int depth = visual ? gdk_visual_get_depth(visual) : 24;
  int count = 0;
  XPixmapFormatValues* formats = XListPixmapFormats(GDK_DISPLAY_XDISPLAY(display), &count);
  std::unique_ptr<XPixmapFormatValues, int (*)(void*)> held(formats, XFree);
  for (int i = 0; formats && i < count; ++i) {
    if (formats[i].depth == depth) return formats[i].bits_per_pixel;
  }
  return 32;
}

// ---- A capture in one snapshot, with waits the engine drives. ----

void CWebBrowser2::SetUpFastCapture() {
  // Both are settings of the engine that hold from the first page on: compositing cannot be
  // changed for a page already shown, and the probe must be in place before a document starts.
  if (m_compositing == Compositing::kOff) {
    // The view has already asked for its own empty page, so the process that shows pages is
    // starting with compositing on; switched over, that process crashes at its next load (the
    // empty page, or the first page of the run, which then never loads). It is ended here and
    // the empty page asked for again: the process that shows it starts with compositing off.
    webkit_settings_set_hardware_acceleration_policy(webkit_web_view_get_settings(m_view),
                                                     WEBKIT_HARDWARE_ACCELERATION_POLICY_NEVER);
    webkit_web_view_terminate_web_process(m_view);
    webkit_web_view_load_uri(m_view, "about:blank");
  }
  m_probe = std::make_unique<PageProbe>(m_view);
  m_rules = std::make_unique<PageRules>(m_view);
}

void CWebBrowser2::LoadAsUnvisited(const std::string& uri) {
  // The engine draws a link as visited when the view showed its target before, so that a page's
  // picture would depend on the pages converted before it. The engine keeps the visited links
  // of all its views and has no way to forget them; it marks the address as loaded, fragment and
  // all. A page is therefore loaded under its address with an empty fragment ("page.html#"),
  // which no link of another page names: every link shows unvisited, as in a fresh browser. The
  // page sees no difference: location.hash is "" for an empty fragment, nothing is its :target,
  // and a fragment is never sent to a server.
  const std::string unvisited = uri.find('#') == std::string::npos ? uri + "#" : uri;
  webkit_web_view_load_uri(m_view, unvisited.c_str());
}

void CWebBrowser2::SetTransparentBackground(bool transparent) {
  // The view keeps the engine's own white until a transparent background is first asked for.
  if (transparent == m_transparent) return;
  m_transparent = transparent;
  if (!m_view) return;
  // The engine paints a page's canvas in the view's colour where the page sets none.
  const GdkRGBA colour{1.0, 1.0, 1.0, transparent ? 0.0 : 1.0};
  webkit_web_view_set_background_color(m_view, &colour);
}

bool CWebBrowser2::Snapshot(convert::ViewPixels& view) {
  return SnapshotRegion(WEBKIT_SNAPSHOT_REGION_VISIBLE, view);
}

bool CWebBrowser2::SnapshotDocument(convert::ViewPixels& pixels) {
  pixels = convert::ViewPixels();
  if (m_loadState != LoadState::kCommitted && m_loadState != LoadState::kFinished) return false;
  // The size the snapshot must have: the document's scroll size as laid out now. A document past
  // the largest surface is not even asked for: the engine would fail after laying out and
  // painting all of it.
  convert::PixelSize document;
  const std::optional<std::string> answer = RunScript(kDocumentSizeScript, kControlWorld);
  if (!answer || std::sscanf(answer->c_str(), "%d %d", &document.width, &document.height) != 2) {
    return false;
  }
  document = InDevicePixels(document, DeviceScale());
  if (document.width <= 0 || document.height <= 0 || document.width > kLargestSnapshot ||
      document.height > kLargestSnapshot) {
    return false;
  }
  if (!SnapshotRegion(WEBKIT_SNAPSHOT_REGION_FULL_DOCUMENT, pixels)) return false;
  if (pixels.width != document.width || pixels.height != document.height) {
    pixels = convert::ViewPixels();
    return false;
  }
  return true;
}

convert::PageTraits CWebBrowser2::Traits() {
  if (!m_probe) return {};
  std::optional<std::string> seen;
  if (m_loadState == LoadState::kCommitted || m_loadState == LoadState::kFinished) {
    seen = RunScript(kTraitsScript, kControlWorld);
  }
  return m_probe->Traits(seen);
}

int CWebBrowser2::PendingShortTimers() { return m_probe ? m_probe->PendingShortTimers() : 0; }

std::optional<std::chrono::steady_clock::time_point> CWebBrowser2::LastLayoutChange() {
  if (!m_probe || (m_loadState != LoadState::kCommitted && m_loadState != LoadState::kFinished)) {
    return std::nullopt;
  }
  return m_probe->LastLayoutChange();
}

}  // namespace browser
