#!/usr/bin/env bash
# Renders INPUT through the Quorvel.vst3 bundle (build/release) in Ardour 7:
# the VST 2 recipe of ardour_render.sh with the VST 3 scanner and plug-in type.
# Usage: ardour_vst3_render.sh CASE INPUT OUTPUT WORKDIR
ARDOUR_FORMAT=vst3 exec bash "$(dirname "$0")/ardour_render.sh" "$@"
