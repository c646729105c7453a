#include "engine/info_messages.h"

#include <cstdio>

void FormatGateMessage(char* buffer, int gatePercent) {
  std::snprintf(buffer, kInfoMessageSize, "Gate steps: %d%%", gatePercent);
}

const char* TieLockMessage(bool locked) {
  return locked ? "Tie steps locked" : "Tie steps unlocked";
}

void FormatStepEditMessage(char* buffer, int editedIndex, int editedValue) {
  if (editedIndex < 32) {
    std::snprintf(buffer, kInfoMessageSize, "Step %d time: %d%%", editedIndex + 1,
                  editedValue * 25);
  } else {
    std::snprintf(buffer, kInfoMessageSize, "Step %d volume: %d%%", editedIndex - 31,
                  editedValue * 25);
  }
}

const char* NudgeMessage(bool volumes, int direction) {
  if (volumes) return direction > 0 ? "Steps volume: +25%" : "Steps volume: -25%";
  return direction > 0 ? "Steps time: +25%" : "Steps time: -25%";
}
