#!/usr/bin/env bash
# Renders INPUT through Quorvel32.dll (build/windows32) in LMMS 1.2.2 and its
# 32-bit VST support layer under Wine: a project with the case's tempo and one
# sample track playing INPUT through the effect, which gets the case's program
# or parameter values. Usage: lmms_render.sh CASE INPUT OUTPUT WORKDIR
# Wine runs in LMMS_WINEPREFIX when set (a private 32-bit prefix the caller
# owns and removes), else in a prefix inside WORKDIR that is stopped at exit.
set -uo pipefail
source "$(dirname "$0")/common.bash"
case_name="$1" input="$2" output="$3" work="$4"

hosts_case "$case_name" || exit 1
mkdir -p "$work/home"
dll="$work/Quorvel32.dll"
cp "$windows32_dir/Quorvel32.dll" "$dll" || exit 1
input="$(cd "$(dirname "$input")" && pwd)/$(basename "$input")"

export HOME="$work/home" WINEARCH=win32 WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
if [ -n "${LMMS_WINEPREFIX:-}" ]; then
  export WINEPREFIX="$LMMS_WINEPREFIX"
else
  export WINEPREFIX="$work/wine"
  trap 'wineserver -k 2>/dev/null || true' EXIT
fi

# Without disableautoquit LMMS switches the effect off after a few silent
# blocks (a closed gate) and passes dry audio; without syncvstplugins the
# effect's beat position runs a block ahead of the audio.
cat >"$work/lmmsrc.xml" <<'XML'
<?xml version="1.0"?>
<!DOCTYPE lmms-config-file>
<lmms version="1.2.2">
  <ui disableautoquit="1" syncvstplugins="1"/>
</lmms>
XML

frames=$(soxi -s "$input") || exit 1
# 192 ticks per 4/4 bar: the clip's length in ticks, plus a beat.
ticks=$(awk -v f="$frames" -v t="$case_tempo" 'BEGIN { x = f / 48000 * t / 60 * 48; printf "%d", x + 49 }')
if [ -n "$case_program" ]; then
  settings="program=\"$case_program\""
else
  # LMMS restores a plug-in's parameters from "index:label:value" entries.
  settings="numparams=\"$(wc -w <<<"$case_params")\""
  for pair in $case_params; do settings+=" param${pair%%:*}=\"${pair%%:*}:-:${pair#*:}\""; done
fi
cat >"$work/render.mmp" <<XML
<?xml version="1.0"?>
<!DOCTYPE lmms-project>
<lmms-project version="1.0" type="song" creator="LMMS" creatorversion="1.2.2">
  <head timesig_numerator="4" timesig_denominator="4" bpm="$case_tempo" mastervol="100" masterpitch="0"/>
  <song>
    <trackcontainer type="song">
      <track type="2" name="Input" muted="0" solo="0">
        <sampletrack vol="100" pan="0" fxch="0">
          <fxchain numofeffects="1" enabled="1">
            <effect name="vsteffect" on="1" wet="1" autoquit="0" gate="0">
              <vsteffectcontrols plugin="Quorvel32.dll" $settings/>
              <key><attribute name="file" value="$dll"/></key>
            </effect>
          </fxchain>
        </sampletrack>
        <sampletco src="$input" pos="0" len="$ticks" muted="0"/>
      </track>
    </trackcontainer>
  </song>
</lmms-project>
XML

rm -f "$output"
(cd "$work" && timeout 300 xvfb-run -a lmms --allowroot -c "$work/lmmsrc.xml" render "$work/render.mmp" \
   -f wav -a -x 1 -s 48000 -o "$output") >"$work/lmms.log" 2>&1
status=$?
# LMMS exits 0 even when the effect cannot be loaded (and renders dry audio).
if [ "$status" -ne 0 ] || [ ! -s "$output" ] || grep -qi 'could not be loaded' "$work/lmms.log" ||
   ! grep -q 'unique ID: owtk' "$work/lmms.log"; then
  hosts_fail "lmms: render failed (exit $status) or the effect did not load" "$work/lmms.log"
  exit 1
fi
echo "lmms: rendered $output"
