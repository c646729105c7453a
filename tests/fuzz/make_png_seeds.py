#!/usr/bin/python3
"""Writes the PNG loader's fuzz seeds: small images of every colour type and
bit depth (with transparency chunks, all five row filters and interlacing),
plus truncated and corrupt ones. A tiny encoder of our own, so every byte is
chosen here. Usage: make_png_seeds.py OUTDIR"""
import struct
import sys
import zlib

CHANNELS = {0: 1, 2: 3, 3: 1, 4: 2, 6: 4}
ADAM7 = [(0, 0, 8, 8), (4, 0, 8, 8), (0, 4, 4, 8), (2, 0, 4, 4), (0, 2, 2, 4), (1, 0, 2, 2), (0, 1, 1, 2)]


def chunk(kind, data):
    body = kind + data
    return struct.pack(">I", len(data)) + body + struct.pack(">I", zlib.crc32(body) & 0xFFFFFFFF)


def sample(x, y, c, depth):
    return ((x * 7 + y * 13 + c * 5) * 37) % (1 << depth)


def pack_row(xs, y, colour, depth):
    channels = CHANNELS[colour]
    if depth >= 8:
        out = bytearray()
        for x in xs:
            for c in range(channels):
                out += sample(x, y, c, depth).to_bytes(depth // 8, "big")
        return bytes(out)
    bits, count = 0, 0
    out = bytearray()
    for x in xs:
        value = sample(x, y, 0, depth) if colour == 0 else (x + y) % (1 << depth)
        bits = (bits << depth) | value
        count += depth
        if count == 8:
            out.append(bits)
            bits, count = 0, 0
    if count:
        out.append(bits << (8 - count))
    return bytes(out)


def paeth(a, b, c):
    p = a + b - c
    pa, pb, pc = abs(p - a), abs(p - b), abs(p - c)
    return a if pa <= pb and pa <= pc else (b if pb <= pc else c)


def filter_rows(rows, bpp):
    out, prior = bytearray(), bytes(len(rows[0]) if rows else 0)
    for n, row in enumerate(rows):
        kind = n % 5
        line = bytearray()
        for i, x in enumerate(row):
            a = row[i - bpp] if i >= bpp else 0
            b = prior[i]
            c = prior[i - bpp] if i >= bpp else 0
            predict = [0, a, b, (a + b) // 2, paeth(a, b, c)][kind]
            line.append((x - predict) & 0xFF)
        out += bytes([kind]) + line
        prior = row
    return bytes(out)


def image_data(width, height, colour, depth, interlace):
    bpp = max(1, CHANNELS[colour] * depth // 8)
    if not interlace:
        rows = [pack_row(range(width), y, colour, depth) for y in range(height)]
        return filter_rows(rows, bpp)
    data = b""
    for x0, y0, dx, dy in ADAM7:
        xs = list(range(x0, width, dx))
        ys = list(range(y0, height, dy))
        if xs and ys:
            data += filter_rows([pack_row(xs, y, colour, depth) for y in ys], bpp)
    return data


def png(width, height, colour, depth, interlace=0, palette=None, trns=None):
    out = b"\x89PNG\r\n\x1a\n"
    out += chunk(b"IHDR", struct.pack(">IIBBBBB", width, height, depth, colour, 0, 0, interlace))
    if palette is not None:
        out += chunk(b"PLTE", palette)
    if trns is not None:
        out += chunk(b"tRNS", trns)
    out += chunk(b"IDAT", zlib.compress(image_data(width, height, colour, depth, interlace)))
    return out + chunk(b"IEND", b"")


def main(outdir):
    seeds = {}
    for depth in (1, 2, 4, 8, 16):
        seeds[f"grey{depth}"] = png(9, 5, 0, depth)
    seeds["grey8_trns"] = png(6, 4, 0, 8, trns=struct.pack(">H", 37))
    seeds["grey16_trns"] = png(6, 4, 0, 16, trns=struct.pack(">H", 1000))
    seeds["rgb8"] = png(5, 4, 2, 8)
    seeds["rgb16"] = png(5, 4, 2, 16)
    seeds["rgb8_trns"] = png(5, 4, 2, 8, trns=struct.pack(">HHH", 0, 37, 74))
    for depth in (1, 2, 4, 8):
        entries = 1 << min(depth, 4)
        palette = bytes((i * 40 + c * 90) % 256 for i in range(entries) for c in range(3))
        seeds[f"palette{depth}"] = png(9, 5, 3, depth, palette=palette)
    palette16 = bytes((i * 16 + c * 80) % 256 for i in range(16) for c in range(3))
    seeds["palette4_trns"] = png(9, 5, 3, 4, palette=palette16, trns=bytes([0, 64, 128, 255, 10]))
    seeds["grey_alpha8"] = png(5, 3, 4, 8)
    seeds["grey_alpha16"] = png(5, 3, 4, 16)
    seeds["rgba8"] = png(5, 3, 6, 8)
    seeds["rgba16"] = png(5, 3, 6, 16)
    seeds["interlaced_grey1"] = png(9, 9, 0, 1, interlace=1)
    seeds["interlaced_palette4_trns"] = png(10, 9, 3, 4, interlace=1, palette=palette16,
                                            trns=bytes([0, 255, 90]))
    seeds["interlaced_rgba16"] = png(9, 10, 6, 16, interlace=1)
    seeds["interlaced_rgb8_1x1"] = png(1, 1, 2, 8, interlace=1)

    good = seeds["rgba8"]
    seeds["truncated_signature_only"] = good[:8]
    seeds["truncated_after_header"] = good[:33]
    seeds["truncated_in_data"] = good[: len(good) - 20]
    bad_crc = bytearray(good)
    bad_crc[29] ^= 0xFF  # last byte of the header's CRC
    seeds["corrupt_header_crc"] = bytes(bad_crc)
    sig = b"\x89PNG\r\n\x1a\n"
    ihdr = lambda w, h, d, c: chunk(b"IHDR", struct.pack(">IIBBBBB", w, h, d, c, 0, 0, 0))
    idat = chunk(b"IDAT", zlib.compress(b"\x00" * 64))
    end = chunk(b"IEND", b"")
    seeds["corrupt_zero_width"] = sig + ihdr(0, 4, 8, 2) + idat + end
    seeds["corrupt_huge_size"] = sig + ihdr(0x7FFFFFFF, 0x7FFFFFFF, 8, 6) + idat + end
    seeds["corrupt_depth_for_colour"] = sig + ihdr(4, 4, 4, 2) + idat + end
    seeds["corrupt_palette_missing"] = sig + ihdr(4, 4, 8, 3) + idat + end
    seeds["corrupt_zlib_stream"] = sig + ihdr(4, 4, 8, 2) + chunk(b"IDAT", b"\x78\x9c\xff\xff\x00\x01") + end
    seeds["corrupt_short_rows"] = sig + ihdr(40, 40, 8, 6) + idat + end
    for name, data in seeds.items():
        with open(f"{outdir}/{name}.png", "wb") as f:
            f.write(data)


if __name__ == "__main__":
    main(sys.argv[1])
