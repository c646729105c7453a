// The function tables of GateVst3's faces, one per interface it answers.
#pragma once

#include "vst3/vst3_api.h"

extern const v3_component_cpp kComponentVtable;
extern const v3_audio_processor_cpp kProcessorVtable;
extern const v3_process_context_requirements_cpp kRequirementsVtable;
extern const v3_edit_controller_cpp kControllerVtable;
extern const v3_unit_information_cpp kUnitsVtable;
