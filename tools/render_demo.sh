#!/usr/bin/env bash
# Renders the demo: a sustained stereo chord (pad) through the effect of one
# build configuration with the test host, once per entry of demo_renders,
# at 120 BPM with the transport playing; then plots input and output
# envelopes when the plot script can run. Usage: render_demo.sh CONFIG OUTDIR
# (CONFIG windows runs the host under Wine: start a Wine session first).
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
config="${1:?usage: render_demo.sh native|release|windows OUTDIR}"
out="${2:?usage: render_demo.sh CONFIG OUTDIR}"
build="$root/build/$config"
if [ "$config" = windows ]; then
  host=("$root/tools/wine_run.sh" "$build/quorvel_host.exe")
  module="$build/Quorvel.dll"
else
  host=("$build/quorvel_host")
  module="$build/Quorvel.so"
fi
module="${QUORVEL_DEMO_MODULE:-$module}"  # another effect file, e.g. for trying the script
[ -f "$module" ] || { echo "render_demo: no module at $module (build $config first)" >&2; exit 1; }

# What to render: "NAME PROGRAM" per entry; PROGRAM - keeps the effect's
# start-up program. Factory presets get one entry each.
demo_renders=("default -" "mini_gate 1" "house 10" "trance_10 20" "groove_gate_3 24")
tempo=120
seconds=8

mkdir -p "$out"
cd "$out"  # the host gets relative paths, which work natively and under Wine
"${host[@]}" none "generate pad demo_input.wav seconds=$seconds rate=44100 channels=2 level=0.6" >/dev/null

outputs=()
for entry in "${demo_renders[@]}"; do
  read -r name program <<<"$entry"
  script="demo_$name.txt"
  {
    echo "# Render of the demo pad through the effect ($name)"
    echo "tempo $tempo"
    echo "transport playing"
    echo "position 0"
    echo "open"
    echo "samplerate 44100"
    echo "blocksize 512"
    [ "$program" = - ] || echo "program $program"
    echo "mains on"
    echo "process demo_input.wav demo_$name.wav replacing"
    echo "mains off"
    echo "close"
  } >"$script"
  "${host[@]}" "$module" -f "$script" >"demo_$name.log" ||
    { echo "render_demo: rendering $name failed:" >&2; tr -d '\r' <"demo_$name.log" >&2; exit 1; }
  outputs+=("demo_$name.wav")
done

plot=""
if /usr/bin/python3 -c 'import PIL, numpy' 2>/dev/null; then
  /usr/bin/python3 "$root/tools/plot_envelopes.py" demo_envelopes.png "$tempo" demo_input.wav "${outputs[@]}"
  plot="$out/demo_envelopes.png"
fi

echo "Demo input:  $out/demo_input.wav"
for file in "${outputs[@]}"; do echo "Demo output: $out/$file"; done
[ -z "$plot" ] || echo "Envelopes:   $plot"
