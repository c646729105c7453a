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

# Ardour 7 isolated in WORK (its HOME, configuration, plug-in cache and
# search paths), with a copy of build/release's Quorvel.so (FORMAT vst2) or
# Quorvel.vst3 (vst3) scanned into its cache, or Quorvel.lv2 (lv2) on its
# LV2 path. Sets module and plugin_type
# (the ARDOUR.PluginType name). Usage: ardour_prepare WORK FORMAT
ardour_prepare() {
  local work="$1" format="$2" binary
  mkdir -p "$work/home" "$work/config/ardour7" "$work/cache" "$work/plugins"
  if [ "$format" = vst3 ]; then
    module="$work/plugins/Quorvel.vst3" plugin_type=VST3
    cp -r "$release_dir/Quorvel.vst3" "$work/plugins/" || return 1
    binary="$module/Contents/x86_64-linux/Quorvel.so"
  elif [ "$format" = lv2 ]; then
    module="$work/plugins/Quorvel.lv2" plugin_type=LV2
    cp -r "$release_dir/Quorvel.lv2" "$work/plugins/" || return 1
    binary="$module"
  else
    module="$work/plugins/Quorvel.so" plugin_type=LXVST
    cp "$release_dir/Quorvel.so" "$work/plugins/" || return 1
    binary="$module"
  fi
  # Ardour rescans (and, from a session script, skips) a module that is not
  # older than its cache entry.
  touch -d '1 minute ago' "$binary"
  export HOME="$work/home" XDG_CONFIG_HOME="$work/config" XDG_CACHE_HOME="$work/cache"
  export LXVST_PATH="$work/plugins" VST3_PATH="$work/plugins"
  # Ardour reads LV2 bundles at start-up, from LV2_PATH: the copy, then the
  # system's bundles (the LV2 vocabularies themselves live there).
  export LV2_PATH="$work/plugins:/usr/lib/lv2"
  # Debian's build hides the Dummy backend unless the configuration shows it.
  cat >"$work/config/ardour7/config" <<'XML'
<?xml version="1.0" encoding="UTF-8"?>
<Ardour>
  <Config>
    <Option name="hide-dummy-backend" value="0"/>
  </Config>
</Ardour>
XML
  if [ "$format" = lv2 ]; then
    # No scanner: lilv reads the bundle when Ardour starts. It must at least
    # hold its description and binary.
    [ -f "$module/manifest.ttl" ] ||
      hosts_fail "ardour: $module has no manifest.ttl"
  elif [ "$format" = vst3 ]; then
    # The scanner exits 0 even when the module does not load: its cache entry
    # is the proof.
    LD_LIBRARY_PATH=/usr/lib/ardour7 timeout 60 /usr/lib/ardour7/ardour-vst3-scanner -f -q \
      "$module" >"$work/scan.log" 2>&1
    ls "$work"/cache/ardour7/vst/*.v3i >/dev/null 2>&1 ||
      hosts_fail "ardour: the VST 3 scanner made no cache entry for Quorvel.vst3" "$work/scan.log"
  else
    LD_LIBRARY_PATH=/usr/lib/ardour7 timeout 60 /usr/lib/ardour7/ardour-vst-scanner -f -q \
      "$module" >"$work/scan.log" 2>&1 ||
      hosts_fail "ardour: the plug-in scanner rejected Quorvel.so" "$work/scan.log"
  fi
}

# Builds WORK/session from the settings in WORK/settings.lua with
# ardour_session.lua. It can abort at teardown now and then: up to three
# attempts, each counting only when the session was saved and, if given,
# PROOF (a glob) names a file. Sets built to the attempt that worked.
# Usage: ardour_session WORK [PROOF]
ardour_session() {
  local work="$1" proof="${2:-}" attempt
  sed -e '/^-- SETTINGS --$/r '"$work/settings.lua" "$hosts_dir/ardour_session.lua" >"$work/session.lua"
  for attempt in 1 2 3; do
    rm -rf "$work/session"
    # shellcheck disable=SC2086  # PROOF is a glob
    if timeout 120 ardour7-lua "$work/session.lua" >"$work/session-$attempt.log" 2>&1 &&
       grep -q 'ardour_session: saved' "$work/session-$attempt.log" &&
       { [ -z "$proof" ] || ls $proof >/dev/null 2>&1; }; then
      built=$attempt
      return 0
    fi
  done
  hosts_fail "ardour: no session after 3 attempts" "$work"/session-*.log
}
