// Benchmark of a whole crawl on the real main window: the time of one Start from an address,
// and the time per queue entry beyond the waits that every rendered page is given.
//
// Usage (under a display): bench_crawl <start address> <output folder> [Wait]
// Prints one line of "key=value" figures; run.sh serves a generated site and calls it.
#include <wx/app.h>
#include <wx/init.h>

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

#include "browser/event_pump.h"
#include "app/main_dialog.h"
#include "browser/web_browser.h"
#include "base/encoding.h"
#include "base/file_system.h"
#include "convert/tile_plan.h"
#include "dialogs/message_box.h"
#include "resources/texts.h"

namespace {

using Clock = std::chrono::steady_clock;

struct Tally {
  int bitmaps = 0;
  int files = 0;
  long long waitRounds = 0;  // rounds of 10 ms that the captures were given
};

std::int32_t Number(const std::string& bytes, std::size_t offset) {
  std::uint32_t value = 0;
  for (int k = 3; k >= 0; --k) value = value << 8 | static_cast<unsigned char>(bytes[offset + k]);
  return static_cast<std::int32_t>(value);
}

// Counts the bitmaps and the other files of the output tree and adds up the waits each bitmap's
// capture had: Wait x 5 rounds before measuring, then Wait rounds after every tile and every row
// of the tile plan for that page size in this view.
Tally CountOutput(const std::filesystem::path& root, convert::PixelSize view, int wait) {
  Tally tally;
  for (const auto& entry : std::filesystem::recursive_directory_iterator(root)) {
    if (!entry.is_regular_file()) continue;
    if (entry.path().extension() != ".bmp") {
      ++tally.files;
      continue;
    }
    std::ifstream file(entry.path(), std::ios::binary);
    std::string header(54, '\0');
    if (!file.read(header.data(), header.size()) || header.compare(0, 2, "BM") != 0) continue;
    ++tally.bitmaps;
    const int width = Number(header, 18);
    const int height = Number(header, 22);
    const convert::TilePlan plan =
        convert::PlanTiles(width, height, view.width, view.height - 5, 1.0);
    const long long rows = plan.rows + 1;
    const long long tiles = rows * (plan.cols + 1);
    tally.waitRounds += static_cast<long long>(wait) * (5 + tiles + rows);
  }
  return tally;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 3) {
    std::fprintf(stderr, "usage: bench_crawl <start address> <output folder> [Wait]\n");
    return 2;
  }
  const std::string address = argv[1];
  const std::string output = argv[2];
  const int wait = argc > 3 ? std::atoi(argv[3]) : 1;

  wxApp::SetInstance(new wxApp());
  int wxArgc = 1;  // the arguments are ours, not the window framework's
  if (!wxEntryStart(wxArgc, argv) || !wxTheApp->CallOnInit()) {
    std::fprintf(stderr, "cannot start the window framework (no display?)\n");
    return 1;
  }
  // A message box would wait for a click: the messages go to the error stream instead.
  dialogs::SetMessageBoxRecorder([](const std::string& text) {
    std::fprintf(stderr, "message: %s\n", base::Cp932ToUtf8Lossy(text).c_str());
  });

  const std::filesystem::path program =
      std::filesystem::temp_directory_path() / ("rendora-crawl-bench-" + std::to_string(getpid()));
  std::filesystem::create_directories(program);
  std::filesystem::create_directories(output);
  int status = 0;
  {
    auto* dialog = new MainDialog(program.string() + "/");
    dialog->Show();
    browser::PumpPendingEvents();
    using settings::Field;
    dialog->SetOptionText(Field::kReadPath, address);
    dialog->SetOptionText(Field::kWritePath, output);
    dialog->SetOptionText(Field::kSize, "400");
    dialog->SetOptionText(Field::kWait, std::to_string(wait));
    dialog->SetOptionText(Field::kPercent, "100");
    dialog->SetOptionText(Field::kCount, "100000");
    dialog->SetOptionText(Field::kLinkCount, "500");
    dialog->SetOptionChecked(Field::kAnotherUrl, true);
    dialog->SetOptionChecked(Field::kSame, false);

    const Clock::time_point start = Clock::now();
    dialog->OnStart();
    const double seconds = std::chrono::duration<double>(Clock::now() - start).count();

    const int entries = dialog->m_run.m_pageCount - 1;
    const Tally tally =
        CountOutput(base::ToNativePath(output).value(), dialog->Browser().GetViewSize(), wait);
    // Every entry of the generated site answers, so an entry that left no file is a page whose
    // load had not begun to show when its wait ended: it had the load wait and nothing more.
    const int unrendered = std::max(0, entries - tally.bitmaps - tally.files);
    const long long waitRounds = tally.waitRounds + 5LL * wait * unrendered;
    const double waitSeconds = waitRounds * 0.010;
    const double beyond = entries > 0 ? (seconds - waitSeconds) / entries * 1000 : 0;
    std::printf(
        "entries=%d bitmaps=%d files=%d pages_without_bitmap=%d seconds=%.2f "
        "wait_seconds=%.2f ms_per_entry=%.1f ms_per_entry_beyond_waits=%.1f\n",
        entries, tally.bitmaps, tally.files, unrendered, seconds, waitSeconds,
        entries > 0 ? seconds / entries * 1000 : 0, beyond);
    if (entries == 0) status = 1;
    dialog->Destroy();
    browser::PumpPendingEvents();
  }
  std::filesystem::remove_all(program);
  wxTheApp->OnExit();
  wxEntryCleanup();
  return status;
}
