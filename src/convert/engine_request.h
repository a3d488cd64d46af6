// The requests a page makes of the engine that would open a window or wait for a person, and
// which the program answers itself instead.
#pragma once

#include <cstdint>
#include <optional>
#include <string_view>
#include <vector>

namespace convert {

// Each request and how the program answers it. Nobody sits in front of a run, so none of them
// may show a window or wait for an answer.
enum class EngineRequest {
  kScriptDialog,    // alert, confirm, prompt: answered at once ("no", nothing typed)
  kPrint,           // window.print(): refused, no print dialog
  kAuthentication,  // a server asked for a user name and password: cancelled
  kPermission,      // geolocation, notifications, camera, ...: denied
  kNewWindow,       // window.open, a link to a new window: no window is made
  kClose,           // window.close(): the view stays, the page is still captured
  kFileChooser,     // <input type=file>: cancelled, no file chosen
  kColourChooser,   // <input type=color>: cancelled
  kOptionMenu,      // a <select> list that would pop up: closed at once
  kContextMenu,     // the view's context menu: not shown
  kFullscreen,      // an element asked for the whole screen: refused
  kNotification,    // a desktop notification: not shown
  kCertificate,     // the server's certificate failed its checks: the load fails
};

// Every request, in the order in which a report lists them.
inline constexpr EngineRequest kEngineRequests[] = {
    EngineRequest::kScriptDialog, EngineRequest::kPrint,         EngineRequest::kAuthentication,
    EngineRequest::kPermission,   EngineRequest::kNewWindow,     EngineRequest::kClose,
    EngineRequest::kFileChooser,  EngineRequest::kColourChooser, EngineRequest::kOptionMenu,
    EngineRequest::kContextMenu,  EngineRequest::kFullscreen,    EngineRequest::kNotification,
    EngineRequest::kCertificate,
};

// The request's name as reports store it ("script dialog", "print", "new window", ...).
const char* EngineRequestName(EngineRequest request);
// The request of that name; nullopt for a name that is none of them.
std::optional<EngineRequest> EngineRequestNamed(std::string_view name);

// The requests one page made, each noted once.
class EngineRequests {
 public:
  void Add(EngineRequest request) { m_bits |= Bit(request); }
  bool Has(EngineRequest request) const { return (m_bits & Bit(request)) != 0; }
  bool Empty() const { return m_bits == 0; }
  // The requests made, in the order of kEngineRequests.
  std::vector<EngineRequest> List() const;
  // Their names, in the same order.
  std::vector<const char*> Names() const;
  bool operator==(const EngineRequests&) const = default;

 private:
  static std::uint32_t Bit(EngineRequest request) {
    return std::uint32_t{1} << static_cast<unsigned>(request);
  }
  std::uint32_t m_bits = 0;
};

}  // namespace convert
