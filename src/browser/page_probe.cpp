// The page probe: its scripts installed at document start and the messages they post.
#include "browser/page_probe.h"

#include <cstdio>
#include <memory>

#include <glib-object.h>
#include <glib.h>
#include <webkit2/webkit2.h>

#include "browser/page_probe_scripts.h"
#include "browser/page_scripts.h"

namespace browser {
namespace {

// The text of a posted message; "" for anything that is not a string.
std::string MessageText(WebKitJavascriptResult* result) {
  JSCValue* value = result ? webkit_javascript_result_get_js_value(result) : nullptr;
  if (!value || !jsc_value_is_string(value)) return {};
  std::unique_ptr<char, decltype(&g_free)> text(jsc_value_to_string(value), g_free);
  return text ? std::string(text.get()) : std::string();
}

void AddScript(WebKitUserContentManager* content, WebKitUserScript* script) {
  webkit_user_content_manager_add_script(content, script);
  webkit_user_script_unref(script);
}

}  // namespace

PageProbe::PageProbe(WebKitWebView* view) : m_view(view) {
  if (!m_view) return;
  g_object_add_weak_pointer(G_OBJECT(m_view), reinterpret_cast<gpointer*>(&m_view));
  m_content = webkit_web_view_get_user_content_manager(m_view);
  g_object_ref(m_content);
  // The probe records in every frame (a frame's WebGL or timers are the page's too); the layout
  // of the top document alone is the page's size.
  AddScript(m_content,
            webkit_user_script_new(kProbeScript, WEBKIT_USER_CONTENT_INJECT_ALL_FRAMES,
                                   WEBKIT_USER_SCRIPT_INJECT_AT_DOCUMENT_START, nullptr, nullptr));
  AddScript(m_content, webkit_user_script_new_for_world(kLayoutWatchScript,
                                                        WEBKIT_USER_CONTENT_INJECT_TOP_FRAME,
                                                        WEBKIT_USER_SCRIPT_INJECT_AT_DOCUMENT_START,
                                                        kControlWorld, nullptr, nullptr));
  // Signals first, then the channels: no message can come before it is listened for.
  m_probeHandler = g_signal_connect(
      m_content, (std::string("script-message-received::") + kProbeChannel).c_str(),
      G_CALLBACK(&PageProbe::ProbeMessageThunk), this);
  m_layoutHandler = g_signal_connect(
      m_content, (std::string("script-message-received::") + kLayoutChannel).c_str(),
      G_CALLBACK(&PageProbe::LayoutMessageThunk), this);
  webkit_user_content_manager_register_script_message_handler(m_content, kProbeChannel);
  webkit_user_content_manager_register_script_message_handler_in_world(m_content, kLayoutChannel,
                                                                       kControlWorld);
  m_loadHandler =
      g_signal_connect(m_view, "load-changed", G_CALLBACK(&PageProbe::LoadChangedThunk), this);
}

PageProbe::~PageProbe() {
  if (m_content) {
    g_signal_handler_disconnect(m_content, m_probeHandler);
    g_signal_handler_disconnect(m_content, m_layoutHandler);
    webkit_user_content_manager_unregister_script_message_handler(m_content, kProbeChannel);
    webkit_user_content_manager_unregister_script_message_handler_in_world(
        m_content, kLayoutChannel, kControlWorld);
    g_object_unref(m_content);
  }
  if (m_view) {
    g_signal_handler_disconnect(m_view, m_loadHandler);
    g_object_remove_weak_pointer(G_OBJECT(m_view), reinterpret_cast<gpointer*>(&m_view));
  }
}

void PageProbe::ProbeMessageThunk(WebKitUserContentManager*, WebKitJavascriptResult* result,
                                  void* self) {
  static_cast<PageProbe*>(self)->OnProbeMessage(MessageText(result));
}

void PageProbe::LayoutMessageThunk(WebKitUserContentManager*, WebKitJavascriptResult* result,
                                   void* self) {
  static_cast<PageProbe*>(self)->OnLayoutMessage(MessageText(result));
}

void PageProbe::LoadChangedThunk(WebKitWebView*, int event, void* self) {
  // A new document starts with nothing recorded; the old one's findings are gone with it.
  if (event != WEBKIT_LOAD_COMMITTED) return;
  auto* probe = static_cast<PageProbe*>(self);
  probe->m_findings = Findings();
  probe->m_layoutKnown = false;
  probe->m_layout.reset();
}

void PageProbe::OnProbeMessage(const std::string& word) {
  Findings& f = m_findings;
  if (word == "observer")
    f.observer = true;
  else if (word == "scroll")
    f.scroll = true;
  else if (word == "loop")
    f.loop = true;
  else if (word == "webgl")
    f.webgl = true;
  else if (word == "webgl-refused")
    f.webgl = f.webglRefused = true;
  else if (word == "timer+")
    ++f.timers;
  else if (word == "timer-" && f.timers > 0)
    --f.timers;
}

void PageProbe::OnLayoutMessage(const std::string& message) {
  // "address\nwidth height": a message of a document other than the one shown now (a late one
  // of the page before, from its own process) is not this document's size.
  const std::string::size_type newline = message.find('\n');
  if (!m_view || newline == std::string::npos) return;
  const char* shown = webkit_web_view_get_uri(m_view);
  if (!shown || message.compare(0, newline, shown) != 0) return;
  std::optional<convert::PixelSize> size;
  convert::PixelSize parsed;
  if (std::sscanf(message.c_str() + newline + 1, "%d %d", &parsed.width, &parsed.height) == 2) {
    size = parsed;
  }
  const bool changed =
      !m_layoutKnown || size.has_value() != m_layout.has_value() ||
      (size && (size->width != m_layout->width || size->height != m_layout->height));
  if (!changed) return;
  m_layoutKnown = true;
  m_layout = size;
  m_layoutChangedAt = std::chrono::steady_clock::now();
}

std::optional<std::optional<convert::PixelSize>> PageProbe::Layout() const {
  if (!m_layoutKnown) return std::nullopt;
  return m_layout;
}

std::optional<std::chrono::steady_clock::time_point> PageProbe::LastLayoutChange() const {
  if (!m_layoutKnown) return std::nullopt;
  return m_layoutChangedAt;
}

convert::PageTraits PageProbe::Traits(const std::optional<std::string>& seen) const {
  int lazy = 0, fixed = 0, visibility = 0, viewport = 0, scroll = 0;
  if (seen) {
    std::sscanf(seen->c_str(), "%d %d %d %d %d", &lazy, &fixed, &visibility, &viewport, &scroll);
  }
  convert::PageTraits traits;
  traits.lazyContent = m_findings.observer || lazy != 0;
  traits.scrollListeners = m_findings.scroll || scroll != 0;
  traits.frameLoop = m_findings.loop;
  traits.webgl = m_findings.webgl;
  traits.webglRefused = m_findings.webglRefused;
  traits.fixedBackground = fixed != 0;
  traits.contentVisibility = visibility != 0;
  traits.viewportUnits = viewport != 0;
  traits.pendingShortTimers = m_findings.timers;
  return traits;
}

}  // namespace browser
