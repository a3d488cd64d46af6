// The help viewer: the program's own HTML help pages in a window, with their contents beside.
#pragma once

#include <wx/dialog.h>

#include <string>
#include <string_view>
#include <vector>

class wxListBox;
class wxWebView;

namespace dialogs {

// One entry of the help's contents: its title (UTF-8), the page it shows and how deep it sits.
struct HelpTopic {
  std::string title;
  std::string page;  // a file name of the help folder ("index.htm")
  int depth = 0;     // 0 for the top level
};

// The topics of a contents file of the help project (UTF-8): every sitemap object with a name
// and a local page, in order, each as deep as the lists around it.
std::vector<HelpTopic> ReadHelpContents(std::string_view contents);

// A window showing the pages of `helpFolder` (code-page-932, ending in '/') with the contents
// of its Rendora.hhc as a list; choosing a topic shows its page.
class HelpViewer : public wxDialog {
 public:
  HelpViewer(wxWindow* owner, const std::string& helpFolder, const std::string& startPage);

  // Shows `page` of the help folder; false when there is no such page or no view.
  bool ShowPage(const std::string& page);
  wxListBox* Contents() const { return m_contents; }
  wxWebView* View() const { return m_view; }
  const std::vector<HelpTopic>& Topics() const { return m_topics; }

 private:
  std::string m_helpFolder;
  std::vector<HelpTopic> m_topics;
  wxListBox* m_contents = nullptr;
  wxWebView* m_view = nullptr;
};

}  // namespace dialogs
