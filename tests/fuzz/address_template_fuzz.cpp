// Address templates on any template and any placeholder values and widths: the expansion and the
// padded numbers, through the public header alone.
#include <cstdio>
#include <cstdlib>
#include <string>

#include "download/address_template.h"
#include "fuzz_input.h"

namespace {

void Fail(const char* what, const std::string& text) {
  std::fprintf(stderr, "%s: [%s]\n", what, text.c_str());
  std::abort();
}

int Signed(fuzzing::FuzzInput& input) {
  const unsigned high = input.Byte(), low = input.Byte();
  return static_cast<int>(static_cast<signed char>(high)) * 256 + static_cast<int>(low);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  fuzzing::FuzzInput input(data, size);
  download::PlaceholderValues values{}, widths{};
  for (std::size_t i = 0; i < values.size(); ++i) {
    values[i] = Signed(input);
    widths[i] = static_cast<int>(input.Byte() % 24);
  }
  const std::string addressTemplate = input.Rest();

  for (std::size_t i = 0; i < values.size(); ++i) {
    const std::string padded = download::FormatPadded(widths[i], values[i]);
    // Zero-padded to the width, never cut, and the number reads back.
    const std::string plain = std::to_string(values[i]);
    if (padded.size() < plain.size() || (widths[i] > 0 && padded.size() < std::size_t(widths[i])) ||
        std::stoi(padded) != values[i]) {
      Fail("padded number", padded);
    }
  }
  const std::string expanded = download::ExpandTemplate(values, addressTemplate, widths);
  // Without any "@" there is nothing to replace.
  if (addressTemplate.find('@') == std::string::npos && expanded != addressTemplate) {
    Fail("a template without placeholders changed", addressTemplate);
  }
  return 0;
}
