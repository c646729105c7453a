// What GateClap tells the host in output events: the editor's gestures
// (begin, value, end) in the order made, and values the instance changed
// by itself (the packed words after a step edit, a program a note-on chose
// and the values it brought). [audio thread or host main thread, lock held]
#include "clap/gate_clap.h"
#include "framework/recursive_lock.h"
#include "instance/effect_instance.h"

bool GateClap::PushValue(const clap_output_events_t* out, uint32_t time, clap_id id, double plain) {
  if (!out || !out->try_push) return true;  // no one to tell: told
  clap_event_param_value_t event = {};
  event.header = {sizeof event, time, CLAP_CORE_EVENT_SPACE_ID, CLAP_EVENT_PARAM_VALUE, 0};
  event.param_id = id;
  event.note_id = -1;
  event.port_index = -1;
  event.channel = -1;
  event.key = -1;
  event.value = plain;
  return out->try_push(out, &event.header);
}

void GateClap::EmitEdits(const clap_output_events_t* out, uint32_t time) {
  while (!edits_.Empty()) {
    const EditEvents::Edit edit = edits_.Front();
    const clap_id id = static_cast<clap_id>(edit.index);
    bool sent = true;
    if (edit.kind == EditEvents::kValue) {
      sent = PushValue(out, time, id, instance_->ParamPlain(edit.index, edit.normalized));
      // The scan must not tell the host again what the gesture's last value
      // already did.
      if (sent) reported_.Remember(edit.index, instance_->ParamNormalized(edit.index));
    } else if (out && out->try_push) {
      clap_event_param_gesture_t gesture = {};
      const uint16_t type = edit.kind == EditEvents::kBegin ? CLAP_EVENT_PARAM_GESTURE_BEGIN
                                                            : CLAP_EVENT_PARAM_GESTURE_END;
      gesture.header = {sizeof gesture, time, CLAP_CORE_EVENT_SPACE_ID, type, 0};
      gesture.param_id = id;
      sent = out->try_push(out, &gesture.header);
    }
    // A full host list keeps the rest for the next call.
    if (!sent) return;
    edits_.Pop();
  }
}

void GateClap::EmitChanges(const clap_output_events_t* out, uint32_t time) {
  if (programToReport_ && PushValue(out, time, kProgramParamId, instance_->CurrentProgram())) {
    programToReport_ = false;
  }
  reported_.Scan(*instance_, [&](int32_t index, double now) {
    const clap_id id = static_cast<clap_id>(index);
    return PushValue(out, time, id, instance_->ParamPlain(index, now));
  });
}

void GateClap::EmitOutputs(const clap_output_events_t* out, uint32_t time) {
  EmitEdits(out, time);
  EmitChanges(out, time);
}
