// The URIs the plug-in reads from its host, mapped once at instantiation
// through the host's URID map. Without a map every id stays 0 and nothing
// the host sends as an event or a state property can be recognised.
#pragma once

#include <lv2/core/lv2.h>
#include <lv2/urid/urid.h>

struct Lv2Urids {
  bool mapped = false;
  LV2_URID atomSequence = 0;
  LV2_URID atomChunk = 0;
  LV2_URID atomObject = 0;
  LV2_URID atomBlank = 0;
  LV2_URID atomInt = 0;
  LV2_URID atomLong = 0;
  LV2_URID atomFloat = 0;
  LV2_URID atomDouble = 0;
  LV2_URID midiEvent = 0;
  LV2_URID timePosition = 0;
  LV2_URID timeFrame = 0;
  LV2_URID timeSpeed = 0;
  LV2_URID timeBeatsPerMinute = 0;
  LV2_URID timeBeatsPerBar = 0;
  LV2_URID timeBeatUnit = 0;
  LV2_URID maxBlockLength = 0;
  LV2_URID stateKey = 0;
};

// Every id through `map`; all 0 (and `mapped` false) when `map` is null.
// [host main thread]
Lv2Urids MapLv2Urids(const LV2_URID_Map* map);
