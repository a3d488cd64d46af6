// The least our engine can do per page, as a floor for the conversion's speed: one WebKitGTK
// view in one window; for each page, load it, wait for the load to finish, take one snapshot of
// the full document and write it as PNG. No waits, no scripts, no character-set choice.
//
//   bench_bare_capture PAGES_FOLDER PICTURES_FOLDER [VIEW_WIDTH VIEW_HEIGHT]
//
// Every .html file under PAGES_FOLDER becomes a .png at the same relative path. Needs a display.
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include <cairo.h>
#include <gtk/gtk.h>
#include <webkit2/webkit2.h>

namespace {

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

// No step may take longer than this, so that a stuck page costs only itself.
constexpr guint kStepTimeoutMilliseconds = 10000;

struct SurfaceDeleter {
  void operator()(cairo_surface_t* surface) const { cairo_surface_destroy(surface); }
};
using Surface = std::unique_ptr<cairo_surface_t, SurfaceDeleter>;

// The one view and what its current step has come to.
struct Capture {
  WebKitWebView* view = nullptr;
  GMainLoop* loop = nullptr;
  bool loaded = false;
  bool failed = false;
  Surface snapshot;
};

// Runs the main loop until a handler quits it or the step's time is up; true when in time.
bool RunStep(Capture& capture) {
  bool timedOut = false;
  struct Timer {
    Capture* capture;
    bool* timedOut;
  } timer{&capture, &timedOut};
  const guint source = g_timeout_add(
      kStepTimeoutMilliseconds,
      [](gpointer data) -> gboolean {
        auto* t = static_cast<Timer*>(data);
        *t->timedOut = true;
        g_main_loop_quit(t->capture->loop);
        return G_SOURCE_REMOVE;
      },
      &timer);
  g_main_loop_run(capture.loop);
  if (!timedOut) g_source_remove(source);
  return !timedOut;
}

void OnLoadChanged(WebKitWebView*, WebKitLoadEvent event, gpointer data) {
  auto* capture = static_cast<Capture*>(data);
  if (event != WEBKIT_LOAD_FINISHED) return;
  capture->loaded = true;
  g_main_loop_quit(capture->loop);
}

gboolean OnLoadFailed(WebKitWebView*, WebKitLoadEvent, gchar*, GError*, gpointer data) {
  static_cast<Capture*>(data)->failed = true;  // load-changed still reports the end
  return FALSE;
}

void OnSnapshot(GObject* view, GAsyncResult* result, gpointer data) {
  auto* capture = static_cast<Capture*>(data);
  capture->snapshot.reset(
      webkit_web_view_get_snapshot_finish(WEBKIT_WEB_VIEW(view), result, nullptr));
  g_main_loop_quit(capture->loop);
}

// Loads one page and writes its picture; gives why it could not, or "" when it did.
std::string CapturePage(Capture& capture, const fs::path& page, const fs::path& picture) {
  capture.loaded = capture.failed = false;
  const std::string uri = "file://" + fs::absolute(page).string();
  webkit_web_view_load_uri(capture.view, uri.c_str());
  if (!RunStep(capture) || !capture.loaded) return "load timeout";
  if (capture.failed) return "load failed";
  capture.snapshot.reset();
  webkit_web_view_get_snapshot(capture.view, WEBKIT_SNAPSHOT_REGION_FULL_DOCUMENT,
                               WEBKIT_SNAPSHOT_OPTIONS_NONE, nullptr, OnSnapshot, &capture);
  if (!RunStep(capture)) return "snapshot timeout";
  if (!capture.snapshot) return "no snapshot";
  fs::create_directories(picture.parent_path());
  if (cairo_surface_write_to_png(capture.snapshot.get(), picture.c_str()) != CAIRO_STATUS_SUCCESS) {
    return "write failed";
  }
  return "";
}

std::vector<fs::path> PagesUnder(const fs::path& folder) {
  std::vector<fs::path> pages;
  for (const auto& entry : fs::recursive_directory_iterator(folder)) {
    if (entry.is_regular_file() && entry.path().extension() == ".html") {
      pages.push_back(fs::relative(entry.path(), folder));
    }
  }
  std::sort(pages.begin(), pages.end());
  return pages;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 3 && argc != 5) {
    std::fprintf(stderr, "usage: bench_bare_capture PAGES PICTURES [VIEW_WIDTH VIEW_HEIGHT]\n");
    return 2;
  }
  if (!gtk_init_check(&argc, &argv)) {
    std::fprintf(stderr, "bench_bare_capture: no display\n");
    return 2;
  }
  const fs::path pages = argv[1], pictures = argv[2];
  const int width = argc == 5 ? std::atoi(argv[3]) : 800;
  const int height = argc == 5 ? std::atoi(argv[4]) : 724;
  Capture capture;
  capture.loop = g_main_loop_new(nullptr, FALSE);
  GtkWidget* window = gtk_window_new(GTK_WINDOW_TOPLEVEL);
  gtk_window_set_default_size(GTK_WINDOW(window), width, height);
  capture.view = WEBKIT_WEB_VIEW(webkit_web_view_new());
  gtk_container_add(GTK_CONTAINER(window), GTK_WIDGET(capture.view));
  g_signal_connect(capture.view, "load-changed", G_CALLBACK(OnLoadChanged), &capture);
  g_signal_connect(capture.view, "load-failed", G_CALLBACK(OnLoadFailed), &capture);
  gtk_widget_show_all(window);

  const auto start = Clock::now();
  int written = 0, total = 0;
  for (const fs::path& page : PagesUnder(pages)) {
    ++total;
    fs::path picture = pictures / page;
    picture.replace_extension(".png");
    const std::string failure = CapturePage(capture, pages / page, picture);
    if (failure.empty()) {
      ++written;
    } else {
      std::fprintf(stderr, "%s: %s\n", page.c_str(), failure.c_str());
    }
  }
  const double seconds = std::chrono::duration<double>(Clock::now() - start).count();
  std::printf("%d of %d pages written in %.2f s\n", written, total, seconds);
  gtk_widget_destroy(window);
  g_main_loop_unref(capture.loop);
  return written == total ? 0 : 1;
}
