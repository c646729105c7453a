#!/usr/bin/env bash
# THIRD_PARTY_NOTICES names, for every shipped module, exactly the
# third-party software found in it. Each module's defined symbols (its own
# symbol table, read with the binutils of its platform) are matched against
# a fixed table of what each component leaves behind; every component found
# must have a notice whose "In:" clause names that module, and no "In:"
# clause may name a module the component is not found in. Libraries the
# Linux modules load from the system are undefined there and so not found.
set -euo pipefail
export LC_ALL=C
root="$(cd "$(dirname "$0")/../.." && pwd)"
notices="${QUORVEL_NOTICES:-$root/THIRD_PARTY_NOTICES}"
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
fail() { echo "FAIL: $*" >&2; exit 1; }

# MODULE NAME (as the notices write it):FILE UNDER build/:NM
modules=(
  "Quorvel.dll:windows/Quorvel.dll:x86_64-w64-mingw32-nm"
  "Quorvel32.dll:windows32/Quorvel32.dll:i686-w64-mingw32-nm"
  "Quorvel.vst3/Contents/x86_64-win/Quorvel.vst3:windows/Quorvel.vst3/Contents/x86_64-win/Quorvel.vst3:x86_64-w64-mingw32-nm"
  "Windows Quorvel.clap:windows/Quorvel.clap:x86_64-w64-mingw32-nm"
  "Quorvel.so:release/Quorvel.so:nm"
  "Quorvel.vst3/Contents/x86_64-linux/Quorvel.so:release/Quorvel.vst3/Contents/x86_64-linux/Quorvel.so:nm"
  "Linux Quorvel.clap:release/Quorvel.clap:nm"
  "Quorvel.lv2/quorvel.so:release/Quorvel.lv2/quorvel.so:nm"
)
for entry in "${modules[@]}"; do
  IFS=: read -r name file nm <<<"$entry"
  [ -f "$root/build/$file" ] || fail "build/$file missing: build windows, windows32 and release first"
  # Defined symbols only, section names aside; the 32-bit Windows names carry
  # one leading underscore more.
  "$nm" --defined-only "$root/build/$file" | awk '{print $NF}' | grep -v '^\.' |
    { if [[ "$name" == *32.dll ]]; then sed 's/^_//'; else cat; fi; } | sort -u >"$work/$(echo "$name" | tr / _)"
  [ -s "$work/$(echo "$name" | tr / _)" ] || fail "no symbols in build/$file (stripped?)"
done

/usr/bin/python3 - "$notices" "$work" "${modules[@]}" <<'PY'
import os, re, sys

notices_path, work, entries = sys.argv[1], sys.argv[2], sys.argv[3:]
# Notice title (start of the section's first line) -> what its code defines.
COMPONENTS = {
    "libpng": r"png_\w+",
    "zlib": r"(inflate|deflate|adler32|crc32)\w*",
    "MinGW-w64 runtime": r"(__mingw_\w+|_pei386_runtime_relocator|__dyn_tls_init)",
    "gdtoa": r"__(gdtoa|strtodg|rv_alloc_D2A|Balloc_D2A)",
    "MinGW-w64 printf family": r"__mingw_(pformat|v?s?n?printf|vfprintf)",
    "winpthreads": r"_?_?pthread_\w+",
    "GCC runtime libraries": r"(_Unwind_\w+|__gxx_personality_\w+|__cxa_\w+|_ZNSt\w+|_ZSt\w+)",
    "VST 3 interface headers": r"_ZL\d+v3_\w+_iid",
}
MODULE = re.compile(r"Windows Quorvel\.clap|Linux Quorvel\.clap|Quorvel\.lv2/quorvel\.so"
                    r"|Quorvel32\.dll|Quorvel\.dll|Quorvel\.vst3/Contents/x86_64-win/Quorvel\.vst3"
                    r"|Quorvel\.vst3/Contents/x86_64-linux/Quorvel\.so|Quorvel\.so")

# Sections: a rule line, the heading lines, a rule line, the licence text.
lines = open(notices_path, encoding="utf-8").read().replace("\r", "").split("\n")
rules = [i for i, line in enumerate(lines) if re.fullmatch(r"={70,}", line)]
named = {}  # title -> set of module names its "In:" clause names
for start, end in zip(rules[::2], rules[1::2]):
    heading = " ".join(lines[start + 1:end])
    title = lines[start + 1]
    clause = re.search(r"\bIn: (.*?)(\(|\.\s|\.$|$)", heading)
    named[title] = set(MODULE.findall(clause.group(1))) if clause else set()

failures = []
for entry in entries:
    name = entry.split(":")[0]
    symbols = open(os.path.join(work, name.replace("/", "_"))).read().split()
    for component, pattern in COMPONENTS.items():
        titles = [t for t in named if t.startswith(component)]
        if len(titles) != 1:
            failures.append(f"{component}: {len(titles)} sections in THIRD_PARTY_NOTICES, not one")
            continue
        found = [s for s in symbols if re.fullmatch(pattern, s)]
        listed = name in named[titles[0]]
        if found and not listed:
            failures.append(f"{name} contains {component} ({', '.join(found[:3])}, ...)"
                            f" but its notice does not name it")
        elif listed and not found:
            failures.append(f"{component}'s notice names {name}, which contains none of it")
for failure in sorted(set(failures)):
    print(f"FAIL: {failure}")
sys.exit(1 if failures else 0)
PY
echo "notices: every module's third-party contents named, and nothing more"
