// The address the browser engine is given for a page: a web address as the crawl asks for it, or
// a local path as a file URI.
#pragma once

#include <string>

namespace net {

// The location of a page as the engine's address: a web address escaped exactly as the crawl's
// own transfer requests it; a local code-page-932 path as a file URI of its UTF-8 native name,
// percent-encoded, made absolute against the current folder. Empty when the path has no native
// form.
std::string LocationToUri(const std::string& location);

}  // namespace net
