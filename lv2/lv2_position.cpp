#include "lv2/lv2_position.h"

#include <cmath>
#include <cstdint>
#include <cstring>

namespace {

// A finite number atom of any of the four numeric types; false for other
// types, a body too short for its type, or an infinity or NaN.
bool ReadNumber(const LV2_Atom* value, const Lv2Urids& ids, double* number) {
  const void* body = value + 1;
  if (value->type == ids.atomInt && value->size >= sizeof(int32_t)) {
    int32_t v;
    std::memcpy(&v, body, sizeof v);
    *number = v;
  } else if (value->type == ids.atomLong && value->size >= sizeof(int64_t)) {
    int64_t v;
    std::memcpy(&v, body, sizeof v);
    *number = static_cast<double>(v);
  } else if (value->type == ids.atomFloat && value->size >= sizeof(float)) {
    float v;
    std::memcpy(&v, body, sizeof v);
    *number = v;
  } else if (value->type == ids.atomDouble && value->size >= sizeof(double)) {
    double v;
    std::memcpy(&v, body, sizeof v);
    *number = v;
  } else {
    return false;
  }
  return std::isfinite(*number);
}

// Stores a property's number into the field its key names.
void TakeProperty(uint32_t key, double number, const Lv2Urids& ids, Lv2PositionFields* fields) {
  if (key == ids.timeFrame) {
    fields->hasFrame = true;
    fields->frame = number;
  } else if (key == ids.timeSpeed) {
    fields->hasSpeed = true;
    fields->speed = number;
  } else if (key == ids.timeBeatsPerMinute) {
    fields->hasTempo = true;
    fields->tempo = number;
  } else if (key == ids.timeBeatsPerBar) {
    fields->hasBeatsPerBar = true;
    fields->beatsPerBar = number;
  } else if (key == ids.timeBeatUnit) {
    fields->hasBeatUnit = true;
    fields->beatUnit = number;
  }
}

}  // namespace

bool ReadLv2Position(const LV2_Atom* atom, const Lv2Urids& ids, Lv2PositionFields* fields) {
  *fields = Lv2PositionFields();
  if (!ids.mapped || !atom) return false;
  if (atom->type != ids.atomObject && atom->type != ids.atomBlank) return false;
  if (atom->size < sizeof(LV2_Atom_Object_Body)) return false;
  const auto* object = reinterpret_cast<const LV2_Atom_Object*>(atom);
  if (object->body.otype != ids.timePosition) return false;
  // Properties follow the body, each padded to 8 bytes, within atom->size.
  const uint8_t* base = reinterpret_cast<const uint8_t*>(&object->body);
  uint32_t at = sizeof(LV2_Atom_Object_Body);
  while (at + sizeof(LV2_Atom_Property_Body) <= atom->size) {
    const auto* property = reinterpret_cast<const LV2_Atom_Property_Body*>(base + at);
    const uint32_t valueBytes = property->value.size;
    // A property running past the object makes the whole object suspect.
    if (valueBytes > atom->size - at - sizeof(LV2_Atom_Property_Body)) return false;
    double number = 0.0;
    if (ReadNumber(&property->value, ids, &number))
      TakeProperty(property->key, number, ids, fields);
    at += Lv2PaddedSize(static_cast<uint32_t>(sizeof(LV2_Atom_Property_Body)) + valueBytes);
  }
  return true;
}
