// The engine's requests that would open a window or wait for a person, answered at once.
#include "browser/request_answers.h"

#include <glib-object.h>
#include <gtk/gtk.h>
#include <webkit2/webkit2.h>

namespace browser {

using convert::EngineRequest;

namespace {

RequestAnswers* Of(void* self) { return static_cast<RequestAnswers*>(self); }

}  // namespace

RequestAnswers::RequestAnswers(WebKitWebView* view) : m_view(view) {
  if (!m_view) return;
  g_object_add_weak_pointer(G_OBJECT(m_view), reinterpret_cast<gpointer*>(&m_view));
  ConnectDialogs();
  ConnectNotices();
  ConnectWindows();
  ConnectChoosers();
}

RequestAnswers::~RequestAnswers() {
  if (!m_view) return;
  for (const unsigned long handler : m_handlers) g_signal_handler_disconnect(m_view, handler);
  g_object_remove_weak_pointer(G_OBJECT(m_view), reinterpret_cast<gpointer*>(&m_view));
}

void RequestAnswers::ConnectDialogs() {
  // Nobody sits in front of a run: a dialog is answered at once, as "no" to a question and with
  // nothing typed into a prompt, so that the page goes on and the run with it. Leaving a page
  // that asks before it is left is always allowed; that question belongs to the page being left.
  auto scriptDialog = +[](WebKitWebView*, WebKitScriptDialog* dialog, void* self) -> gboolean {
    switch (webkit_script_dialog_get_dialog_type(dialog)) {
      case WEBKIT_SCRIPT_DIALOG_BEFORE_UNLOAD_CONFIRM:
        webkit_script_dialog_confirm_set_confirmed(dialog, TRUE);
        return TRUE;
      case WEBKIT_SCRIPT_DIALOG_CONFIRM:
        webkit_script_dialog_confirm_set_confirmed(dialog, FALSE);
        break;
      case WEBKIT_SCRIPT_DIALOG_ALERT:
      case WEBKIT_SCRIPT_DIALOG_PROMPT:  // a prompt left without text is cancelled
      default: break;
    }
    Of(self)->Note(EngineRequest::kScriptDialog);
    return TRUE;  // handled: the engine shows no dialog of its own
  };
  // The engine's own answer is a modal print dialog that holds the run in its loop: refused.
  auto print = +[](WebKitWebView*, WebKitPrintOperation*, void* self) -> gboolean {
    Of(self)->Note(EngineRequest::kPrint);
    return TRUE;
  };
  // A server (of the page or of a frame) asks for a user name and password: the request is
  // cancelled, so that the frame stays empty, or the page fails to load, at once instead of
  // waiting for a person.
  auto authenticate =
      +[](WebKitWebView*, WebKitAuthenticationRequest* request, void* self) -> gboolean {
    webkit_authentication_request_cancel(request);
    Of(self)->Note(EngineRequest::kAuthentication);
    return TRUE;
  };
  // Geolocation, notifications, camera, microphone, pointer lock, ...: denied.
  auto permission = +[](WebKitWebView*, WebKitPermissionRequest* request, void* self) -> gboolean {
    webkit_permission_request_deny(request);
    Of(self)->Note(EngineRequest::kPermission);
    return TRUE;
  };
  m_handlers.push_back(g_signal_connect(m_view, "script-dialog", G_CALLBACK(scriptDialog), this));
  m_handlers.push_back(g_signal_connect(m_view, "print", G_CALLBACK(print), this));
  m_handlers.push_back(g_signal_connect(m_view, "authenticate", G_CALLBACK(authenticate), this));
  m_handlers.push_back(
      g_signal_connect(m_view, "permission-request", G_CALLBACK(permission), this));
}

void RequestAnswers::ConnectNotices() {
  // Comes only with a permission the program never gives; should it come, nothing is shown.
  auto notification = +[](WebKitWebView*, WebKitNotification* shown, void* self) -> gboolean {
    webkit_notification_close(shown);
    Of(self)->Note(EngineRequest::kNotification);
    return TRUE;
  };
  // The engine leaves a certificate that fails its checks as a failed load; it is only noted,
  // so that the page's record says why it failed. No exception is ever added.
  auto certificate =
      +[](WebKitWebView*, char*, GTlsCertificate*, GTlsCertificateFlags, void* self) -> gboolean {
    Of(self)->Note(EngineRequest::kCertificate);
    return FALSE;
  };
  m_handlers.push_back(
      g_signal_connect(m_view, "show-notification", G_CALLBACK(notification), this));
  m_handlers.push_back(
      g_signal_connect(m_view, "load-failed-with-tls-errors", G_CALLBACK(certificate), this));
}

void RequestAnswers::ConnectWindows() {
  // No second view is made: the page's window.open gets no window, and a link aimed at a new
  // window goes nowhere.
  auto create = +[](WebKitWebView*, WebKitNavigationAction*, void* self) -> GtkWidget* {
    Of(self)->Note(EngineRequest::kNewWindow);
    return nullptr;
  };
  // The view belongs to the window, not to the page: it stays, and the page is captured as it is.
  auto close = +[](WebKitWebView*, void* self) { Of(self)->Note(EngineRequest::kClose); };
  // The view keeps its place and size in its window, which the capture relies on.
  auto fullscreen = +[](WebKitWebView*, void* self) -> gboolean {
    Of(self)->Note(EngineRequest::kFullscreen);
    return TRUE;
  };
  // The window framework answers this request with this same view, so that the new window's
  // page would replace the page being captured: its answer goes, and this one, the only one
  // left, makes no view.
  g_signal_handlers_disconnect_matched(m_view, G_SIGNAL_MATCH_ID,
                                       g_signal_lookup("create", WEBKIT_TYPE_WEB_VIEW), 0, nullptr,
                                       nullptr, nullptr);
  m_handlers.push_back(g_signal_connect(m_view, "create", G_CALLBACK(create), this));
  m_handlers.push_back(g_signal_connect(m_view, "close", G_CALLBACK(close), this));
  m_handlers.push_back(g_signal_connect(m_view, "enter-fullscreen", G_CALLBACK(fullscreen), this));
}

void RequestAnswers::ConnectChoosers() {
  // Choosers and menus that a click on the page would pop up: cancelled or closed at once.
  auto fileChooser =
      +[](WebKitWebView*, WebKitFileChooserRequest* request, void* self) -> gboolean {
    webkit_file_chooser_request_cancel(request);
    Of(self)->Note(EngineRequest::kFileChooser);
    return TRUE;
  };
  auto colourChooser =
      +[](WebKitWebView*, WebKitColorChooserRequest* request, void* self) -> gboolean {
    webkit_color_chooser_request_cancel(request);
    Of(self)->Note(EngineRequest::kColourChooser);
    return TRUE;
  };
  auto optionMenu = +[](WebKitWebView*, WebKitOptionMenu* menu, GdkEvent*, GdkRectangle*,
                        void* self) -> gboolean {
    webkit_option_menu_close(menu);
    Of(self)->Note(EngineRequest::kOptionMenu);
    return TRUE;
  };
  auto contextMenu = +[](WebKitWebView*, WebKitContextMenu*, GdkEvent*, WebKitHitTestResult*,
                         void* self) -> gboolean {
    Of(self)->Note(EngineRequest::kContextMenu);
    return TRUE;
  };
  m_handlers.push_back(g_signal_connect(m_view, "run-file-chooser", G_CALLBACK(fileChooser), this));
  m_handlers.push_back(
      g_signal_connect(m_view, "run-color-chooser", G_CALLBACK(colourChooser), this));
  m_handlers.push_back(g_signal_connect(m_view, "show-option-menu", G_CALLBACK(optionMenu), this));
  m_handlers.push_back(g_signal_connect(m_view, "context-menu", G_CALLBACK(contextMenu), this));
}

}  // namespace browser
