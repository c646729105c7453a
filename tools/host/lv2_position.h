// Where the transport stands, in the fields of an LV2 time position: the
// sample frame, the speed, the tempo and the bar and beat in the time
// signature's own beats, all from the one sample position the other formats
// report, so every format hears the same place. [host main thread]
#pragma once

#include <cstdint>

struct HostServices;

struct Lv2Position {
  int64_t frame;
  float speed;  // 1 while the transport runs, else 0
  float beatsPerMinute;
  int64_t bar;    // from 0
  float barBeat;  // beats into the bar, in beat units
  int32_t beatUnit;
  float beatsPerBar;
};

Lv2Position PositionOf(const HostServices& host);
