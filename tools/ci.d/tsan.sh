#!/usr/bin/env bash
# The framework, engine, editor-core, VST 3 and CLAP tests again under the thread
# sanitizer: the instance lock, the audio thread against the host's other
# threads, and the status text written from the audio thread while drawn;
# among them the concurrency and lifecycle stress runs. The fuzz replays are
# single-threaded and run in the address-sanitizer build only.
set -euo pipefail
root="$(cd "$(dirname "$0")/../.." && pwd)"
bash "$root/tools/build.sh" tsan framework_tests engine_tests gui_tests vst3_tests clap_tests editor_x11_tests
cd "$root/build/tsan"
ctest -j "$(nproc)" --output-on-failure -E '^(module_|graphics_|fuzz_replay_)'
