// Benchmark of the folder conversion on the real browser: time per page beyond the waits the
// capture is given, where that time goes, and the peak memory against the bitmap's size.
//
// Usage (under a display): bench_convert [repetitions at Wait 1] [repetitions at Wait 10]
//                         bench_convert --folder <source folder> <output folder>
//                         (converts every page of a folder once with Wait 10, to look at)
#include <wx/app.h>
#include <wx/frame.h>
#include <wx/init.h>
#include <wx/webview.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <map>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include <malloc.h>
#include <unistd.h>

#include "browser/event_pump.h"
#include "app/main_dialog.h"
#include "browser/web_browser.h"
#include "base/encoding.h"
#include "convert/folder_walk.h"
#include "convert/view_page_renderer.h"
#include "convert/run_state.h"
#include "convert/tile_plan.h"
#include "resources/control_ids.h"

namespace {

using Clock = std::chrono::steady_clock;

double MillisecondsSince(Clock::time_point start) {
  return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

// ---- Memory of this process (the engine's own processes are not counted). ----

long StatusKilobytes(const char* key) {
  std::ifstream status("/proc/self/status");
  std::string line;
  while (std::getline(status, line)) {
    if (line.rfind(key, 0) == 0) return std::stol(line.substr(std::strlen(key)));
  }
  return 0;
}

// Starts a new peak: the kernel sets the high-water mark back to the present footprint.
void ResetPeakMemory() { std::ofstream("/proc/self/clear_refs") << "5"; }

// ---- The window side of a run: the real main window, with its waits timed. ----

class BenchControls : public convert::RunControls {
 public:
  explicit BenchControls(MainDialog& window) : m_window(window) {}

  std::string GetOptionText(settings::Field field) const override {
    return m_window.GetOptionText(field);
  }
  void SetOptionText(settings::Field field, const std::string& text) override {
    m_window.SetOptionText(field, text);
  }
  bool IsOptionChecked(settings::Field field) const override {
    return m_window.IsOptionChecked(field);
  }
  void SetOptionChecked(settings::Field field, bool checked) override {
    m_window.SetOptionChecked(field, checked);
  }
  void UpdatePlaceholderRow(int row) override { m_window.UpdatePlaceholderRow(row); }
  void SetStatusText(const std::string& text) override { m_window.SetStatusText(text); }
  void ShowMessage(const std::string& text) override {
    std::fprintf(stderr, "message: %s\n", base::Cp932ToUtf8Lossy(text).c_str());
  }
  void PumpMessages() override {
    const Clock::time_point start = Clock::now();
    m_window.PumpMessages();
    pumpMs += MillisecondsSince(start);
  }
  void Sleep(std::chrono::microseconds duration) override {
    const Clock::time_point start = Clock::now();
    m_window.Sleep(duration);
    sleepMs += MillisecondsSince(start);
  }
  void FocusOption(settings::Field field) override { m_window.FocusOption(field); }
  int ScreenHeight() override { return m_window.ScreenHeight(); }
  void PlaceForPage(int captureWidth, int screenHeight) override {
    m_window.PlaceForPage(captureWidth, screenHeight);
  }

  double pumpMs = 0;
  double sleepMs = 0;

 private:
  MainDialog& m_window;
};

// The browser with the time of each kind of call added up.
class TimedView : public convert::PageView {
 public:
  explicit TimedView(browser::CWebBrowser2& browser) : m_browser(browser) {}

  void Navigate2(const std::string& location) override { m_browser.Navigate2(location); }
  void RedrawNow() override { m_browser.RedrawNow(); }
  std::optional<convert::PixelSize> MeasurePage() override {
    const Clock::time_point start = Clock::now();
    measured = m_browser.MeasurePage();
    scriptMs += MillisecondsSince(start);
    return measured;
  }
  convert::PixelSize GetViewSize() override {
    const Clock::time_point start = Clock::now();
    view = m_browser.GetViewSize();
    scriptMs += MillisecondsSince(start);
    return view;
  }
  void ScrollBy(int dx, int dy) override {
    const Clock::time_point start = Clock::now();
    m_browser.ScrollBy(dx, dy);
    scriptMs += MillisecondsSince(start);
  }
  convert::ScrollPoint GetScrollPosition() override {
    const Clock::time_point start = Clock::now();
    const convert::ScrollPoint point = m_browser.GetScrollPosition();
    scriptMs += MillisecondsSince(start);
    return point;
  }
  bool Snapshot(convert::ViewPixels& pixels) override {
    const Clock::time_point start = Clock::now();
    const bool taken = m_browser.Snapshot(pixels);
    snapshotMs += MillisecondsSince(start);
    ++snapshots;
    return taken;
  }
  int BitsPerPixel() override { return m_browser.BitsPerPixel(); }

  void Reset() {
    measured.reset();
    view = {};
    scriptMs = snapshotMs = 0;
    snapshots = 0;
  }

  std::optional<convert::PixelSize> measured;
  convert::PixelSize view;
  double scriptMs = 0;
  double snapshotMs = 0;
  int snapshots = 0;

 private:
  browser::CWebBrowser2& m_browser;
};

// ---- The pages. ----

std::string Bands(int width, int height) {
  std::string html =
      "<!DOCTYPE html><html><head><style>body{margin:0} div{height:100px}</style></head><body>"
      "<div style=\"width:" +
      std::to_string(width) + "px;height:0\"></div>";
  for (int y = 0, i = 0; y < height; y += 100, ++i) {
    char colour[8];
    std::snprintf(colour, sizeof colour, "%06X", (i * 0x2F4B17) & 0xFFFFFF);
    html += "<div style=\"background:#" + std::string(colour) + "\">band " + std::to_string(i) +
            "</div>";
  }
  return html + "</body></html>";
}

// A Japanese article in Shift_JIS that declares no character set.
std::string JapaneseArticle() {
  std::string html =
      "<html><head><title>記事</title></head><body style=\"font-size:18px\">"
      "<h1>変換テストの記事</h1>";
  for (int i = 0; i < 60; ++i) {
    html += "<p>第" + std::to_string(i + 1) +
            "段落：ページを画像に変換するための長い日本語の文章です。表示の確認、"
            "文字の描画、改行の位置、全角記号「」（）・…を含みます。</p>";
  }
  return base::Utf8ToCp932(html + "</body></html>").value_or("");
}

struct PageClass {
  const char* name;
  std::string file;
  std::string html;
};

struct Sample {
  double totalMs = 0, waitsMs = 0, snapshotMs = 0, scriptMs = 0, pumpSleepMs = 0;
  double peakMb = 0, bitmapMb = 0;
  int width = 0, height = 0;
  bool written = false;
};

double Median(std::vector<double> values) {
  std::sort(values.begin(), values.end());
  return values.empty() ? 0 : values[values.size() / 2];
}

}  // namespace

int main(int argc, char** argv) {
  const bool folderMode = argc > 3 && std::string(argv[1]) == "--folder";
  const int repsFast = argc > 1 && !folderMode ? std::atoi(argv[1]) : 5;
  const int repsSlow = argc > 2 ? std::atoi(argv[2]) : 3;
  // A fixed threshold: every large buffer is mapped and unmapped on its own, so the memory a
  // page leaves behind does not hide the next page's peak.
  mallopt(M_MMAP_THRESHOLD, 128 * 1024);
  wxApp::SetInstance(new wxApp());
  int wxArgc = 1;  // the repetitions are ours, not the window framework's
  if (!wxEntryStart(wxArgc, argv) || !wxTheApp->CallOnInit()) {
    std::fprintf(stderr, "cannot start the window framework (no display?)\n");
    return 1;
  }
  const std::filesystem::path folder =
      std::filesystem::temp_directory_path() / ("rendora-bench-" + std::to_string(getpid()));
  std::filesystem::create_directories(folder);
  const std::string source = folder.string() + "/";

  std::vector<PageClass> classes = {
      {"short 800x400", "short.html", Bands(800, 400)},
      {"long 800x5000", "long5000.html", Bands(800, 5000)},
      {"long 800x20000", "long20000.html", Bands(800, 20000)},
      {"wide 2000x3000", "wide.html", Bands(2000, 3000)},
      {"japanese article", "japanese.html", JapaneseArticle()},
  };
  for (const PageClass& page : classes) std::ofstream(source + page.file) << page.html;

  {
    auto* frame = new MainDialog(source);  // no set.ini there: nothing is loaded
    BenchControls controls(*frame);
    TimedView view(frame->Browser());
    convert::RunState state;
    convert::ViewPageRenderer rendering(state, controls, view);
    controls.SetOptionText(settings::Field::kSize, "800");
    controls.SetOptionText(settings::Field::kPercent, "100");
    frame->Show();

    if (folderMode) {
      controls.SetOptionText(settings::Field::kWait, "10");
      state.m_pageCount = 1;
      convert::FolderWalk walk(state, controls, rendering);
      walk.ConvertFolder(std::string(argv[2]) + "/", std::string(argv[3]) + "/");
      std::printf("%d pages converted\n", state.m_pageCount - 1);
      frame->Destroy();
      browser::PumpPendingEvents();
      std::filesystem::remove_all(folder);
      wxTheApp->OnExit();
      wxEntryCleanup();
      return 0;
    }

    // Warm-up: the engine's processes start on the first page.
    controls.SetOptionText(settings::Field::kWait, "20");
    rendering.RenderPage(convert::PageJob{source + "short.html", "short.html", source, 1, {}});

    std::printf("%-17s %5s %7s %9s %9s %9s | %8s %8s %8s %8s | %8s %5s\n", "page", "wait", "bitmap",
                "median", "waits", "overhead", "snapshot", "scripts", "pump", "rest", "peak+",
                "x bmp");
    for (int wait : {1, 10}) {
      controls.SetOptionText(settings::Field::kWait, std::to_string(wait));
      for (const PageClass& page : classes) {
        std::vector<Sample> samples;
        for (int rep = 0; rep < (wait == 1 ? repsFast : repsSlow); ++rep) {
          view.Reset();
          controls.pumpMs = controls.sleepMs = 0;
          std::filesystem::remove(source + "out.bmp");
          ResetPeakMemory();
          const long idleKb = StatusKilobytes("VmRSS:");
          const Clock::time_point start = Clock::now();
          rendering.RenderPage(convert::PageJob{source + page.file, "out.html", source, 1, {}});
          Sample sample;
          sample.totalMs = MillisecondsSince(start);
          sample.peakMb = (StatusKilobytes("VmHWM:") - idleKb) / 1024.0;
          sample.written = rendering.LastOutcome() == convert::CaptureOutcome::kWritten;
          std::error_code error;
          sample.bitmapMb = std::filesystem::file_size(source + "out.bmp", error) / 1048576.0;
          if (view.measured && view.view.height > 5) {
            const convert::CaptureSize size = convert::FitCaptureSize(
                view.measured->width, view.measured->height, view.view.height, 800);
            const convert::TilePlan plan = convert::PlanTiles(
                size.width, size.height, view.view.width, view.view.height - 5, 1.0);
            const int tiles = (plan.rows + 1) * (plan.cols + 1);
            sample.waitsMs = wait * 5 * 10 + wait * 10 * (tiles + plan.rows + 1);
            sample.width = size.width;
            sample.height = size.height;
          }
          sample.snapshotMs = view.snapshotMs;
          sample.scriptMs = view.scriptMs;
          sample.pumpSleepMs = controls.pumpMs + controls.sleepMs;
          samples.push_back(sample);
        }
        auto median = [&](double Sample::*field) {
          std::vector<double> values;
          for (const Sample& s : samples) values.push_back(s.*field);
          return Median(values);
        };
        const double total = median(&Sample::totalMs);
        const double waits = median(&Sample::waitsMs);
        const double snapshot = median(&Sample::snapshotMs);
        const double scripts = median(&Sample::scriptMs);
        const double pump = median(&Sample::pumpSleepMs) - waits;
        const double peak = median(&Sample::peakMb);
        const double bitmap = median(&Sample::bitmapMb);
        const bool allWritten =
            std::all_of(samples.begin(), samples.end(), [](const Sample& s) { return s.written; });
        std::printf(
            "%-17s %5d %6.1fM %7.0fms %7.0fms %7.0fms | %6.0fms %6.0fms %6.0fms %6.0fms |"
            " %7.1fM %5.2f%s\n",
            page.name, wait, bitmap, total, waits, total - waits, snapshot, scripts, pump,
            total - waits - snapshot - scripts - pump, peak, bitmap > 0 ? peak / bitmap : 0.0,
            allWritten ? "" : "  (not every page written)");
        std::fflush(stdout);
      }
    }
    std::printf(
        "waits: Wait x 50 ms + Wait x 10 ms per tile and per row; overhead = median - "
        "waits;\npump: pumping and sleeping beyond the waits; rest: copying, writing, "
        "loading; peak+: VmHWM above the footprint before the page\n");
    frame->Destroy();
    browser::PumpPendingEvents();
  }
  std::filesystem::remove_all(folder);
  wxTheApp->OnExit();
  wxEntryCleanup();
  return 0;
}
