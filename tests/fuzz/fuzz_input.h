// Splits one fuzzer input into the texts a harness needs, so that every byte of the input can
// reach every argument.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace fuzzing {

class FuzzInput {
 public:
  FuzzInput(const std::uint8_t* data, std::size_t size)
      : m_rest(reinterpret_cast<const char*>(data), size) {}

  // One byte as a number; 0 when the input is used up.
  unsigned Byte() {
    if (m_rest.empty()) return 0;
    const auto byte = static_cast<unsigned char>(m_rest.front());
    m_rest.remove_prefix(1);
    return byte;
  }

  // The text up to the next byte 0x00 (which is consumed), or the rest of the input.
  std::string Part() {
    const std::size_t end = m_rest.find('\0');
    std::string part(m_rest.substr(0, end));
    m_rest.remove_prefix(end == std::string_view::npos ? m_rest.size() : end + 1);
    return part;
  }

  bool Empty() const { return m_rest.empty(); }

  std::string Rest() {
    std::string rest(m_rest);
    m_rest = {};
    return rest;
  }

 private:
  std::string_view m_rest;
};

}  // namespace fuzzing
