"""Pods read and written by hand for the end-to-end scripts: a count, an 80-byte comment,
40-byte entries (32-byte name, size, offset), then the items."""
import struct

HEADER_BYTES, ENTRY_BYTES = 84, 40


def pod_items(path):
    """The (name, bytes) items of a pod, in directory order."""
    data = open(path, "rb").read()
    (count,) = struct.unpack_from("<i", data, 0)
    items = []
    for i in range(count):
        name, size, offset = struct.unpack_from("<32sII", data, HEADER_BYTES + ENTRY_BYTES * i)
        items.append((name.split(b"\0")[0].decode(), data[offset:offset + size]))
    return items


def write_pod(path, items, comment=b"", bad_offset_for=None):
    """items: (name, bytes), back to back; the entry named bad_offset_for claims an offset
    past the end."""
    offset = HEADER_BYTES + ENTRY_BYTES * len(items)
    out = struct.pack("<I", len(items)) + comment.ljust(80, b"\0")
    for name, data in items:
        claimed = 0xFFFFFF00 if name == bad_offset_for else offset
        out += name.encode().ljust(32, b"\0") + struct.pack("<II", len(data), claimed)
        offset += len(data)
    out += b"".join(data for _, data in items)
    with open(path, "wb") as f:
        f.write(out)
