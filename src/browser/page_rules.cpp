// What the user asks of every page as the engine applies it.
#include "browser/page_rules.h"

#include <filesystem>
#include <system_error>

#include <glib.h>
#include <webkit2/webkit2.h>

#include "base/encoding.h"
#include "base/file_system.h"
#include "browser/engine_wait.h"
#include "net/page_uri.h"

namespace browser {
namespace {

// `text` in a rule's address pattern, matched as it stands.
std::string PatternLiteral(const std::string& text) {
  std::string pattern;
  for (const char c : text) {
    if (std::string_view(".*+?()[]{}|^$\\").find(c) != std::string_view::npos) pattern += '\\';
    pattern += c;
  }
  return pattern;
}

// A link's name as an address pattern. A page may write a name's characters raw or
// percent-encoded, in either letter case, so every byte other than a letter, a digit or "-._~"
// matches anything: the pattern blocks more names than the link's, never fewer.
std::string LinkNamePattern(const std::string& name) {
  std::string pattern;
  for (const char c : name) {
    const bool plain = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') ||
                       c == '-' || c == '_' || c == '~' || c == '/';
    if (plain) {
      pattern += c;
    } else if (c == '.') {
      pattern += "\\.";
    } else if (!pattern.ends_with(".*")) {
      pattern += ".*";
    }
  }
  return pattern;
}

std::string JsonString(const std::string& text) {
  std::string json = "\"";
  for (const char c : text) {
    if (c == '"' || c == '\\') json += '\\';
    json += c;
  }
  return json + "\"";
}

std::string Rule(const std::string& pattern, const char* action) {
  return "{\"trigger\":{\"url-filter\":" + JsonString(pattern) +
         ",\"url-filter-is-case-sensitive\":true},\"action\":{\"type\":\"" + action + "\"}}";
}

}  // namespace

std::string ContentRules(const convert::PageOptions& options, const std::string& folderUri,
                         const std::vector<std::string>& escapingLinks) {
  std::vector<std::string> rules;
  if (options.confine) {
    // Later rules win: every file, then the folder again, then its links that lead out of it.
    rules.push_back(Rule("^file:", "block"));
    const std::string folder = "^" + PatternLiteral(folderUri);
    rules.push_back(Rule(folder, "ignore-previous-rules"));
    for (const std::string& link : escapingLinks) {
      // The link itself, and what lies under a linked folder; never a longer name beside it.
      rules.push_back(Rule(folder + LinkNamePattern(link) + "$", "block"));
      rules.push_back(Rule(folder + LinkNamePattern(link) + "[/?#]", "block"));
    }
  }
  if (options.noNetwork) {
    for (const char* scheme : {"^https?:", "^wss?:", "^ftp:"})
      rules.push_back(Rule(scheme, "block"));
  }
  if (rules.empty()) return {};
  std::string json = "[";
  for (const std::string& rule : rules) json += (json.size() > 1 ? "," : "") + rule;
  return json + "]";
}

std::vector<std::string> EscapingLinks(const std::string& folder) {
  namespace fs = std::filesystem;
  std::vector<std::string> links;
  const std::optional<fs::path> native = base::ToNativePath(folder);
  std::error_code error;
  const fs::path root = native ? fs::canonical(*native, error) : fs::path();
  if (!native || error) return links;
  const auto options = fs::directory_options::skip_permission_denied;
  for (fs::recursive_directory_iterator it(*native, options, error), end; !error && it != end;
       it.increment(error)) {
    if (!it->is_symlink(error)) continue;
    const fs::path target = fs::weakly_canonical(it->path(), error);
    const fs::path inside = target.lexically_relative(root);
    if (error || inside.empty() || *inside.begin() == "..") {
      links.push_back(it->path().lexically_relative(*native).string());
    }
    error.clear();
  }
  return links;
}

PageRules::PageRules(WebKitWebView* view) : m_view(view) {
  g_object_add_weak_pointer(G_OBJECT(m_view), reinterpret_cast<gpointer*>(&m_view));
}

PageRules::~PageRules() {
  if (m_view) {
    SetStyleSheet({});
    if (m_filterInForce) ForLoad(false);
    g_object_remove_weak_pointer(G_OBJECT(m_view), reinterpret_cast<gpointer*>(&m_view));
  }
  if (m_sheet) webkit_user_style_sheet_unref(m_sheet);
  if (m_filter) webkit_user_content_filter_unref(m_filter);
  if (m_store) g_object_unref(m_store);
  if (!m_storeFolder.empty()) {
    std::error_code ignored;
    std::filesystem::remove_all(m_storeFolder, ignored);
  }
}

void PageRules::Set(const convert::PageOptions& options, const std::string& sourceFolder,
                    int timeoutMilliseconds) {
  if (!m_view || (m_set && options == m_options && sourceFolder == m_folder)) return;
  m_set = true;
  m_options = options;
  m_folder = sourceFolder;
  SetStyleSheet(base::ToDisplayUtf8(convert::PageStyleSheet(options)));
  WebKitSettings* settings = webkit_web_view_get_settings(m_view);
  webkit_settings_set_enable_javascript_markup(settings, !options.noJavaScript);
  // A confined page's scripts may read the files of its folder (and no others: the content
  // rules hold every load in bounds); otherwise they read no file at all, as by default.
  webkit_settings_set_allow_file_access_from_file_urls(settings, options.confine);
  std::string folderUri;
  std::vector<std::string> links;
  if (options.confine) {
    std::string folder = sourceFolder;
    if (!folder.ends_with('/')) folder += '/';
    folderUri = net::LocationToUri(folder);
    links = EscapingLinks(folder);
  }
  SetFilter(ContentRules(options, folderUri, links), timeoutMilliseconds);
}

void PageRules::SetStyleSheet(const std::string& sheet) {
  WebKitUserContentManager* content = webkit_web_view_get_user_content_manager(m_view);
  if (m_sheet) {
    webkit_user_content_manager_remove_style_sheet(content, m_sheet);
    webkit_user_style_sheet_unref(m_sheet);
    m_sheet = nullptr;
  }
  if (sheet.empty()) return;
  // The author's level: a rule of the user's takes part in the page's cascade as one of its own
  // style sheets would, and the !important rules that hide and remove win over the page's.
  m_sheet = webkit_user_style_sheet_new(sheet.c_str(), WEBKIT_USER_CONTENT_INJECT_TOP_FRAME,
                                        WEBKIT_USER_STYLE_LEVEL_AUTHOR, nullptr, nullptr);
  webkit_user_content_manager_add_style_sheet(content, m_sheet);
}

void PageRules::SetFilter(const std::string& rules, int timeoutMilliseconds) {
  if (m_filterInForce) ForLoad(false);
  if (m_filter) webkit_user_content_filter_unref(m_filter);
  m_filter = nullptr;
  m_filterWanted = !rules.empty();
  if (!m_filterWanted) return;
  if (!m_store) {
    // The engine keeps made rules in files; a folder of this control's own holds them.
    GError* rawError = nullptr;
    StringHolder folder(g_dir_make_tmp("rendora-rules-XXXXXX", &rawError));
    ErrorHolder error(rawError);
    if (!folder) return;
    m_storeFolder = folder.get();
    m_store = webkit_user_content_filter_store_new(folder.get());
  }
  auto pending = std::make_shared<Pending<WebKitUserContentFilter*>>();
  GBytes* source = g_bytes_new(rules.data(), rules.size());
  webkit_user_content_filter_store_save(
      m_store, "page-rules", source, pending->Cancellable(),
      [](GObject* store, GAsyncResult* result, gpointer data) {
        auto pending = TakeFromEngine<WebKitUserContentFilter*>(data);
        GError* rawError = nullptr;
        pending->result = webkit_user_content_filter_store_save_finish(
            WEBKIT_USER_CONTENT_FILTER_STORE(store), result, &rawError);
        ErrorHolder error(rawError);
        // Made after the caller gave up waiting: nobody takes the rules.
        if (pending->result && g_cancellable_is_cancelled(pending->Cancellable())) {
          webkit_user_content_filter_unref(pending->result);
          pending->result = nullptr;
        }
        if (error) g_printerr("rendora: content rules: %s\n", error->message);
        pending->done = true;
      },
      ShareWithEngine(pending));
  g_bytes_unref(source);
  if (WaitFor(*pending, timeoutMilliseconds)) m_filter = pending->result;
}

bool PageRules::ForLoad(bool localPage) {
  if (!m_view) return true;
  const bool wanted = localPage && m_filterWanted;
  if (wanted && !m_filter) return false;
  if (wanted == m_filterInForce) return true;
  WebKitUserContentManager* content = webkit_web_view_get_user_content_manager(m_view);
  if (wanted) {
    webkit_user_content_manager_add_filter(content, m_filter);
  } else {
    webkit_user_content_manager_remove_all_filters(content);
  }
  m_filterInForce = wanted;
  return true;
}

}  // namespace browser
