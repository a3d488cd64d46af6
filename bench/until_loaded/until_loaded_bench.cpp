// Benchmark of waiting until pages are ready against the fixed waits: 40 mixed pages served over
// a loopback connection with network-like delays, rendered by the real browser control at one
// Wait, once with fixed waits and once until loaded; pages per second and how many came out
// complete.
//
// Usage (under a display): bench_until_loaded [Wait]
//                          bench_until_loaded --command-line <rendora program> [Wait]
//                          (the same pages as local files, converted by `rendora convert`)
#include <wx/app.h>
#include <wx/frame.h>
#include <wx/init.h>
#include <wx/webview.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
#include <string>
#include <thread>
#include <vector>

#include <unistd.h>

#include "base/encoding.h"
#include "browser/delayed_server.h"
#include "browser/event_pump.h"
#include "browser/web_browser.h"
#include "convert/view_page_renderer.h"
#include "convert/run_record.h"
#include "convert/run_state.h"
#include "resources/control_ids.h"

namespace {

using Clock = std::chrono::steady_clock;
constexpr int kScreenHeight = 1024;
constexpr int kPagesPerKind = 8;
constexpr int kImageDelay = 150;  // milliseconds before the server answers an image

// The window side of a run on a plain frame: options in a map, the records kept.
class BenchControls : public convert::RunControls {
 public:
  BenchControls(wxFrame* frame, browser::CWebBrowser2* browser)
      : m_frame(frame), m_browser(browser) {}
  std::string GetOptionText(settings::Field field) const override {
    const auto found = texts.find(field);
    return found == texts.end() ? std::string() : found->second;
  }
  void SetOptionText(settings::Field field, const std::string& text) override {
    texts[field] = text;
  }
  bool IsOptionChecked(settings::Field) const override { return false; }
  void SetOptionChecked(settings::Field, bool) override {}
  void UpdatePlaceholderRow(int) override {}
  void SetStatusText(const std::string&) override {}
  void ShowMessage(const std::string& text) override {
    std::fprintf(stderr, "message: %s\n", base::Cp932ToUtf8Lossy(text).c_str());
  }
  void PumpMessages() override { browser::PumpPendingEvents(); }
  void Sleep(std::chrono::microseconds duration) override { std::this_thread::sleep_for(duration); }
  void FocusOption(settings::Field) override {}
  int ScreenHeight() override { return kScreenHeight; }
  void PlaceForPage(int captureWidth, int screenHeight) override {
    m_frame->SetSize(0, 0, captureWidth + 50, screenHeight - 70);
    m_browser->GetControl()->SetSize(10, 150, captureWidth, screenHeight - 300);
  }
  void RecordEntry(const convert::EntryRecord& record) override { records.push_back(record); }

  std::map<settings::Field, std::string> texts;
  std::vector<convert::EntryRecord> records;

 private:
  wxFrame* m_frame;
  browser::CWebBrowser2* m_browser;
};

std::string Svg(int k) {
  char fill[8];
  std::snprintf(fill, sizeof fill, "%06X", (k * 0x2F3B17) & 0xFFFFFF);
  return std::string(
             "<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"300\" height=\"150\">"
             "<rect width=\"300\" height=\"150\" fill=\"#") +
         fill + "\"/></svg>";
}

std::string Bands(int height, int seed) {
  std::string html;
  for (int y = 0, i = 0; y < height; y += 200, ++i) {
    char colour[8];
    std::snprintf(colour, sizeof colour, "%06X", ((seed + i) * 0x3A5F27) & 0xFFFFFF);
    html += "<div style=\"height: 200px; background: #" + std::string(colour) + "\">band " +
            std::to_string(i) + "</div>";
  }
  return html;
}

// One page of each kind for number `n`: short text, a long page, images in view arriving late,
// images that load when scrolled to, and a fixed header over a long page. Images are served
// under names of their own, so that nothing comes from the cache.
std::string Page(int kind, int n, const std::string& prefix,
                 testing_support::DelayedServer& server) {
  const std::string head =
      "<!DOCTYPE html><html><head><meta charset=\"UTF-8\"></head>"
      "<body style=\"margin: 0\">";
  auto image = [&](int k) {
    const std::string path =
        "/" + prefix + "-" + std::to_string(n) + "-" + std::to_string(k) + ".svg";
    server.Serve(path, Svg(n * 7 + k), "image/svg+xml", kImageDelay);
    return server.Address(path);
  };
  switch (kind) {
    case 0:
      return head + "<h1>Page " + std::to_string(n) +
             "</h1><p>A short page of text.</p></body></html>";
    case 1: return head + Bands(5000, n) + "</body></html>";
    case 2: {
      std::string html = head;
      for (int k = 0; k < 3; ++k) {
        html += "<img src=\"" + image(k) + "\" width=\"300\" height=\"150\">";
      }
      return html + Bands(1500, n) + "</body></html>";
    }
    case 3: {
      std::string html = head;
      for (int k = 0; k < 5; ++k) {
        html += "<div style=\"height: 850px\"></div><img class=\"lazy\" data-src=\"" + image(k) +
                "\" width=\"300\" height=\"150\">";
      }
      return html +
             "<script>var seen = new IntersectionObserver(function (entries) {"
             " entries.forEach(function (e) { if (!e.isIntersecting) return;"
             " e.target.src = e.target.dataset.src; seen.unobserve(e.target); }); });"
             " document.querySelectorAll('img.lazy').forEach(function (i) {"
             " seen.observe(i); });</script></body></html>";
    }
    default:
      return head +
             "<div style=\"position: fixed; top: 0; left: 0; right: 0; height: 50px;"
             " background: #203040; color: white\">header</div>" +
             Bands(3000, n) + "</body></html>";
  }
}

struct Outcome {
  double seconds = 0;
  int written = 0;
  int incomplete = 0;
  int failed = 0;
};

Outcome Convert(bool untilLoaded, int wait, const std::filesystem::path& folder,
                browser::CWebBrowser2& view, BenchControls& controls) {
  testing_support::DelayedServer server;
  const std::string prefix = untilLoaded ? "u" : "f";
  std::vector<std::pair<std::string, std::string>> pages;  // address, name
  for (int n = 0; n < kPagesPerKind; ++n) {
    for (int kind = 0; kind < 5; ++kind) {
      const std::string name = prefix + std::to_string(kind) + "-" + std::to_string(n) + ".html";
      server.Serve("/" + name, Page(kind, n, prefix, server), "text/html");
      pages.emplace_back(server.Address("/" + name), name);
    }
  }
  convert::RunState state;
  state.m_untilLoaded = untilLoaded;
  controls.texts[settings::Field::kWait] = std::to_string(wait);
  controls.records.clear();
  convert::ViewPageRenderer rendering(state, controls, view);
  const std::string output = (folder / prefix).string() + "/";
  std::filesystem::create_directories(output);
  const Clock::time_point start = Clock::now();
  int number = 0;
  for (const auto& [address, name] : pages) {
    const convert::PageResult result =
        rendering.RenderPage(convert::PageJob{address, name, output, ++number, {}});
    if (result.record) controls.RecordEntry(*result.record);
  }
  Outcome outcome;
  outcome.seconds = std::chrono::duration<double>(Clock::now() - start).count();
  for (const convert::EntryRecord& record : controls.records) {
    if (record.outcome == convert::EntryOutcome::kWritten) ++outcome.written;
    if (record.outcome == convert::EntryOutcome::kIncomplete) ++outcome.incomplete;
    if (record.outcome == convert::EntryOutcome::kFailed) ++outcome.failed;
  }
  return outcome;
}

// How often `needle` occurs in `text`.
int Occurrences(const std::string& text, const std::string& needle) {
  int count = 0;
  for (std::size_t at = text.find(needle); at != std::string::npos;
       at = text.find(needle, at + 1)) {
    ++count;
  }
  return count;
}

// The same pages as local files (their images still from the loopback server), converted by
// the command line program, which keeps its report in JSON Lines.
Outcome ConvertByCommandLine(const std::string& program, bool untilLoaded, int wait,
                             const std::filesystem::path& folder) {
  testing_support::DelayedServer server;
  const std::string prefix = untilLoaded ? "cu" : "cf";
  const std::filesystem::path source = folder / (prefix + "-pages");
  const std::filesystem::path output = folder / (prefix + "-pictures");
  std::filesystem::create_directories(source);
  std::filesystem::create_directories(output);
  for (int n = 0; n < kPagesPerKind; ++n) {
    for (int kind = 0; kind < 5; ++kind) {
      std::ofstream(source / (std::to_string(kind) + "-" + std::to_string(n) + ".html"))
          << Page(kind, n, prefix, server);
    }
  }
  const std::filesystem::path report = folder / (prefix + "-report.jsonl");
  const std::string command = program + " convert " + source.string() + " " + output.string() +
                              " --wait " + std::to_string(wait) +
                              (untilLoaded ? " --until-loaded" : "") + " --report " +
                              report.string() + " > /dev/null 2>&1";
  const Clock::time_point start = Clock::now();
  const int status = std::system(command.c_str());
  Outcome outcome;
  outcome.seconds = std::chrono::duration<double>(Clock::now() - start).count();
  if (status != 0) std::fprintf(stderr, "%s: exit status %d\n", command.c_str(), status);
  std::ifstream in(report);
  const std::string lines((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  outcome.written = Occurrences(lines, "\"outcome\":\"written\"");
  outcome.incomplete = Occurrences(lines, "\"outcome\":\"incomplete\"");
  outcome.failed = Occurrences(lines, "\"outcome\":\"failed\"");
  return outcome;
}

void Print(const char* mode, const Outcome& o, int pages) {
  std::printf(
      "%-14s %3d pages in %6.2f s  %5.2f pages/s  complete %2d  incomplete %2d"
      "  failed %2d\n",
      mode, pages, o.seconds, pages / o.seconds, o.written, o.incomplete, o.failed);
}

}  // namespace

int main(int argc, char** argv) {
  const bool commandLine = argc > 2 && std::string(argv[1]) == "--command-line";
  const int waitArgument = commandLine ? 3 : 1;
  const int wait = argc > waitArgument ? std::atoi(argv[waitArgument]) : 10;
  const int pages = 5 * kPagesPerKind;
  if (commandLine) {
    const std::filesystem::path folder =
        std::filesystem::temp_directory_path() / ("rendora-until-" + std::to_string(getpid()));
    std::printf(
        "%d mixed pages (short, 5,000 px, late images, lazy images, fixed header) at "
        "Wait %d, images %d ms late, by %s\n",
        pages, wait, kImageDelay, argv[2]);
    const Outcome fixed = ConvertByCommandLine(argv[2], false, wait, folder);
    Print("fixed waits", fixed, pages);
    const Outcome until = ConvertByCommandLine(argv[2], true, wait, folder);
    Print("until loaded", until, pages);
    std::printf("speed-up %.2fx\n", fixed.seconds / until.seconds);
    std::filesystem::remove_all(folder);
    return 0;
  }
  wxApp::SetInstance(new wxApp());
  int wxArgc = 1;
  if (!wxEntryStart(wxArgc, argv) || !wxTheApp->CallOnInit()) {
    std::fprintf(stderr, "cannot start the window framework (no display?)\n");
    return 1;
  }
  const std::filesystem::path folder =
      std::filesystem::temp_directory_path() / ("rendora-until-" + std::to_string(getpid()));
  std::filesystem::create_directories(folder);
  {
    auto* frame = new wxFrame(nullptr, wxID_ANY, "until loaded bench");
    browser::CWebBrowser2 view(frame, ids::kBrowser);
    BenchControls controls(frame, &view);
    controls.texts[settings::Field::kSize] = "800";
    controls.texts[settings::Field::kPercent] = "100";
    frame->Show();
    std::printf(
        "%d mixed pages (short, 5,000 px, late images, lazy images, fixed header) at "
        "Wait %d, images %d ms late\n",
        pages, wait, kImageDelay);
    const Outcome fixed = Convert(false, wait, folder, view, controls);
    Print("fixed waits", fixed, pages);
    const Outcome until = Convert(true, wait, folder, view, controls);
    Print("until loaded", until, pages);
    std::printf("speed-up %.2fx\n", fixed.seconds / until.seconds);
    frame->Destroy();
  }
  browser::PumpPendingEvents();
  std::filesystem::remove_all(folder);
  wxEntryCleanup();
  return 0;
}
