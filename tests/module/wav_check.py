#!/usr/bin/python3
"""Independent WAV reader/writer for the host tests (no host code shared).

  wav_check.py make FORMAT CHANNELS FILE [--extensible]   known test samples
  wav_check.py expect OUT REF [--gain G] [--tol T]         OUT == G * REF per sample
  wav_check.py header FILE                                 format=.. channels=.. rate=.. frames=..
  wav_check.py probe FILE                                  the fake effect's per-block probe values
  wav_check.py dc FILE LEVEL                               every sample equals LEVEL
"""
import struct
import sys

SCALE = {"pcm16": 32768, "pcm24": 8388608}


def read_wav(path):
    data = open(path, "rb").read()
    assert data[0:4] == b"RIFF" and data[8:12] == b"WAVE", "not RIFF/WAVE"
    pos, fmt, samples = 12, None, None
    while pos + 8 <= len(data):
        tag, size = data[pos:pos + 4], struct.unpack_from("<I", data, pos + 4)[0]
        body = data[pos + 8:pos + 8 + size]
        if tag == b"fmt ":
            fmt = struct.unpack_from("<HHIIHH", body) + (
                struct.unpack_from("<H", body, 24) if len(body) >= 26 else ())
        elif tag == b"data":
            samples = body
        pos += 8 + size + (size & 1)
    tag, channels, rate, _, align, bits = fmt[:6]
    if tag == 0xFFFE:
        tag = fmt[6]  # first two bytes of the subformat GUID
    kind = {(1, 16): "pcm16", (1, 24): "pcm24", (3, 32): "float"}[(tag, bits)]
    frames = len(samples) // align
    out = [[0.0] * frames for _ in range(channels)]
    width = bits // 8
    for f in range(frames):
        for c in range(channels):
            o = f * align + c * width
            if kind == "float":
                v = struct.unpack_from("<f", samples, o)[0]
            else:
                v = int.from_bytes(samples[o:o + width], "little", signed=True) / SCALE[kind]
            out[c][f] = v
    return kind, rate, out


def write_wav(path, kind, rate, channels, extensible=False):
    width = 2 if kind == "pcm16" else 3 if kind == "pcm24" else 4
    frames = len(channels[0])
    body = bytearray()
    for f in range(frames):
        for ch in channels:
            if kind == "float":
                body += struct.pack("<f", ch[f])
            else:
                body += int(round(ch[f] * SCALE[kind])).to_bytes(width, "little", signed=True)
    tag = 3 if kind == "float" else 1
    n = len(channels)
    common = struct.pack("<HIIHH", n, rate, rate * n * width, n * width, width * 8)
    if extensible:
        guid_tail = b"\x00\x00\x00\x00\x10\x00\x80\x00\x00\xaa\x00\x38\x9b\x71"
        fmt = struct.pack("<H", 0xFFFE) + common + struct.pack("<HHI", 22, width * 8, 0)
        fmt += struct.pack("<H", tag) + guid_tail
    else:
        fmt = struct.pack("<H", tag) + common
    # An odd-sized chunk before the audio: readers must honour the pad byte.
    extra = b"LIST" + struct.pack("<I", 5) + b"abcde" + b"\x00"
    chunks = b"fmt " + struct.pack("<I", len(fmt)) + fmt + extra
    chunks += b"data" + struct.pack("<I", len(body)) + bytes(body)
    if len(body) & 1:
        chunks += b"\x00"
    open(path, "wb").write(b"RIFF" + struct.pack("<I", 4 + len(chunks)) + b"WAVE" + chunks)


def test_samples(kind, channels):
    """Extremes, zero, small values and a ramp, exactly representable in kind."""
    scale = SCALE.get(kind, 8388608)
    base = [-1.0, (scale - 1) / scale, 0.0, 1 / scale, -1 / scale, 0.5, -0.25]
    ramp = [((i * 2654435761) % (2 * scale) - scale) / scale for i in range(3000)]
    first = base + ramp
    return [first] + [[-v if -v < 1 else 0.0 for v in first] for _ in range(channels - 1)]


def main(argv):
    cmd = argv[1]
    if cmd == "make":
        kind, channels, path = argv[2], int(argv[3]), argv[4]
        write_wav(path, kind, 44100, test_samples(kind, channels), "--extensible" in argv)
    elif cmd == "expect":
        _, _, out = read_wav(argv[2])
        _, _, ref = read_wav(argv[3])
        gain = float(argv[argv.index("--gain") + 1]) if "--gain" in argv else 1.0
        tol = float(argv[argv.index("--tol") + 1]) if "--tol" in argv else 0.0
        worst = 0.0
        assert len(out[0]) == len(ref[0]), "length %d != %d" % (len(out[0]), len(ref[0]))
        for c, ch in enumerate(out):
            src = ref[c % len(ref)]
            for f, v in enumerate(ch):
                worst = max(worst, abs(v - gain * src[f]))
        print("max_error=%g" % worst)
        return 0 if worst <= tol else 1
    elif cmd == "header":
        kind, rate, chans = read_wav(argv[2])
        print("format=%s channels=%d rate=%d frames=%d" % (kind, len(chans), rate, len(chans[0])))
    elif cmd == "probe":
        kind, rate, ch = read_wav(argv[2])
        start = 0
        while start < len(ch[0]):
            frames = int(ch[1][start])
            print("pos=%d tempo=%g flags=0x%X ppq=%.4f frames=%d callback=%d rate=%d null=%d" % (
                ch[0][start], ch[0][start + 1], int(ch[0][start + 2]), ch[0][start + 3],
                frames, ch[1][start + 1], ch[1][start + 2], ch[1][start + 3]))
            if frames <= 0:
                return 1
            start += frames
    elif cmd == "dc":
        _, _, chans = read_wav(argv[2])
        level = float(argv[3])
        bad = sum(1 for ch in chans for v in ch if v != level)
        print("mismatches=%d" % bad)
        return 0 if bad == 0 else 1
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
