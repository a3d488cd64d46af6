// Harvesting speed: pages of growing size and link count, and queueing many links, each timed
// for the fast code and for the plain transcription side by side.
#include <benchmark/benchmark.h>

#include <string>

#include "download/crawl_state.h"
#include "download/link_harvester.h"
#include "download/reference/link_rules_transcription.h"
#include "support/fake_run_controls.h"

namespace {

const std::string kPageAddress = "http://server/site/index.html";

// A page of about `bytes` bytes holding `links` links of every scanned kind, with Japanese text
// (code page 932) between them.
std::string MakePage(int bytes, int links) {
  std::string page = "<html><body background=\"bg.gif\">";
  const int fillPerLink = bytes / links;
  const std::string filler =
      "\x93\xFA\x96\x7B\x8C\xEA\x82\xCC text with a few words \x83\x41\x83\x61 ";
  for (int i = 0; i < links; ++i) {
    const std::string n = std::to_string(i);
    switch (i % 4) {
      case 0: page += "<a href=\"page" + n + ".html#top\">Page " + n + "</a>"; break;
      case 1: page += "<IMG SRC=\"Pics/pic" + n + ".cgi\" alt=\"x\">"; break;
      case 2: page += "<option value=\"list.cgi?p=" + n + "\">" + n + "</option>"; break;
      default: page += "<p><A HREF='Dir" + n + "/'>dir</A></p>"; break;
    }
    while (static_cast<int>(page.size()) < (i + 1) * fillPerLink) page += filler;
  }
  return page + "<frame src=\"menu.htm\"></body></html>";
}

struct PageSize {
  int bytes, links;
};
constexpr PageSize kSizes[] = {{100 * 1024, 1000}, {1024 * 1024, 10000}, {4 * 1024 * 1024, 40000}};

void SetCounters(benchmark::State& run, const std::string& page, int queued) {
  run.SetBytesProcessed(static_cast<int64_t>(run.iterations()) * page.size());
  run.counters["links"] = kSizes[run.range(0)].links;
  run.counters["queued"] = queued;
}

void BM_HarvestFast(benchmark::State& run) {
  const std::string page = MakePage(kSizes[run.range(0)].bytes, kSizes[run.range(0)].links);
  testing_support::FakeRunControls controls;
  const settings::FilterLists filters;
  int queued = 0;
  for (auto _ : run) {
    download::CrawlState state;
    state.m_entryLimit = 1 << 30;
    download::HarvestLinks(state, controls, filters, kPageAddress, page);
    queued = state.size();
  }
  SetCounters(run, page, queued);
}

void BM_HarvestTranscription(benchmark::State& run) {
  const std::string page = MakePage(kSizes[run.range(0)].bytes, kSizes[run.range(0)].links);
  testing_support::FakeRunControls controls;
  const settings::FilterLists filters;
  int queued = 0;
  for (auto _ : run) {
    transcription::Queue queue;
    queue.m_entryLimit = 1 << 30;
    transcription::HarvestLinks(queue, controls, filters, kPageAddress, page);
    queued = static_cast<int>(queue.m_addressQueue.size());
  }
  SetCounters(run, page, queued);
}

void BM_QueueFast(benchmark::State& run) {
  testing_support::FakeRunControls controls;
  const settings::FilterLists filters;
  for (auto _ : run) {
    download::CrawlState state;
    for (int i = 0; i < run.range(0); ++i) {
      download::QueueLink(state, controls, filters, kPageAddress,
                          "dir" + std::to_string(i % 97) + "/p" + std::to_string(i) + ".html",
                          download::QueueKind::kUrl);
    }
    benchmark::DoNotOptimize(state.size());
  }
  run.SetItemsProcessed(run.iterations() * run.range(0));
}

void BM_QueueTranscription(benchmark::State& run) {
  testing_support::FakeRunControls controls;
  const settings::FilterLists filters;
  for (auto _ : run) {
    transcription::Queue queue;
    for (int i = 0; i < run.range(0); ++i) {
      transcription::QueueLink(queue, controls, filters, kPageAddress,
                               "dir" + std::to_string(i % 97) + "/p" + std::to_string(i) + ".html",
                               "url");
    }
    benchmark::DoNotOptimize(queue.m_addressQueue.size());
  }
  run.SetItemsProcessed(run.iterations() * run.range(0));
}

// Page sizes by index into kSizes: 0 = 100 KB / 1,000 links, 1 = 1 MB / 10,000, 2 = 4 MB / 40,000.
BENCHMARK(BM_HarvestFast)->DenseRange(0, 2)->Unit(benchmark::kMillisecond);
// The transcription copies and lowers the rest of the page for every link: at 4 MB that is
// minutes per run, so it is measured up to 1 MB, once.
BENCHMARK(BM_HarvestTranscription)->DenseRange(0, 1)->Iterations(1)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_QueueFast)->Arg(10000)->Arg(30000)->Arg(100000)->Unit(benchmark::kMillisecond);
// The transcription walks the whole queue per link: measured up to 30,000 links, once.
BENCHMARK(BM_QueueTranscription)
    ->Arg(10000)
    ->Arg(30000)
    ->Iterations(1)
    ->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
  benchmark::Initialize(&argc, argv);
  std::printf(
      "Transcription capped: harvesting up to 1 MB / 10,000 links and queueing up to "
      "30,000 links (larger sizes would take minutes).\n");
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
