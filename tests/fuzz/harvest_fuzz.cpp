// Harvesting any page: the queue, the kinds and the event rounds against the step-by-step
// transcription of the harvesting and queueing rules, under options chosen by the input.
#include <cstdio>
#include <cstdlib>
#include <string>

#include "download/crawl_state.h"
#include "download/link_harvester.h"
#include "fuzz_input.h"
#include "reference/link_rules_transcription.h"
#include "support/fake_run_controls.h"
#include "support/queue_kind_names.h"

namespace {

using settings::Field;

constexpr std::size_t kReferenceLimit = 4096;

const char* const kPages[] = {"http://server/a/b/page.html", "http://server",
                              "HTTP://Server/\x95\x5C/index.htm", "http://server/a/"};
const char* const kFolders[] = {"http://server/a/", "", "http://SERVER/a/b/", "http:/"};
const char* const kServers[] = {"server", "", "Server", "other"};
const char* const kEntries[] = {"pics", "CGI", "\x83\x61", "other", ".zip", "b/"};

void Fail(const std::string& page, const char* what) {
  std::fprintf(stderr, "harvests disagree (%s) on a page of %zu bytes\n", what, page.size());
  std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  fuzzing::FuzzInput input(data, size);
  const unsigned options = input.Byte();
  const unsigned starts = input.Byte();
  const unsigned lists = input.Byte();
  const std::string page = input.Rest();

  testing_support::FakeRunControls fastControls, slowControls;
  for (auto* controls : {&fastControls, &slowControls}) {
    controls->checks[Field::kServer] = options & 1;
    controls->checks[Field::kFilter] = options & 2;
    controls->checks[Field::kAnotherUrl] = options & 4;
    // Options changed while events are handled apply to the next link.
    const int flipEvery = (options >> 3) & 3;
    controls->onPump = [controls, flipEvery] {
      if (flipEvery && controls->pumps % flipEvery == 0) {
        controls->checks[Field::kServer] = !controls->checks[Field::kServer];
      }
    };
  }
  settings::FilterLists filters;
  filters.m_enable = ((options >> 5) & 1) != 0;
  filters.m_disable = ((options >> 6) & 1) != 0;
  for (unsigned i = 0; i < 3; ++i) {
    if (lists & (1u << i)) filters.m_enableList.push_back(kEntries[(lists >> 3) % 6]);
    if (lists & (8u << i)) filters.m_disableList.push_back(kEntries[(lists + i) % 6]);
  }
  const std::string pageAddress = kPages[starts & 3];

  download::CrawlState fast;
  fast.m_entryLimit = options & 0x80 ? 1 + (starts >> 6) : 1000;
  fast.m_startFolder = kFolders[(starts >> 2) & 3];
  fast.m_startServer = kServers[(starts >> 4) & 3];
  download::HarvestLinks(fast, fastControls, filters, pageAddress, page);
  if (page.size() > kReferenceLimit) return 0;

  transcription::Queue slow;
  slow.m_entryLimit = fast.m_entryLimit;
  slow.m_startFolder = fast.m_startFolder;
  slow.m_startServer = fast.m_startServer;
  transcription::HarvestLinks(slow, slowControls, filters, pageAddress, page);
  if (fast.m_addressQueue != slow.m_addressQueue) Fail(page, "addresses");
  if (testing_support::KindNames(fast.m_kindQueue) != slow.m_kindQueue) Fail(page, "kinds");
  if (fastControls.pumps != slowControls.pumps) Fail(page, "event rounds");
  return 0;
}
