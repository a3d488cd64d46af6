// A stand-in render worker for the pool's tests: speaks the pool's protocol on standard input
// and output and does to each page what the page's location asks for, without a display.
#include <signal.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <fstream>
#include <iostream>
#include <string>
#include <thread>

#include "cli/worker_protocol.h"
#include "convert/picture_file.h"
#include "convert/view_page_renderer.h"

namespace {

using convert::EntryOutcome;

bool Says(const cli::PageOrder& order, const char* word) {
  return order.location.find(word) != std::string::npos;
}

void Send(const std::string& line) { std::cout << line << '\n' << std::flush; }

void Progress(const cli::PageOrder& order, std::chrono::milliseconds wait) {
  Send(cli::EncodeProgress({order.sequence, wait}));
}

// Writes the page's picture where the pool expects it: its name in the page's work folder.
std::string WritePicture(const cli::PageOrder& order, const cli::WorkerSetup& setup) {
  const std::string path = convert::OutputPathFor(order.folder, order.name, *setup.format).value();
  std::ofstream(path, std::ios::binary) << "picture of " << order.location;
  return path;
}

// Writes a picture split into three parts, as the pool expects them in the page's work folder;
// for a page that asks for a lost part, the second is reported but never written.
void WriteParts(const cli::PageOrder& order, const cli::WorkerSetup& setup,
                convert::EntryRecord& record) {
  const std::string path = convert::OutputPathFor(order.folder, order.name, *setup.format).value();
  for (int number = 1; number <= 3; ++number) {
    const std::string part = convert::PartPath(path, number);
    if (number != 2 || !Says(order, "lostpart")) std::ofstream(part) << "part " << number;
    record.parts.push_back({part, (number - 1) * 10, 10, 6});
  }
  record.output = record.parts.front().output;
}

// Misbehaves as asked; returns only for the pages that get an answer.
void Misbehave(const cli::PageOrder& order) {
  if (Says(order, "silent")) {
    Progress(order, std::chrono::milliseconds(0));
    for (;;) pause();
  }
  if (Says(order, "dies")) _exit(3);
  if (Says(order, "garbage")) Send("this is not a line of the protocol");
  if (Says(order, "flood")) {
    const std::string chunk(1 << 16, 'x');
    for (;;) std::cout << chunk;
  }
  if (Says(order, "slow")) {
    // Announces a wait longer than the pool's timeout and takes nearly all of it.
    Progress(order, std::chrono::milliseconds(1500));
    std::this_thread::sleep_for(std::chrono::milliseconds(1300));
  }
}

}  // namespace

int main() {
  signal(SIGPIPE, SIG_IGN);
  std::string line;
  if (!std::getline(std::cin, line)) return 2;
  const std::optional<cli::WorkerSetup> setup = cli::DecodeSetup(line);
  if (!setup) return 2;
  while (std::getline(std::cin, line)) {
    const std::optional<cli::PageOrder> order = cli::DecodeOrder(line);
    if (!order) return 2;
    Misbehave(*order);
    cli::PageAnswer answer{order->sequence, order->entry};
    if (Says(*order, "fails")) {
      answer.record.outcome = EntryOutcome::kFailed;
      answer.record.reason = convert::EntryReason::kNotLoaded;
    } else {
      answer.record.outcome =
          Says(*order, "loading") ? EntryOutcome::kIncomplete : EntryOutcome::kWritten;
      answer.record.output = WritePicture(*order, *setup);
      if (Says(*order, "part")) WriteParts(*order, *setup, answer.record);
    }
    Send(cli::EncodeAnswer(answer));
  }
  return 0;
}
