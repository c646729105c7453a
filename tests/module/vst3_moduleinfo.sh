#!/usr/bin/env bash
# The VST 3 bundle's Contents/Resources/moduleinfo.json (what hosts list
# without loading the binary) says what the loaded factory says, field by
# field: factory vendor, web page, e-mail and flags, and per class its id,
# category, name, vendor, version, SDK version, subcategories, flags and
# cardinality; the bundle and factory versions are the one in
# engine/version.h. The snapshots it names are in the bundle: PNGs of the
# editor's committed captures, 620x285 at 1.0 and 1240x570 at 2.0 (sizes
# decoded from the PNG header here). QUORVEL_BUNDLE overrides the bundle of
# this build (the release packages test points it at build/release's).
set -euo pipefail
fail() { echo "FAIL: $*" >&2; exit 1; }
bundle="${QUORVEL_BUNDLE:-${QUORVEL_BINARY_DIR:?run through ctest}/Quorvel.vst3}"
reader="$QUORVEL_BINARY_DIR/vst3_factory_info"
[ "${QUORVEL_PLATFORM:-native}" != windows ] || reader="$reader.exe"
[ -d "$bundle" ] || fail "no bundle at $bundle"
[ -x "$reader" ] || fail "no factory reader at $reader"
# shellcheck disable=SC2086 # QUORVEL_RUN is a command prefix or nothing
factory=$($QUORVEL_RUN "$reader" "$bundle" | tr -d '\r') || fail "cannot read the bundle's factory"

/usr/bin/python3 - "$bundle" "${QUORVEL_SOURCE_DIR:?}" "$factory" <<'PY'
import json, os, re, struct, sys

bundle, source, factory_text = sys.argv[1], sys.argv[2], sys.argv[3]
factory = dict(line.split("=", 1) for line in factory_text.splitlines() if "=" in line)
failures = []

def expect(what, got, want):
    if got != want:
        failures.append(f"{what}: moduleinfo.json has {got!r}, the factory {want!r}")

# Hosts read the file as JSON5: drop comments and trailing commas the way
# they tolerate them, then parse strictly.
text = open(os.path.join(bundle, "Contents", "Resources", "moduleinfo.json"), encoding="utf-8").read()
text = re.sub(r"^\s*//.*$", "", text, flags=re.M)
text = re.sub(r",(\s*[}\]])", r"\1", text)
info = json.loads(text)

version_h = open(os.path.join(source, "engine", "version.h")).read()
version = ".".join(re.search(rf"#define QUORVEL_VERSION_{p} (\d+)", version_h).group(1)
                   for p in ("MAJOR", "MINOR", "PATCH"))
expect("Version", info.get("Version"), version)
expect("the factory's class version", factory.get("class0.version"), version)
expect("Name", info.get("Name"), factory.get("class0.name"))

fi = info.get("Factory Info", {})
expect("Factory Info.Vendor", fi.get("Vendor"), factory["factory.vendor"])
expect("Factory Info.URL", fi.get("URL"), factory["factory.url"])
expect("Factory Info.E-Mail", fi.get("E-Mail"), factory["factory.email"])
flags = int(factory["factory.flags"])
for name, bit in (("Classes Discardable", 1), ("Component Non Discardable", 8), ("Unicode", 16)):
    expect(f"Factory Info.Flags.{name}", fi.get("Flags", {}).get(name), bool(flags & bit))
expect("Compatibility", info.get("Compatibility"), [])

classes = info.get("Classes", [])
expect("number of classes", len(classes), int(factory["classes"]))
for i, c in enumerate(classes[: int(factory["classes"])]):
    f = lambda key: factory[f"class{i}.{key}"]
    expect(f"class {i} CID", c.get("CID"), f("cid"))
    expect(f"class {i} Category", c.get("Category"), f("category"))
    expect(f"class {i} Name", c.get("Name"), f("name"))
    expect(f"class {i} Vendor", c.get("Vendor"), f("vendor"))
    expect(f"class {i} Version", c.get("Version"), f("version"))
    expect(f"class {i} SDKVersion", c.get("SDKVersion"), f("sdk_version"))
    expect(f"class {i} Sub Categories", c.get("Sub Categories"), f("sub_categories").split("|"))
    expect(f"class {i} Class Flags", c.get("Class Flags"), int(f("class_flags")))
    expect(f"class {i} Cardinality", c.get("Cardinality"), int(f("cardinality")))
    cid = f("cid")
    snapshots = {s.get("Scale Factor"): s.get("Path") for s in c.get("Snapshots", [])}
    want = {1.0: (f"Snapshots/{cid}_snapshot.png", (620, 285), "editor.png"),
            2.0: (f"Snapshots/{cid}_snapshot_2.0x.png", (1240, 570), "editor_200.png")}
    expect(f"class {i} snapshot scales", sorted(snapshots), sorted(want))
    for scale, (path, size, capture) in want.items():
        expect(f"class {i} snapshot at {scale}", snapshots.get(scale), path)
        file = os.path.join(bundle, "Contents", "Resources", path)
        if not os.path.isfile(file):
            failures.append(f"{path}: not in the bundle")
            continue
        data = open(file, "rb").read()
        if data[:8] != b"\x89PNG\r\n\x1a\n" or data[12:16] != b"IHDR":
            failures.append(f"{path}: not a PNG")
            continue
        got = struct.unpack(">II", data[16:24])
        if got != size:
            failures.append(f"{path}: {got[0]}x{got[1]}, not {size[0]}x{size[1]}")
        if data != open(os.path.join(source, "docs", capture), "rb").read():
            failures.append(f"{path}: not the committed capture docs/{capture}")
for failure in failures:
    print(f"FAIL: {failure}")
sys.exit(1 if failures else 0)
PY
echo "moduleinfo.json agrees with the factory of $(basename "$(dirname "$bundle")")/$(basename "$bundle")"
