// What became of one page or one crawl queue entry, as a run hands it to whoever keeps a report.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "convert/engine_request.h"

namespace convert {

enum class EntryOutcome {
  kWritten,     // the picture (or the downloaded file) was written
  kFailed,      // it could not be made; `reason` says why
  kSkipped,     // passed over on purpose (not a page, stopped, refused by a rule)
  kIncomplete,  // written, but the page was still loading when its wait ran out
};

// Texts as the report stores them ("written", "failed", "skipped", "incomplete").
const char* OutcomeName(EntryOutcome outcome);

// Why a page or a crawl entry failed or was skipped: one closed list, each with the token the
// report shows (ReasonToken). kNone: nothing to say (the entry was written).
enum class EntryReason {
  kNone,
  // pages
  kStillLoading,    // "still loading": written while the page was still loading
  kNotLoaded,       // "not loaded": no document to measure within the wait
  kNoUsableArea,    // "no usable area": no view or page pixels, or Percent 0 or less
  kTooLarge,        // "too large": the picture exceeds its format, or a transfer its cap
  kNoSnapshot,      // "snapshot": the view gave no pixels
  kWrite,           // "write": a picture or a downloaded file could not be written
  kPathTooLong,     // "path too long": the output path is longer than allowed
  kStopped,         // "stopped": the run was stopped or the window closed
  kRendererEnded,   // "renderer ended": the render worker ended during the page
  kTimeout,         // "timeout": the render worker showed no progress past the page's waits
  kNotRegularFile,  // "not a regular file": the walk passed over a special file
  kExists,          // "exists": its output is there already and not empty, and is kept
  // crawl entries
  kHttp,                 // "http": an answer other than 200 (its status in httpStatus)
  kEmpty,                // "empty": a page answered 200 without text
  kTransferTimeout,      // "transfer timeout": connect, stall or total time ran out
  kNameNotFound,         // "name not found": the server's name does not resolve
  kRefused,              // "refused": the server could not be connected to
  kTls,                  // "tls": the secure connection or its certificate failed
  kBadAddress,           // "bad address": the address names no http or https server
  kTransfer,             // "transfer": the transfer failed otherwise (see detail)
  kNotAPage,             // "not a page": fetched, but not rendered
  kOutsideOutputFolder,  // "outside output folder": its file would leave the output folder
  kRobots,               // "robots": the server's robots.txt keeps the address out
  // pages again
  kNoElement,  // "no element": no element of the page matches the selector asked for
  kBlocked,    // "blocked": the page itself lies outside the bounds of --confine
};
// The last of the list: a new reason goes before it, or becomes it here.
inline constexpr EntryReason kLastReason = EntryReason::kBlocked;

// The report's token of `reason` ("" for kNone).
const char* ReasonToken(EntryReason reason);
// The reason whose token is `token`; nullopt when no reason has it.
std::optional<EntryReason> ReasonFromToken(std::string_view token);

// How a page's picture was taken: tile by tile while scrolling (the window's way), or the whole
// document in one snapshot.
enum class CaptureMethod {
  kTiles,
  kSnapshot,
};
// "tiles" or "snapshot"; the method of that name, or nullopt.
const char* CaptureMethodName(CaptureMethod method);
std::optional<CaptureMethod> CaptureMethodNamed(std::string_view name);

// One file of a page picture split into parts.
struct PicturePart {
  std::string output;  // the part's file
  int top = 0;         // its first row in the whole picture
  int height = 0;      // its rows
  long long bytes = 0;
  bool operator==(const PicturePart&) const = default;
};

// One page of a folder run, or one queue entry of a crawl. Paths and addresses are the system's
// code-page-932 texts.
struct EntryRecord {
  std::string source;                 // the page's path or the entry's address
  std::optional<std::string> output;  // the file written, when one was
  EntryOutcome outcome = EntryOutcome::kWritten;
  EntryReason reason = EntryReason::kNone;  // why it failed or was skipped
  std::string detail;  // the cause in the transfer library's words, when it gave any
  int width = 0;       // the picture's size in pixels
  int height = 0;
  long long bytes = 0;         // bytes written
  long long milliseconds = 0;  // time spent on the entry
  std::string kind;            // crawl entries: "url", "src" or "cgi"
  int httpStatus = 0;          // crawl entries: the answer's status, 0 without one
  int tries = 0;               // crawl entries: requests sent for it, retries included
  EngineRequests answered;     // what the page asked of the engine that the program answered
  std::optional<CaptureMethod> capture;  // pages: how the picture was taken, when it was
  bool webglRefused = false;       // pages: the page asked for WebGL and the engine gave it none
  std::vector<PicturePart> parts;  // pages split into parts: every file, top first
  std::string scriptError;         // pages: what the user's script threw, in the engine's words
};

}  // namespace convert
