// GateClap's ports and latency: one stereo main input and output, 32 or
// 64-bit; one note input for the restart and pattern switching modes, CLAP
// notes or MIDI; no latency. Fixed answers. [host main thread]
#include <cstring>

#include "clap/plugin_entries.h"
#include "framework/text_copy.h"

namespace {

uint32_t CLAP_ABI AudioPortCount(const clap_plugin_t*, bool) { return 1; }

bool CLAP_ABI AudioPortInfo(const clap_plugin_t*, uint32_t index, bool isInput,
                            clap_audio_port_info_t* info) {
  if (!info || index != 0) return false;
  std::memset(info, 0, sizeof *info);
  info->id = 0;
  CopyTextBounded(info->name, isInput ? "Input" : "Output", sizeof info->name);
  info->flags = CLAP_AUDIO_PORT_IS_MAIN | CLAP_AUDIO_PORT_SUPPORTS_64BITS;
  info->channel_count = 2;
  info->port_type = CLAP_PORT_STEREO;
  info->in_place_pair = CLAP_INVALID_ID;
  return true;
}

uint32_t CLAP_ABI NotePortCount(const clap_plugin_t*, bool isInput) { return isInput ? 1 : 0; }

bool CLAP_ABI NotePortInfo(const clap_plugin_t*, uint32_t index, bool isInput,
                           clap_note_port_info_t* info) {
  if (!info || index != 0 || !isInput) return false;
  std::memset(info, 0, sizeof *info);
  info->id = 0;
  info->supported_dialects = CLAP_NOTE_DIALECT_CLAP | CLAP_NOTE_DIALECT_MIDI;
  info->preferred_dialect = CLAP_NOTE_DIALECT_MIDI;
  CopyTextBounded(info->name, "MIDI In", sizeof info->name);
  return true;
}

uint32_t CLAP_ABI Latency(const clap_plugin_t*) { return 0; }

}  // namespace

const clap_plugin_audio_ports_t kGateAudioPortsExtension = {AudioPortCount, AudioPortInfo};
const clap_plugin_note_ports_t kGateNotePortsExtension = {NotePortCount, NotePortInfo};
const clap_plugin_latency_t kGateLatencyExtension = {Latency};
