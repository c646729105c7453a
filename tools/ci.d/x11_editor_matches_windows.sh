#!/usr/bin/env bash
# The X11 editor looks as the Windows one does: the captures the native and
# the Windows editor-in-host tests leave behind (the same clicks, drag and
# wheel at 100 %; a fresh window at 200 %) must be equal pixel for pixel
# outside the boxes where text is drawn. Runs after both test suites.
set -euo pipefail
root="$(cd "$(dirname "$0")/../.." && pwd)"
compare="$root/tests/editor_x11/compare_captures.py"
for pair in "100 editor_host_capture.png" "200 editor_host_capture_200.png"; do
  read -r percent file <<<"$pair"
  for build in native windows; do
    [ -f "$root/build/$build/$file" ] ||
      { echo "FAIL: no $build capture $file (run both test suites first)" >&2; exit 1; }
  done
  /usr/bin/python3 "$compare" "$percent" "$root/build/native/$file" "$root/build/windows/$file"
done
echo "X11 editor matches the Windows editor outside the text"
