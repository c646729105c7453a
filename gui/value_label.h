// The text a knob or slider shows under itself: the bound parameter's value in
// its own units, optionally followed directly by its unit ("80%").
#pragma once

class IPlugBase;

constexpr int kValueLabelSize = 80;

// False (and an empty text) when there is no parameter or nothing to show.
bool FormatValueLabel(IPlugBase* plug, int paramIndex, bool withUnit, char* text);
