// What the browser control's files share in talking to the engine: owners of GLib, cairo and
// X resources, and the waits for the engine's asynchronous answers, each bounded by a deadline.
#pragma once

#include <cairo.h>
#include <gio/gio.h>
#include <glib-object.h>
#include <glib.h>

#include <memory>

namespace browser {

// ---- Owners of GLib, cairo and X resources. ----

template <typename T, void (*Free)(T*)>
struct Deleter {
  void operator()(T* p) const {
    if (p) Free(p);
  }
};
inline void UnrefObject(GObject* object) { g_object_unref(object); }
inline void FreeString(char* text) { g_free(text); }
inline void FreeSource(GSource* source) {
  g_source_destroy(source);
  g_source_unref(source);
}
using ObjectHolder = std::unique_ptr<GObject, Deleter<GObject, UnrefObject>>;
using ErrorHolder = std::unique_ptr<GError, Deleter<GError, g_error_free>>;
using StringHolder = std::unique_ptr<char, Deleter<char, FreeString>>;
using SourceHolder = std::unique_ptr<GSource, Deleter<GSource, FreeSource>>;
using SurfaceHolder =
    std::unique_ptr<cairo_surface_t, Deleter<cairo_surface_t, cairo_surface_destroy>>;
using HashHolder = std::unique_ptr<GHashTable, Deleter<GHashTable, g_hash_table_unref>>;

// ---- Waiting for the engine. ----

// The state of one asynchronous call, shared between the waiting caller and the engine's answer,
// which may come after the caller has given up.
template <typename Result>
struct Pending {
  bool done = false;
  Result result{};
  ObjectHolder cancellable{G_OBJECT(g_cancellable_new())};
  GCancellable* Cancellable() { return G_CANCELLABLE(cancellable.get()); }
};

template <typename Result>
void* ShareWithEngine(const std::shared_ptr<Pending<Result>>& pending) {
  return new std::shared_ptr<Pending<Result>>(pending);
}

template <typename Result>
std::shared_ptr<Pending<Result>> TakeFromEngine(void* data) {
  std::unique_ptr<std::shared_ptr<Pending<Result>>> shared(
      static_cast<std::shared_ptr<Pending<Result>>*>(data));
  return *shared;
}

// Runs the GLib main context (the engine's answers and the window's events) until `done()` holds
// or the timeout passes; sleeps in the main context instead of spinning. False on timeout.
template <typename Condition>
bool PumpUntil(Condition done, int timeoutMilliseconds) {
  bool timedOut = false;
  SourceHolder timer(g_timeout_source_new(static_cast<guint>(timeoutMilliseconds)));
  g_source_set_callback(
      timer.get(),
      [](gpointer flag) -> gboolean {
        *static_cast<bool*>(flag) = true;
        return G_SOURCE_REMOVE;
      },
      &timedOut, nullptr);
  g_source_attach(timer.get(), nullptr);
  while (!done() && !timedOut) g_main_context_iteration(nullptr, TRUE);
  return done();
}

// Waits for an asynchronous call; on timeout it is cancelled, and its answer, if one still
// comes, only fills the shared state.
template <typename Result>
bool WaitFor(Pending<Result>& pending, int timeoutMilliseconds) {
  if (PumpUntil([&] { return pending.done; }, timeoutMilliseconds)) return true;
  g_cancellable_cancel(pending.Cancellable());
  return false;
}

inline bool IsCancelled(const GError* error) {
  return error && g_error_matches(error, G_IO_ERROR, G_IO_ERROR_CANCELLED);
}

}  // namespace browser
