#!/usr/bin/env bash
# Packaging twice gives the same bytes, even when every module is linked
# again in between (no link time in the modules, no file times or order of
# the moment in the archives), and each archive holds what it should: the
# modules as built, the VST 3 bundle with every file of it (the binary, its
# moduleinfo.json and snapshots), the CLAP module and (Linux) the LV2 bundle
# with its descriptions, the licence, the notices and the install text.
set -euo pipefail
export LC_ALL=C
root="$(cd "$(dirname "$0")/../.." && pwd)"
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
fail() { echo "FAIL: $*" >&2; exit 1; }

bash "$root/tools/package.sh" "$work/first" >/dev/null
sleep 1  # a new second, so that anything stamped with the time would differ
for module in windows/Quorvel.dll:Quorvel windows32/Quorvel32.dll:Quorvel release/Quorvel.so:Quorvel \
  windows/Quorvel.vst3/Contents/x86_64-win/Quorvel.vst3:Quorvel_vst3 \
  release/Quorvel.vst3/Contents/x86_64-linux/Quorvel.so:Quorvel_vst3 \
  windows/Quorvel.clap:Quorvel_clap release/Quorvel.clap:Quorvel_clap \
  release/Quorvel.lv2/quorvel.so:Quorvel_lv2; do
  file="${module%%:*}"
  rm "$root/build/$file"
  cmake --build "$root/build/${file%%/*}" --target "${module##*:}" >/dev/null
done
bash "$root/tools/package.sh" "$work/second" >/dev/null

number() { sed -nE "s/^#define QUORVEL_VERSION_$1 ([0-9]+)$/\1/p" "$root/engine/version.h"; }
v="$(number MAJOR).$(number MINOR).$(number PATCH)"
names="Quorvel-$v-linux-x86_64.tar.gz Quorvel-$v-windows-x64-setup.exe Quorvel-$v-windows-x64.zip SHA256SUMS"
for dir in first second; do
  [ "$(cd "$work/$dir" && echo *)" = "$names" ] || fail "$dir packaging gave $(cd "$work/$dir" && echo *)"
done
for f in $names; do cmp "$work/first/$f" "$work/second/$f" || fail "$f differs between packagings"; done
(cd "$work/first" && sha256sum --quiet -c SHA256SUMS) || fail "SHA256SUMS does not match"

# The archives' entries, decoded here: name and bytes of every file.
/usr/bin/python3 - "$root" "$work/first" <<'PY'
import glob, hashlib, os, sys, tarfile, zipfile
root, out = sys.argv[1], sys.argv[2]
digest = lambda data: hashlib.sha256(data).hexdigest()
def build(path):
    return digest(open(os.path.join(root, "build", path), "rb").read())
(zip_path,) = glob.glob(f"{out}/Quorvel-*-windows-x64.zip")
(tar_path,) = glob.glob(f"{out}/Quorvel-*-linux-x86_64.tar.gz")
top_win = os.path.basename(zip_path)[:-4]
top_lin = os.path.basename(tar_path)[:-7]
with zipfile.ZipFile(zip_path) as z:
    win = {i.filename: digest(z.read(i)) for i in z.infolist() if not i.is_dir()}
    times = {i.date_time for i in z.infolist()}
with tarfile.open(tar_path) as t:
    lin = {m.name: digest(t.extractfile(m).read()) for m in t.getmembers() if m.isfile()}
    owners = {(m.uid, m.gid) for m in t.getmembers()}
expect = {
    (top_win, "win"): {"Quorvel.dll": build("windows/Quorvel.dll"),
                       "Quorvel32.dll": build("windows32/Quorvel32.dll"),
                       "Quorvel.clap": build("windows/Quorvel.clap")},
    (top_lin, "lin"): {"Quorvel.so": build("release/Quorvel.so"),
                       "Quorvel.clap": build("release/Quorvel.clap")},
}
failures = []
for (top, kind), modules in expect.items():
    entries = win if kind == "win" else lin
    for name, want in modules.items():
        if entries.get(f"{top}/{name}") != want:
            failures.append(f"{top}/{name}: missing or not the built module")
    for text in ("LICENSE", "THIRD_PARTY_NOTICES", "INSTALL.txt"):
        if f"{top}/{text}" not in entries:
            failures.append(f"{top}/{text}: missing")
    for folder_name in ("Quorvel.vst3", "Quorvel.lv2"):
        bundle = os.path.join(root, "build", "windows" if kind == "win" else "release", folder_name)
        has_bundle = any(n.startswith(f"{top}/{folder_name}/") for n in entries)
        if os.path.isdir(bundle) != has_bundle:
            failures.append(f"{top}: {folder_name} bundle {'missing' if not has_bundle else 'unexpected'}")
        # The whole bundle as built: binary, descriptions, snapshots.
        built = {}
        for folder, _, files in os.walk(bundle):
            for name in files:
                path = os.path.join(folder, name)
                built[f"{top}/{folder_name}/{os.path.relpath(path, bundle)}"] = digest(open(path, "rb").read())
        packed = {n: d for n, d in entries.items() if n.startswith(f"{top}/{folder_name}/")}
        if built != packed:
            failures.append(f"{top}: the {folder_name} files differ from the build's: "
                            f"{sorted(set(built.items()) ^ set(packed.items()))}")
if len(times) != 1 or owners != {(0, 0)}:
    failures.append(f"entries carry varying times {times} or owners {owners}")
for f in failures:
    print(f"FAIL: {f}")
sys.exit(1 if failures else 0)
PY
echo "packages: identical across two packagings ($names)"
