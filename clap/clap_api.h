// The CLAP interface declarations: the C headers that tools/setup.sh
// extracts into third_party/clap. Everything in clap/ includes them through
// this one header.
#pragma once

#include "entry.h"
#include "events.h"
#include "ext/audio-ports.h"
#include "ext/gui.h"
#include "ext/latency.h"
#include "ext/note-ports.h"
#include "ext/params.h"
#include "ext/state.h"
#include "ext/thread-check.h"
#include "ext/timer-support.h"
#include "host.h"
#include "plugin-factory.h"
#include "plugin.h"
#include "process.h"
#include "stream.h"
