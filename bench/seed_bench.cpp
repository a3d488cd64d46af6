// Template seeding over long ranges with a Count of 1: the time to the first crawl entry and the
// peak memory of the process, for a template that needs no request per address and for one
// whose every address is completed by a default-document probe.
#include <sys/resource.h>

#include <chrono>
#include <cstdio>
#include <cstring>
#include <string>

#include "download/address_template.h"
#include "support/fake_run_controls.h"

namespace {

// Answers every probe at once and keeps nothing, so that only the seeding's own memory shows.
class AnsweringTransfer : public net::Transfer {
 public:
  long probes = 0;

  net::TransferResult GetText(const std::string&) override { return Answer(); }
  net::TransferResult GetFormText(const std::string&, const std::string&) override {
    return Answer();
  }
  net::TransferResult PostFormText(const std::string&, const std::string&) override {
    return Answer();
  }
  net::TransferResult DownloadFile(const std::string&, const std::string&) override {
    return Answer();
  }
  net::TransferResult DownloadQueryFile(const std::string&, const std::string&) override {
    return Answer();
  }
  std::string GetServerName(const std::string&) override { return "s"; }

 private:
  net::TransferResult Answer() {
    ++probes;
    net::TransferResult result;
    result.ok = true;
    result.status = 200;
    result.text = "<p>";
    result.bytes = result.text.size();
    return result;
  }
};

long PeakKilobytes() {
  rusage usage{};
  getrusage(RUSAGE_SELF, &usage);
  return usage.ru_maxrss;
}

void Seed(const char* name, const std::string& addressTemplate, const std::string& last) {
  testing_support::FakeRunControls controls;
  controls.checks[settings::CgiField(1)] = true;
  controls.texts[settings::FromField(1)] = "1";
  controls.texts[settings::ToField(1)] = last;
  controls.texts[settings::StepField(1)] = "1";
  convert::RunState run;
  AnsweringTransfer transfer;
  download::CrawlState state;
  state.m_entryLimit = 1;

  const auto start = std::chrono::steady_clock::now();
  const download::SeedResult seeded =
      download::SeedQueue(addressTemplate, controls, run, transfer, state);
  const std::chrono::duration<double> took = std::chrono::steady_clock::now() - start;
  std::printf(
      "%-34s 1..%-9s Count 1: %8.3f s, %d queued, %ld probes, last %s, "
      "peak memory %ld KB\n",
      name, last.c_str(), took.count(), state.size(), transfer.probes, seeded.lastAddress.c_str(),
      PeakKilobytes());
}

}  // namespace

// Without arguments both cases run, the one without requests first (the peak memory of a process
// only grows); "plain" or "probed" runs one alone.
int main(int argc, char** argv) {
  const char* only = argc > 1 ? argv[1] : "";
  std::printf("peak memory at start: %ld KB\n", PeakKilobytes());
  if (!*only || std::strcmp(only, "plain") == 0) {
    Seed("page@a@.html (no request)", "http://s/page@a@.html", "2000000");
  }
  if (!*only || std::strcmp(only, "probed") == 0) {
    Seed("d@a@/ (a probe per address)", "http://s/d@a@/", "2000000");
  }
  return 0;
}
