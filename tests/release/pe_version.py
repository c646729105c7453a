"""Prints the version resource of a Windows module, decoded from the file's
bytes: `fixed=A.B.C.D` (the binary VS_FIXEDFILEINFO file version), then one
`KEY=VALUE` line per string of its StringFileInfo table. Exit 1 without one."""
import struct
import sys


def resource_section(pe):
    header = struct.unpack_from("<I", pe, 0x3C)[0]
    assert pe[header:header + 4] == b"PE\0\0", "not a PE file"
    sections, optional_size = struct.unpack_from("<H12xH", pe, header + 6)
    optional = header + 24
    magic = struct.unpack_from("<H", pe, optional)[0]
    directories = optional + (96 if magic == 0x10B else 112)
    resource_rva = struct.unpack_from("<I", pe, directories + 2 * 8)[0]
    table = optional + optional_size
    for i in range(sections):
        size, rva, _, offset = struct.unpack_from("<IIII", pe, table + 40 * i + 8)
        if rva <= resource_rva < rva + max(size, 1):
            return rva, offset, resource_rva - rva + offset
    raise SystemExit("no resource section")


def first_entry(pe, directory, root, wanted=None):
    """Offset of the data (or subdirectory) of the first entry with id `wanted`."""
    named, ids = struct.unpack_from("<12xHH", pe, directory)
    for i in range(named + ids):
        name, target = struct.unpack_from("<II", pe, directory + 16 + 8 * i)
        if wanted is None or name == wanted:
            return root + (target & 0x7FFFFFFF), bool(target & 0x80000000)
    raise SystemExit("no version resource")


def version_block(pe):
    rva, offset, root = resource_section(pe)
    node, is_directory = first_entry(pe, root, root, 16)  # RT_VERSION
    while is_directory:  # name, then language
        node, is_directory = first_entry(pe, node, root)
    data_rva, size = struct.unpack_from("<II", pe, node)
    start = data_rva - rva + offset
    return pe[start:start + size]


def walk(block, at, end, found):
    """One VS_VERSIONINFO-style node: length, value length, type, key, value, children."""
    length, value_length, value_type = struct.unpack_from("<HHH", block, at)
    key_end = at + 6
    while block[key_end:key_end + 2] != b"\0\0":
        key_end += 2
    key = block[at + 6:key_end].decode("utf-16-le")
    value_at = (key_end + 2 + 3) & ~3
    value_size = value_length * 2 if value_type == 1 else value_length
    value = block[value_at:value_at + value_size]
    if key == "VS_VERSION_INFO":
        signature, _, ms, ls = struct.unpack_from("<IIII", value)
        assert signature == 0xFEEF04BD, "bad fixed file info"
        found.append(f"fixed={ms >> 16}.{ms & 0xFFFF}.{ls >> 16}.{ls & 0xFFFF}")
    elif value_type == 1 and value_length:
        found.append(f"{key}={value.decode('utf-16-le').rstrip(chr(0))}")
    child = (value_at + value_size + 3) & ~3
    while child < min(at + length, end):
        child_length = struct.unpack_from("<H", block, child)[0]
        if child_length == 0:
            break
        walk(block, child, at + length, found)
        child = (child + child_length + 3) & ~3


if __name__ == "__main__":
    block = version_block(open(sys.argv[1], "rb").read())
    lines = []
    walk(block, 0, len(block), lines)
    print("\n".join(lines))
