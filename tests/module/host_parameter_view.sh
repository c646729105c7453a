#!/usr/bin/env bash
# The host's view of the 24 parameters through the real module: whole names,
# labels and displays; the properties record, decoded here byte by byte; the
# host extension's display of a position against the display of the value
# that position stores, at all 28 Rate and 32 Cycle positions; typed
# fractions stored stepped; and positions read back with getParameter and
# written with setParameter changing nothing (seeded, positions between the
# steps included). Replay another seed with QUORVEL_SEED.
source "$(dirname "$0")/host_common.bash"
export SEED="${QUORVEL_SEED:-14}"

/usr/bin/python3 - >steps.txt <<'PY'
import os, random
random.seed(int(os.environ["SEED"]))
spans = [(0, 27, 1), (1, 32, 1), (0, 200, 2), (0, 100, 1), (0, 1, 1), (0, 200, 2), (0, 100, 2),
         (20, 20000, 2), (0, 3, 1), (0, 100, 1)] + [(0, 9765624, 1)] * 6 + [(0, 624, 1)] + \
        [(50, 75, 1), (0, 100, 1), (0, 2, 1), (0, 3, 1), (0, 4194303, 1), (0, 4194303, 1),
         (0, 1048575, 1)]
print("open")
print("params")
for i in (0, 1, 4, 7, 8, 17, 19, 20, 24):
    print(f"paramprops {i}")
for k in range(28):
    print(f"param 0={k / 27!r}")
    print(f"paramformat 0={k / 27!r}")
for k in range(32):
    print(f"param 1={k / 31!r}")
    print(f"paramformat 1={k / 31!r}")
for i, (lo, hi, curve) in enumerate(spans):
    steps = hi - lo
    for n in range(150):
        k = random.randrange(steps)
        linear = [random.random(), k / steps, (k + 0.5) / steps][n % 3]
        x = linear ** (1 / curve)
        print(f"param {i}={x!r}")
        print(f"paramformat {i}={x!r}")
        print(f"paramback {i}")
print('paramtext 1=2.7')
print("savechunk program state.bin")
PY
host "$QUORVEL_MODULE" -f steps.txt close >view.txt || fail "run (seed $SEED): $(cat host.err)"
[ ! -s host.err ] || fail "host warnings: $(cat host.err)"

/usr/bin/python3 - <<'PY' || fail "host view (seed $SEED)"
import re, struct, sys
lines = open("view.txt").read().splitlines()
param = re.compile(r'param (\d+) name="(.*)" label="(.*)" display="(.*)" value=(\S+)$')

# Every name, label and display at the defaults, whole.
defaults = [("Rate", "", "1/16"), ("Cycle", "", "16"), ("Attack", "%", "5"), ("Gate", "%", "100"),
            ("Tie Lock", "", "Yes"), ("Release", "%", "30"), ("Fade", "%", "5"),
            ("Split Freq", "Hz", "1000"), ("Target", "", "Volume"), ("Mix", "%", "80"),
            ("", "", "4882812"), ("", "", "4882812"), ("", "", "4882812"), ("", "", "5078124"),
            ("", "", "9765624"), ("", "", "9765624"), ("", "", "624"), ("Swing", "%", "50"),
            ("Chance", "%", "100"), ("Restart", "", "Host position"), ("MIDI Switch", "", "Off"),
            ("", "", "0"), ("", "", "0"), ("", "", "0")]
shown = [param.match(l).groups() for l in lines[:24]]
assert [s[1:4] for s in shown] == [d for d in defaults], shown

# The properties records, decoded field by field from their bytes.
props = {}
for l in lines:
    m = re.match(r"paramprops (\d+) result=(\d+) bytes=([0-9a-f]+)$", l)
    if m:
        props[int(m[1])] = (int(m[2]), bytes.fromhex(m[3]))
layout = "<3f64si4i8shhhh24s16s"
assert struct.calcsize(layout) == 152
def text(field): return field.split(b"\0")[0].decode()
expect = {0: (12, 0, 27, 1, 2, "Rate"), 1: (12, 1, 32, 1, 3, "Cycle"),
          4: (13, 0, 1, 1, 1, "Tie Lock"), 8: (12, 0, 3, 1, 1, "Target"),
          17: (12, 50, 75, 1, 2, "Swing"), 19: (12, 0, 2, 1, 1, "Restart"),
          20: (12, 0, 3, 1, 1, "MIDI Switch")}
for index, (result, record) in props.items():
    if index == 24:
        assert result == 0 and record == b"\xa5" * 152, record
        continue
    assert result == 1, index
    f = struct.unpack(layout, record)
    step, small, large, label, flags, lo, hi, istep, ilarge, short = f[:10]
    assert f[10:14] == (0, 0, 0, 0) and text(f[14]) == "" and f[15] == b"\0" * 16, f
    assert set(label[len(text(label)):]) == {0} and set(short[len(text(short)):]) == {0}, f
    if index == 7:  # continuous: float steps, may ramp
        assert (flags, text(label), text(short)) == (4 | 64, "Split Freq", "Split F"), f
        assert (step, small, large) == struct.unpack("<3f", struct.pack("<3f", 0.01, 0.001, 0.1)), f
        assert (lo, hi, istep, ilarge) == (0, 0, 0, 0), f
    else:
        assert (flags, lo, hi, istep, ilarge, text(label)) == expect[index], (index, f)
        # The float steps are the same steps in positions 0..1.
        as_float = lambda v: struct.unpack("<f", struct.pack("<f", v))[0]
        assert (step, small, large) == (as_float(istep / (hi - lo)), as_float(istep / (hi - lo)),
                                        as_float(ilarge / (hi - lo))), f

# The host extension's display of a position names the value it stores.
rates = ["1/128", "1/64T", "1/128D", "1/64", "1/32T", "1/64D", "1/32", "1/16T", "1/32D", "1/16",
         "1/8T", "1/16D", "1/8", "1/4T", "1/8D", "1/4", "1/2T", "1/4D", "1/2", "1/1T", "1/2D",
         "1/1", "2/1T", "1/1D", "2/1", "4/1T", "2/1D", "4/1"]
stepped = [l for l in lines[33:33 + 2 * 60]]
for n in range(60):
    index, k = (0, n) if n < 28 else (1, n - 28)
    p = param.match(stepped[2 * n])
    fmt = re.match(r'paramformat (\d+) result=48879 display="(.*)"$', stepped[2 * n + 1])
    want = rates[k] if index == 0 else str(k + 1)
    assert p and fmt and p[4] == want and fmt[2] == want, (stepped[2 * n], stepped[2 * n + 1], want)

# Round trips: the line after writing back is the line before; the host
# extension agrees with the stored value's display.
rest = lines[33 + 120:]
trips = 0
for at in range(0, 24 * 150 * 3, 3):
    before, fmt, after = rest[at], rest[at + 1], rest[at + 2]
    assert param.match(before) and before == after, (before, after)
    assert fmt.endswith(' display="%s"' % param.match(before)[4]), (before, fmt)
    trips += 1
assert trips == 24 * 150

# Typed 2.7 on Cycle is stored as 3, shown as 3, and saved as 3.
assert 'paramtext 1 result=1' in lines
assert 'param 1 name="Cycle" label="" display="3" value=0.064516' in lines
state = open("state.bin", "rb").read()
values = struct.unpack("<17d", state[4:140])
assert values[1] == 3.0 and all(v == int(v) for v in values), values
PY
echo "host view of the parameters"
