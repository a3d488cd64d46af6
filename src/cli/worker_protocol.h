// The lines that a worker pool and its render workers exchange: one JSON object a line, texts
// of the system carried as hexadecimal bytes so that no code-page-932 byte is lost.
#pragma once

#include <chrono>
#include <optional>
#include <string>

#include "convert/run_record.h"
#include "convert/run_state.h"

namespace cli {

// What every page of a run is rendered with.
struct WorkerSetup {
  std::string size, wait, percent;  // the option texts as typed
  const convert::PictureFormat* format = &convert::DefaultPictureFormat();
  bool untilLoaded = false;
  convert::CaptureMethod capture = convert::CaptureMethod::kTiles;
  bool compositing = true;  // the engine composites its views (off in the fast mode)
  int pngLevel = -1;        // PNG compression level, -1: the format's default
  // --- the pictures' quality, split and transparency (convert::PictureOptions) ---
  int quality = 85;
  int splitHeight = 0;
  int splitOverlap = 0;
  bool transparent = false;
  // --- end of the pictures' options ---
  int slot = 0;  // the worker's place on the shared display
  // What is asked of every page beyond the page itself, and the folder a confined page may read.
  convert::PageOptions page = {};
  std::string sourceFolder = {};
  // The crawl's identity for web pages (system texts; empty: the engine's own).
  std::string userAgent = {};
  std::string proxy = {};
  std::string cookieFile = {};
};

// One page to render: `folder` is the worker's own folder for the picture.
struct PageOrder {
  long long sequence = 0;
  int pageCount = 0;  // the page's number in the run, for the status text
  std::string location, name, folder;
  convert::EntryRecord entry;  // what the caller knew of the page already
};

// What became of one page.
struct PageAnswer {
  long long sequence = 0;
  convert::EntryRecord record;
};

// A worker's word that its page moved on (it started, was measured, a tile was copied): the step
// it begins lasts at most `wait` by the page's own fixed waits, and the pool's page timeout
// counts from there.
struct PageProgress {
  long long sequence = 0;
  std::chrono::milliseconds wait{0};
};

std::string EncodeSetup(const WorkerSetup& setup);
std::optional<WorkerSetup> DecodeSetup(const std::string& line);
std::string EncodeOrder(const PageOrder& order);
std::optional<PageOrder> DecodeOrder(const std::string& line);
std::string EncodeAnswer(const PageAnswer& answer);
std::optional<PageAnswer> DecodeAnswer(const std::string& line);
std::string EncodeProgress(const PageProgress& progress);
std::optional<PageProgress> DecodeProgress(const std::string& line);

}  // namespace cli
