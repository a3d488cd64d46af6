// What became of one page or one crawl queue entry.
#include "convert/run_record.h"

namespace convert {

const char* CaptureMethodName(CaptureMethod method) {
  switch (method) {
    case CaptureMethod::kTiles: return "tiles";
    case CaptureMethod::kSnapshot: return "snapshot";
  }
  return "";
}

std::optional<CaptureMethod> CaptureMethodNamed(std::string_view name) {
  for (const CaptureMethod method : {CaptureMethod::kTiles, CaptureMethod::kSnapshot}) {
    if (name == CaptureMethodName(method)) return method;
  }
  return std::nullopt;
}

const char* OutcomeName(EntryOutcome outcome) {
  switch (outcome) {
    case EntryOutcome::kWritten: return "written";
    case EntryOutcome::kFailed: return "failed";
    case EntryOutcome::kSkipped: return "skipped";
    case EntryOutcome::kIncomplete: return "incomplete";
  }
  return "failed";
}

const char* ReasonToken(EntryReason reason) {
  switch (reason) {
    case EntryReason::kNone: return "";
    case EntryReason::kStillLoading: return "still loading";
    case EntryReason::kNotLoaded: return "not loaded";
    case EntryReason::kNoUsableArea: return "no usable area";
    case EntryReason::kTooLarge: return "too large";
    case EntryReason::kNoSnapshot: return "snapshot";
    case EntryReason::kWrite: return "write";
    case EntryReason::kPathTooLong: return "path too long";
    case EntryReason::kStopped: return "stopped";
    case EntryReason::kRendererEnded: return "renderer ended";
    case EntryReason::kTimeout: return "timeout";
    case EntryReason::kNotRegularFile: return "not a regular file";
    case EntryReason::kExists: return "exists";
    case EntryReason::kHttp: return "http";
    case EntryReason::kEmpty: return "empty";
    case EntryReason::kTransferTimeout: return "transfer timeout";
    case EntryReason::kNameNotFound: return "name not found";
    case EntryReason::kRefused: return "refused";
    case EntryReason::kTls: return "tls";
    case EntryReason::kBadAddress: return "bad address";
    case EntryReason::kTransfer: return "transfer";
    case EntryReason::kNotAPage: return "not a page";
    case EntryReason::kOutsideOutputFolder: return "outside output folder";
    case EntryReason::kNoElement: return "no element";
    case EntryReason::kBlocked: return "blocked";
    case EntryReason::kRobots: return "robots";
  }
  return "";
}

std::optional<EntryReason> ReasonFromToken(std::string_view token) {
  for (int i = 0; i <= static_cast<int>(kLastReason); ++i) {
    const auto reason = static_cast<EntryReason>(i);
    if (token == ReasonToken(reason)) return reason;
  }
  return std::nullopt;
}

}  // namespace convert
