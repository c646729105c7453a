// The status-line texts the gate shows when a setting or the pattern changes.
// Numbered messages are formatted into the caller's 50-byte buffer.
#pragma once

#include <cstdint>

constexpr int kInfoMessageSize = 50;
// How long a message stays up after the last audio block before it was set.
constexpr uint32_t kInfoMessageLifetimeMs = 9000;

void FormatGateMessage(char* buffer, int gatePercent);
const char* TieLockMessage(bool locked);
// Entry 0-31 is a step time, 32-63 a step volume; value 0-4 quarters.
void FormatStepEditMessage(char* buffer, int editedIndex, int editedValue);
const char* NudgeMessage(bool volumes, int direction);
