#!/usr/bin/env bash
# The editor's default size follows the screen's density: in a copy of the
# Wine prefix whose user asks for 192 (or 144) dots per inch, a host reads a
# 200 % (or 150 %) rectangle from effEditGetRect before opening, and the
# opened window shows the background drawn at that size. The copy shares the
# prefix's files through hard links; only its registry is its own. Natively
# the user's remembered size of 200 % does the same under Xvfb.
source "$(dirname "$0")/host_common.bash"

if [ "$QUORVEL_PLATFORM" != windows ]; then
  # Natively the 200 % editor comes from the user's size choice in the XDG
  # config folder, shown on an X server of the test's own.
  source "$QUORVEL_SOURCE_DIR/tests/module/xvfb.bash"
  start_xvfb
  export XDG_CONFIG_HOME="$work/config"
  mkdir -p "$XDG_CONFIG_HOME/Quorvel"
  echo "size=200" >"$XDG_CONFIG_HOME/Quorvel/editor.txt"
  out=$(host "$QUORVEL_MODULE" open "editor open" "editor ticks 2" "editor capture dpi192.bmp" \
        "editor close" close) || fail "host: $(cat host.err)"
  expect_line "$out" "editor rect=0,0,570,1240"
  expect_line "$out" "editor capture dpi192.bmp width=1240 height=570"
else
  : "${WINEPREFIX:?needs the prefix of the Wine session}"
  prefix="$work/prefix"
  # Hard links where the prefix shares the file system, a plain copy elsewhere.
  cp -al "$WINEPREFIX" "$prefix" 2>/dev/null || { rm -rf "$prefix"; cp -a "$WINEPREFIX" "$prefix"; }
  for registry in "$prefix"/*.reg; do cp --remove-destination "$WINEPREFIX/$(basename "$registry")" "$registry"; done
  trap 'WINEPREFIX="$prefix" wineserver -k 2>/dev/null || true; rm -rf "$work"' EXIT

  while read -r dpi percent rect width height; do
    WINEPREFIX="$prefix" timeout 60 /usr/lib/wine/wine64 reg add 'HKCU\Control Panel\Desktop' \
      /v LogPixels /t REG_DWORD /d "$dpi" /f </dev/null >/dev/null 2>&1 || fail "reg add $dpi"
    out=$(WINEPREFIX="$prefix" host "$QUORVEL_MODULE" open "editor open" "editor ticks 2" \
          "editor capture dpi$dpi.bmp" "editor close" close) || fail "host at $dpi: $(cat host.err)"
    expect_line "$out" "editor rect=$rect"
    expect_line "$out" "editor capture dpi$dpi.bmp width=$width height=$height"
    echo "$dpi dpi: $percent % ($width x $height)"
  done <<'TABLE'
192 200 0,0,570,1240 1240 570
144 150 0,0,428,930 930 428
TABLE
fi

# Where nothing is drawn the 200 % window shows the background drawn at 200 %.
/usr/bin/python3 - "$QUORVEL_SOURCE_DIR/img/2x/bg.png" dpi192.bmp \
  "$QUORVEL_BINARY_DIR/editor_host_capture_200.png" <<'PY' || fail "capture pixels"
import sys
from PIL import Image
bg, shot = (Image.open(p).convert("RGB") for p in sys.argv[1:3])
assert shot.size == bg.size == (1240, 570), (shot.size, bg.size)
for point in ((10, 560), (10, 10), (300, 30), (840, 120), (620, 540), (980, 560)):
    assert shot.getpixel(point) == bg.getpixel(point), (point, shot.getpixel(point))
shot.save(sys.argv[3])
PY
echo "artefact: $QUORVEL_BINARY_DIR/editor_host_capture_200.png"
echo "editor dpi ok"
