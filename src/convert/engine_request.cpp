// The engine's requests that the program answers itself, and their names in reports.
#include "convert/engine_request.h"

namespace convert {

const char* EngineRequestName(EngineRequest request) {
  switch (request) {
    case EngineRequest::kScriptDialog: return "script dialog";
    case EngineRequest::kPrint: return "print";
    case EngineRequest::kAuthentication: return "authentication";
    case EngineRequest::kPermission: return "permission";
    case EngineRequest::kNewWindow: return "new window";
    case EngineRequest::kClose: return "close";
    case EngineRequest::kFileChooser: return "file chooser";
    case EngineRequest::kColourChooser: return "colour chooser";
    case EngineRequest::kOptionMenu: return "option menu";
    case EngineRequest::kContextMenu: return "context menu";
    case EngineRequest::kFullscreen: return "fullscreen";
    case EngineRequest::kNotification: return "notification";
    case EngineRequest::kCertificate: return "certificate";
  }
  return "";
}

std::optional<EngineRequest> EngineRequestNamed(std::string_view name) {
  for (const EngineRequest request : kEngineRequests) {
    if (name == EngineRequestName(request)) return request;
  }
  return std::nullopt;
}

std::vector<EngineRequest> EngineRequests::List() const {
  std::vector<EngineRequest> list;
  for (const EngineRequest request : kEngineRequests) {
    if (Has(request)) list.push_back(request);
  }
  return list;
}

std::vector<const char*> EngineRequests::Names() const {
  std::vector<const char*> names;
  for (const EngineRequest request : List()) names.push_back(EngineRequestName(request));
  return names;
}

}  // namespace convert
