// The plug-in's function table: every entry a host calls on a
// clap_plugin_t, each catching what the effect throws. [host threads as
// tagged on GateClap]
#pragma once

#include "clap/clap_api.h"

extern const clap_plugin_t kGatePluginEntries;

// The extension tables, one per file that answers them.
extern const clap_plugin_params_t kGateParamsExtension;
extern const clap_plugin_state_t kGateStateExtension;
extern const clap_plugin_audio_ports_t kGateAudioPortsExtension;
extern const clap_plugin_note_ports_t kGateNotePortsExtension;
extern const clap_plugin_latency_t kGateLatencyExtension;
extern const clap_plugin_gui_t kGateGuiExtension;
extern const clap_plugin_timer_support_t kGateTimerExtension;
