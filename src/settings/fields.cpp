// The fields of the settings record that live in window controls, and the filter lists.
#include "settings/fields.h"

#include "settings/settings_keys.h"

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

std::string KeyName(Field field) { return std::string(DefinitionOf(field).name); }

bool IsSwitch(Field field) { return IsSwitchRule(DefinitionOf(field).rule); }

}  // namespace settings
