#!/usr/bin/env bash
# Note-ons through the test host's note step, the VST 2 module against the
# VST 3 bundle, with "Restart" on "MIDI note": the same notes at the same
# offsets (inside a block, on a block boundary, before the first block, past
# the last) render the same in both formats, float and double; they change
# the render; and a note-on of velocity 0 changes nothing.
source "$(dirname "$0")/host_common.bash"
bundle="$QUORVEL_BINARY_DIR/Quorvel.vst3"
[ -d "$bundle" ] || fail "no bundle at $bundle"
host none "generate pad in.wav seconds=0.5 rate=44100 channels=2 level=0.5" >/dev/null

setup=(open "samplerate 44100" "blocksize 512" "tempo 128" "transport playing" "mains on"
       "param 19=1")
notes=("note 3001 60" "note 1024 48" "note -20 61" "note 15000 40 90" "note 99999 70")
render() {  # render FORMAT SIZE NAME STEPS...: one fresh session, one render
  local format=$1 size=$2 name=$3 module=$QUORVEL_MODULE
  shift 3
  [ "$format" = vst2 ] || module=$bundle
  host "$module" "${setup[@]}" "$@" "process in.wav $name.wav $size" >/dev/null ||
    fail "$format $name: $(cat host.err)"
}
for size in replacing double; do
  for format in vst2 vst3; do
    render $format $size plain_$format
    render $format $size notes_$format "${notes[@]}"
    render $format $size off_$format "note 3001 60 0"
  done
  cmp -s notes_vst2.wav notes_vst3.wav || fail "$size: the formats render the notes differently"
  cmp -s plain_vst2.wav notes_vst2.wav && fail "$size: the notes changed nothing"
  cmp -s plain_vst2.wav off_vst2.wav || fail "$size: a note-on of velocity 0 acted (VST 2)"
  cmp -s plain_vst3.wav off_vst3.wav || fail "$size: a note-on of velocity 0 acted (VST 3)"
done

echo "notes render alike in both formats"
