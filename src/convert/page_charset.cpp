// The character set a page is shown in when its bytes declare none.
#include "convert/page_charset.h"

#include <algorithm>
#include <string>

#include "base/encoding.h"
#include "base/text.h"

namespace convert {

const char* UndeclaredCharset(std::string_view bytes) {
  return base::IsValidUtf8(bytes) ? "UTF-8" : "Shift_JIS";
}

bool DeclaresCharset(std::string_view bytes) {
  for (std::string_view mark : {"\xEF\xBB\xBF", "\xFF\xFE", "\xFE\xFF"}) {
    if (bytes.substr(0, mark.size()) == mark) return true;
  }
  // Tags and attribute names are ASCII: the head is compared in lower case.
  const std::string head = base::ToLower(bytes.substr(0, 8192));
  const std::size_t body = std::min(head.size(), head.find("<body"));
  for (std::size_t tag = head.find("<meta"); tag < body; tag = head.find("<meta", tag + 5)) {
    const std::size_t end = std::min(body, head.find('>', tag));
    if (head.substr(tag, end - tag).find("charset") != std::string::npos) return true;
  }
  return false;
}

}  // namespace convert
