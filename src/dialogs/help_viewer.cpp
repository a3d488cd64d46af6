// The help viewer: the program's own HTML help pages in a window, with their contents beside.
#include "dialogs/help_viewer.h"

#include <wx/filename.h>
#include <wx/listbox.h>
#include <wx/sizer.h>
#include <wx/webview.h>

#include "base/file_system.h"
#include "dialogs/app_icon.h"
#include "dialogs/window_look.h"
#include "dialogs/wx_text.h"
#include "resources/texts.h"

namespace dialogs {
namespace {

// The value of attribute `name` (lower case) of a tag, double-quoted, found in the tag's lower
// case copy `lower` and taken from its text as written, `original`; "" when there is none.
std::string AttributeValue(std::string_view lower, std::string_view original,
                           std::string_view name) {
  const std::string key = std::string(name) + "=\"";
  std::size_t at = lower.find(key);
  if (at == std::string_view::npos) return {};
  at += key.size();
  const std::size_t end = lower.find('"', at);
  return end == std::string_view::npos ? std::string() : std::string(original.substr(at, end - at));
}

// A copy of `text` with its ASCII letters in lower case, for finding tags of any case.
std::string Lower(std::string_view text) {
  std::string lower(text);
  for (char& c : lower) {
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  }
  return lower;
}

}  // namespace

std::vector<HelpTopic> ReadHelpContents(std::string_view contents) {
  const std::string lower = Lower(contents);
  std::vector<HelpTopic> topics;
  int depth = -1;  // the outermost list holds the top level
  HelpTopic current;
  bool inObject = false;
  for (std::size_t at = lower.find('<'); at != std::string::npos; at = lower.find('<', at + 1)) {
    const std::size_t end = lower.find('>', at);
    if (end == std::string::npos) break;
    const std::string_view tag = std::string_view(lower).substr(at, end - at + 1);
    const std::string_view original = contents.substr(at, end - at + 1);
    if (tag.starts_with("<ul")) {
      ++depth;
    } else if (tag.starts_with("</ul")) {
      --depth;
    } else if (tag.starts_with("<object")) {
      inObject = tag.find("text/sitemap") != std::string_view::npos;
      current = HelpTopic{{}, {}, depth < 0 ? 0 : depth};
    } else if (tag.starts_with("<param") && inObject) {
      const std::string name = AttributeValue(tag, tag, "name");
      if (name == "name") current.title = AttributeValue(tag, original, "value");
      if (name == "local") current.page = AttributeValue(tag, original, "value");
    } else if (tag.starts_with("</object")) {
      if (inObject && !current.title.empty() && !current.page.empty()) topics.push_back(current);
      inObject = false;
    }
  }
  return topics;
}

HelpViewer::HelpViewer(wxWindow* owner, const std::string& helpFolder, const std::string& startPage)
    : m_helpFolder(helpFolder) {
  Create(owner, wxID_ANY, WxText(resources::TextId::kMenuHelpItem), wxDefaultPosition,
         wxSize(900, 640), wxDEFAULT_DIALOG_STYLE | wxRESIZE_BORDER);
  SetFont(UiFont());
  SetIcons(AppIcons());
  if (std::optional<std::string> contents = base::ReadWholeFile(helpFolder + "Rendora.hhc")) {
    m_topics = ReadHelpContents(*contents);
  }
  m_contents = new wxListBox(this, wxID_ANY);
  for (const HelpTopic& topic : m_topics) {
    m_contents->Append(wxString::FromUTF8(std::string(topic.depth * 2, ' ') + topic.title));
  }
  m_view = wxWebView::New(this, wxID_ANY);
  auto* row = new wxBoxSizer(wxHORIZONTAL);
  row->Add(m_contents, 0, wxEXPAND | wxALL, 4);
  if (m_view) row->Add(m_view, 1, wxEXPAND | wxALL, 4);
  SetSizer(row);
  m_contents->SetMinSize(wxSize(240, -1));
  Layout();
  m_contents->Bind(wxEVT_LISTBOX, [this](wxCommandEvent& event) {
    const int chosen = event.GetSelection();
    if (chosen >= 0 && chosen < static_cast<int>(m_topics.size())) {
      ShowPage(m_topics[chosen].page);
    }
  });
  ShowPage(startPage);
}

bool HelpViewer::ShowPage(const std::string& page) {
  const std::string path = m_helpFolder + page;
  if (!m_view || page.empty() || !base::FileExists(path)) return false;
  const std::optional<std::filesystem::path> native = base::ToNativePath(path);
  if (!native) return false;
  m_view->LoadURL(wxFileName::FileNameToURL(wxFileName(wxString::FromUTF8(native->string()))));
  for (std::size_t i = 0; i < m_topics.size(); ++i) {
    if (m_topics[i].page == page) m_contents->SetSelection(static_cast<int>(i));
  }
  return true;
}

}  // namespace dialogs
