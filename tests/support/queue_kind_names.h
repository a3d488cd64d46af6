// The report names of a crawl queue's kinds, to compare a queue with a table of texts.
#pragma once

#include <string>
#include <vector>

#include "download/crawl_state.h"

namespace testing_support {

inline std::vector<std::string> KindNames(const std::vector<download::QueueKind>& kinds) {
  std::vector<std::string> names;
  for (const download::QueueKind kind : kinds) names.emplace_back(download::QueueKindName(kind));
  return names;
}

}  // namespace testing_support
