// The VST 3 interface declarations: the pure-C headers that tools/setup.sh
// extracts into third_party/vst3_c_api. Everything in vst3/ includes them
// through this one header.
#pragma once

#include "audio_processor.h"
#include "base.h"
#include "bstream.h"
#include "component.h"
#include "edit_controller.h"
#include "events.h"
#include "factory.h"
#include "host.h"
#include "message.h"
#include "unit.h"
#include "view.h"
