"""WAV files as numpy arrays: 32-bit float, 16/24/32-bit PCM in; 32-bit float out."""
import struct

import numpy as np


def read_wav(path):
    """Returns (samples as float64 [frames, channels], sample rate)."""
    with open(path, "rb") as f:
        data = f.read()
    if data[0:4] != b"RIFF" or data[8:12] != b"WAVE":
        raise ValueError(f"{path}: not a RIFF WAVE file")
    pos, fmt, body = 12, None, None
    while pos + 8 <= len(data):
        tag, size = data[pos:pos + 4], struct.unpack_from("<I", data, pos + 4)[0]
        chunk = data[pos + 8:pos + 8 + size]
        if tag == b"fmt ":
            fmt = struct.unpack_from("<HHIIHH", chunk)
            if fmt[0] == 0xFFFE and len(chunk) >= 26:  # extensible: the real format is in the GUID
                fmt = (struct.unpack_from("<H", chunk, 24)[0],) + fmt[1:]
        elif tag == b"data":
            body = chunk
        pos += 8 + size + (size & 1)
    if fmt is None or body is None:
        raise ValueError(f"{path}: no fmt or data chunk")
    kind, channels, rate, _, _, bits = fmt
    if kind == 3 and bits == 32:
        samples = np.frombuffer(body, dtype="<f4").astype(np.float64)
    elif kind == 3 and bits == 64:
        samples = np.frombuffer(body, dtype="<f8").copy()
    elif kind == 1 and bits == 16:
        samples = np.frombuffer(body, dtype="<i2") / 32768.0
    elif kind == 1 and bits == 32:
        samples = np.frombuffer(body, dtype="<i4") / 2147483648.0
    elif kind == 1 and bits == 24:
        raw = np.frombuffer(body, dtype=np.uint8).reshape(-1, 3).astype(np.int32)
        value = raw[:, 0] | raw[:, 1] << 8 | raw[:, 2] << 16
        samples = np.where(value >= 1 << 23, value - (1 << 24), value) / 8388608.0
    else:
        raise ValueError(f"{path}: unsupported format {kind}/{bits} bits")
    frames = len(samples) // channels
    return samples[:frames * channels].reshape(frames, channels), rate


def write_wav(path, samples, rate):
    """Writes [frames, channels] samples as 32-bit float."""
    samples = np.asarray(samples, dtype="<f4")
    frames, channels = samples.shape
    body = samples.tobytes()
    # Float data: an 18-byte format chunk (cbSize 0) and a fact chunk.
    header = b"RIFF" + struct.pack("<I", 4 + 26 + 12 + 8 + len(body)) + b"WAVE"
    header += b"fmt " + struct.pack("<IHHIIHHH", 18, 3, channels, rate, rate * channels * 4,
                                    channels * 4, 32, 0)
    header += b"fact" + struct.pack("<II", 4, frames)
    header += b"data" + struct.pack("<I", len(body))
    with open(path, "wb") as f:
        f.write(header + body)
