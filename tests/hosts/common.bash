# Shared by the real-host scripts (source it). Sets root, hosts_dir, python and
# the built modules, and gives: hosts_case CASE (loads the case_* settings of
# gate_cases.py), hosts_reference CASE BLOCK INPUT OUTPUT (renders through the
# test host), hosts_fail TEXT [LOG...] (prints TEXT and the logs, returns 1).
hosts_dir="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"
root="$(cd "$hosts_dir/../.." && pwd)"
python=/usr/bin/python3
release_dir="$root/build/release"
windows32_dir="$root/build/windows32"

hosts_fail() {
  local text="$1" log
  shift
  echo "FAIL $text"
  for log in "$@"; do
    [ -f "$log" ] || continue
    echo "---- $log (last 40 lines)"
    tail -n 40 "$log" | tr -d '\r'
  done
  return 1
}

hosts_case() {
  local settings
  settings="$("$python" "$hosts_dir/gate_cases.py" shell "$1")" || return 1
  eval "$settings"
}

# The same settings through quorvel_host: transport playing from position 0,
# the host's block length, program or parameters as the case says.
hosts_reference() {
  local case_name="$1" block="$2" input="$3" output="$4" steps pair
  hosts_case "$case_name" || return 1
  steps=("tempo $case_tempo" "transport playing" "position 0" open "samplerate 48000"
         "blocksize $block")
  [ -z "$case_program" ] || steps+=("program $case_program")
  for pair in $case_params; do steps+=("param ${pair%%:*}=${pair#*:}"); done
  steps+=("mains on" "process $input $output replacing" "mains off" close)
  "$release_dir/quorvel_host" "$release_dir/Quorvel.so" "${steps[@]}"
}
