// The fields of the settings record that live in window controls, and the filter lists.
#include "settings/fields.h"

#include <array>

namespace settings {
namespace {

Field RowField(Field first, int row) {
  return static_cast<Field>(static_cast<int>(first) + (row - 1));
}

}  // namespace

Field CgiField(int row) { return RowField(Field::kCgi1, row); }
Field FromField(int row) { return RowField(Field::kFrom1, row); }
Field ToField(int row) { return RowField(Field::kTo1, row); }
Field StepField(int row) { return RowField(Field::kStep1, row); }

std::string KeyName(Field field) {
  static constexpr std::array<std::string_view, 12> kSingle = {
      "ReadPath", "WritePath", "Size",       "Wait",   "Percent", "Sub",
      "Count",    "LinkCount", "ANOTHERURL", "Server", "SAME",    "FILTER"};
  const int index = static_cast<int>(field);
  if (index < static_cast<int>(kSingle.size())) return std::string(kSingle[index]);
  static constexpr std::array<std::string_view, 4> kRow = {"Cgi", "From", "To", "Step"};
  const int offset = index - static_cast<int>(Field::kCgi1);
  return std::string(kRow[offset / kPlaceholderRows]) +
         std::to_string(offset % kPlaceholderRows + 1);
}

bool IsSwitch(Field field) {
  switch (field) {
    case Field::kSub:
    case Field::kAnotherUrl:
    case Field::kServer:
    case Field::kSame:
    case Field::kFilter: return true;
    default: return field >= Field::kCgi1 && field <= Field::kCgi6;
  }
}

}  // namespace settings
