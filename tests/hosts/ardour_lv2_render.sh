#!/usr/bin/env bash
# Renders INPUT through the Quorvel.lv2 bundle (build/release) in Ardour 7:
# the VST 2 recipe of ardour_render.sh with Ardour's LV2 path (LV2_PATH
# holding a copy of the bundle) and plug-in type.
# Usage: ardour_lv2_render.sh CASE INPUT OUTPUT WORKDIR
ARDOUR_FORMAT=lv2 exec bash "$(dirname "$0")/ardour_render.sh" "$@"
