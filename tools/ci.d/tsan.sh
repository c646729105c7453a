#!/usr/bin/env bash
# The framework, engine, editor-core, instance, test-host, VST 3, CLAP and LV2
# tests again under the thread sanitizer (every test program: one left out
# would fail as not built): the instance lock, the audio thread against the host's other
# threads, and the status text written from the audio thread while drawn;
# among them the concurrency and lifecycle stress runs. The fuzz replays are
# single-threaded and run in the address-sanitizer build only.
set -euo pipefail
root="$(cd "$(dirname "$0")/../.." && pwd)"
bash "$root/tools/build.sh" tsan framework_tests engine_tests gui_tests instance_tests host_tests vst3_tests clap_tests lv2_tests \
  editor_x11_tests
cd "$root/build/tsan"
ctest -j "$(nproc)" --output-on-failure -E '^(module_|graphics_|fuzz_replay_)'
