#include "gui/value_label.h"

#include <cstring>

#include "framework/plug_base.h"

bool FormatValueLabel(IPlugBase* plug, int paramIndex, bool withUnit, char* text) {
  text[0] = '\0';
  IPlugParam* param = plug ? plug->GetParam(paramIndex) : nullptr;
  if (!param) return false;
  param->FormatValue(param->Value(), false, text, kValueLabelSize);
  if (text[0] == '\0') return false;
  if (withUnit) {
    const size_t used = std::strlen(text);
    std::strncat(text, param->Label(), kValueLabelSize - 1 - used);
  }
  return true;
}
