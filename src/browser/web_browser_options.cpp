// The browser control's part in what the user asks of every page: the options applied to the
// engine, the user's script, and where an element lies on the page.
#include <cstdio>

#include <glib.h>
#include <webkit2/webkit2.h>

#include "base/encoding.h"
#include "browser/engine_wait.h"
#include "browser/page_rules.h"
#include "browser/page_scripts.h"
#include "browser/web_browser.h"

namespace browser {
namespace {

// The first element that `selector` matches as "left top right bottom" in page pixels (from the
// document's top-left corner, whole pixels that hold all of it); "" when none matches or the
// selector is no selector.
constexpr const char* kFindElementFunction = R"JS(
var element;
try { element = document.querySelector(argument); } catch (error) { return ''; }
if (!element) return '';
var box = element.getBoundingClientRect(), x = window.scrollX, y = window.scrollY;
return Math.floor(box.left + x) + ' ' + Math.floor(box.top + y) + ' ' +
    Math.ceil(box.right + x) + ' ' + Math.ceil(box.bottom + y);
)JS";

// Adds the text of `argument` as a style sheet after all of the document's own.
constexpr const char* kAddStyleFunction = R"JS(
var sheet = document.createElement('style');
sheet.textContent = argument;
document.documentElement.appendChild(sheet);
return 1;
)JS";

}  // namespace

// What an asynchronous function of the page gave: its value as a text (nullopt for undefined or
// null), what it threw, or nothing in time.
struct CWebBrowser2::FunctionAnswer {
  bool answered = false;
  std::optional<std::string> value;
  std::optional<std::string> error;
};

CWebBrowser2::FunctionAnswer CWebBrowser2::CallFunction(const std::string& body,
                                                        const std::string& argument,
                                                        const char* world) {
  FunctionAnswer answer;
  if (!m_view) return answer;
  auto pending = std::make_shared<Pending<FunctionAnswer>>();
  GVariantDict arguments;
  g_variant_dict_init(&arguments, nullptr);
  g_variant_dict_insert_value(&arguments, "argument", g_variant_new_string(argument.c_str()));
  webkit_web_view_call_async_javascript_function(
      m_view, body.c_str(), -1, g_variant_dict_end(&arguments), world, nullptr,
      pending->Cancellable(),
      [](GObject* source, GAsyncResult* result, gpointer data) {
        auto pending = TakeFromEngine<FunctionAnswer>(data);
        GError* rawError = nullptr;
        ObjectHolder value(G_OBJECT(webkit_web_view_call_async_javascript_function_finish(
            WEBKIT_WEB_VIEW(source), result, &rawError)));
        ErrorHolder error(rawError);
        pending->result.answered = true;
        if (error) pending->result.error.emplace(error->message);
        if (value && !jsc_value_is_undefined(JSC_VALUE(value.get())) &&
            !jsc_value_is_null(JSC_VALUE(value.get()))) {
          StringHolder text(jsc_value_to_string(JSC_VALUE(value.get())));
          if (text) pending->result.value.emplace(text.get());
        }
        pending->done = true;
      },
      ShareWithEngine(pending));
  if (!WaitFor(*pending, m_engineTimeout)) {
    EndStuckPage();
    return answer;
  }
  return pending->result;
}

void CWebBrowser2::SetPageOptions(const convert::PageOptions& options,
                                  const std::string& sourceFolder) {
  if (m_rules) m_rules->Set(options, sourceFolder, m_engineTimeout);
}

void CWebBrowser2::AddUserStyle(const std::string& style) {
  if (m_loadState != LoadState::kCommitted && m_loadState != LoadState::kFinished) return;
  CallFunction(kAddStyleFunction, base::ToDisplayUtf8(style), kControlWorld);
}

std::optional<std::string> CWebBrowser2::RunUserScript(const std::string& script) {
  if (m_loadState != LoadState::kCommitted && m_loadState != LoadState::kFinished) {
    return std::string("no page to run the script in");
  }
  // Run as the body of an asynchronous function in the page's own world: it sees what the page's
  // scripts made, may await what it starts, and the capture waits until it is through.
  const FunctionAnswer answer = CallFunction(base::ToDisplayUtf8(script), {}, nullptr);
  if (!answer.answered) return std::string("the script did not end within its time");
  if (answer.error) return base::BytesToCp932(*answer.error);  // the engine's words are UTF-8
  return std::nullopt;
}

std::optional<convert::PixelRect> CWebBrowser2::FindElement(const std::string& selector) {
  if (m_loadState != LoadState::kCommitted && m_loadState != LoadState::kFinished) {
    return std::nullopt;
  }
  const FunctionAnswer answer =
      CallFunction(kFindElementFunction, base::ToDisplayUtf8(selector), kControlWorld);
  int left = 0, top = 0, right = 0, bottom = 0;
  if (!answer.value ||
      std::sscanf(answer.value->c_str(), "%d %d %d %d", &left, &top, &right, &bottom) != 4) {
    return std::nullopt;
  }
  const int scale = DeviceScale();
  return convert::PixelRect{left * scale, top * scale, (right - left) * scale,
                            (bottom - top) * scale};
}

}  // namespace browser
