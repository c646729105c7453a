#include "lv2/lv2_urids.h"

#include <lv2/atom/atom.h>
#include <lv2/buf-size/buf-size.h>
#include <lv2/midi/midi.h>
#include <lv2/time/time.h>

#include "lv2/lv2_ports.h"

Lv2Urids MapLv2Urids(const LV2_URID_Map* map) {
  Lv2Urids ids;
  if (!map || !map->map) return ids;
  auto id = [map](const char* uri) { return map->map(map->handle, uri); };
  ids.atomSequence = id(LV2_ATOM__Sequence);
  ids.atomChunk = id(LV2_ATOM__Chunk);
  ids.atomObject = id(LV2_ATOM__Object);
  ids.atomBlank = id(LV2_ATOM__Blank);
  ids.atomInt = id(LV2_ATOM__Int);
  ids.atomLong = id(LV2_ATOM__Long);
  ids.atomFloat = id(LV2_ATOM__Float);
  ids.atomDouble = id(LV2_ATOM__Double);
  ids.midiEvent = id(LV2_MIDI__MidiEvent);
  ids.timePosition = id(LV2_TIME__Position);
  ids.timeFrame = id(LV2_TIME__frame);
  ids.timeSpeed = id(LV2_TIME__speed);
  ids.timeBeatsPerMinute = id(LV2_TIME__beatsPerMinute);
  ids.timeBeatsPerBar = id(LV2_TIME__beatsPerBar);
  ids.timeBeatUnit = id(LV2_TIME__beatUnit);
  ids.maxBlockLength = id(LV2_BUF_SIZE__maxBlockLength);
  ids.stateKey = id(kLv2StateKeyUri);
  ids.mapped = true;
  return ids;
}
