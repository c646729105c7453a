// The CLAP interface declarations: the C headers that tools/setup.sh
// extracts into third_party/clap. Everything in clap/ includes them through
// this one header. They are named from third_party/ ("clap/entry.h"), not
// from their own folder, because their host.h and events.h would shadow
// the VST 3 headers of the same names in a target that uses both.
#pragma once

#include "clap/entry.h"
#include "clap/events.h"
#include "clap/ext/audio-ports.h"
#include "clap/ext/gui.h"
#include "clap/ext/latency.h"
#include "clap/ext/note-ports.h"
#include "clap/ext/params.h"
#include "clap/ext/state.h"
#include "clap/ext/thread-check.h"
#include "clap/ext/timer-support.h"
#include "clap/host.h"
#include "clap/plugin-factory.h"
#include "clap/plugin.h"
#include "clap/process.h"
#include "clap/stream.h"
