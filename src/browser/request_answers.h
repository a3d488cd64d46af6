// Answers, without any window, every request of the engine that would open one or wait for a
// person: script dialogs, printing, passwords, permissions, new windows, choosers and menus.
#pragma once

#include <vector>

#include "convert/engine_request.h"

typedef struct _WebKitWebView WebKitWebView;

namespace browser {

// Connected to one view from construction to destruction; notes which requests the view's
// current page made. The view may be destroyed first.
class RequestAnswers {
 public:
  explicit RequestAnswers(WebKitWebView* view);
  ~RequestAnswers();
  RequestAnswers(const RequestAnswers&) = delete;
  RequestAnswers& operator=(const RequestAnswers&) = delete;

  // The requests answered since the last Clear.
  const convert::EngineRequests& Answered() const { return m_answered; }
  // Forgets them: a new page is on its way.
  void Clear() { m_answered = convert::EngineRequests(); }
  // Notes a request that the window framework answered before this object saw it.
  void Note(convert::EngineRequest request) { m_answered.Add(request); }

 private:
  void ConnectDialogs();
  void ConnectNotices();
  void ConnectWindows();
  void ConnectChoosers();

  WebKitWebView* m_view;  // null once the view is destroyed
  std::vector<unsigned long> m_handlers;
  convert::EngineRequests m_answered;
};

}  // namespace browser
