"""Builds track files for the end-to-end scripts: a new track's file with objects and a main
course put in."""
import struct

from clitest import check


def lstring_end(data, pos):
    return pos + 1 + data[pos]


def lstring(text):
    raw = text.encode() + b"\0"
    return bytes([len(raw)]) + raw


def object_record(x, y, z, kind, sequence=0, model="", above=0):
    """A version 2 object record: position, angles and size, motion, type words, no sounds."""
    record = struct.pack("<3i", x, y, z)
    record += struct.pack("<3f3if", 0.0, 0.0, 1.5707964, 64, 32, 20, 0.0)
    record += struct.pack("<6f", *([0.0] * 6))
    record += struct.pack("<5i", kind, 0, 1, sequence, above)
    record += struct.pack("<IHH", 0, 0, 0)
    return record + lstring(model)


def with_objects_and_course(path, objects, segments):
    """The track file with its (empty) object table and courses replaced."""
    data = open(path, "rb").read()
    check(data[:7] == b"RAVOKV2", "a version 2 track file to build on")
    pos = 10
    for _ in range(4):  # comment, world name, track name, locale
        pos = lstring_end(data, pos)
    pos += 5 * 4
    for _ in range(4):  # browse, icon, music, description
        (size,) = struct.unpack_from("<I", data, pos)
        pos += 4 + size
    pos = lstring_end(data, pos) + 768  # palette
    (textures,) = struct.unpack_from("<i", data, pos)
    pos += 4
    for _ in range(max(textures, 0)):
        pos = lstring_end(data, pos) + 12
    (models,) = struct.unpack_from("<i", data, pos)
    pos += 4
    for _ in range(max(models, 0)):
        pos = lstring_end(data, pos)
    check(data[pos:pos + 12] == b"\0" * 12, "a new track has no objects and no courses")
    middle = struct.pack("<I", len(objects)) + b"".join(objects)
    middle += struct.pack("<I", len(segments))
    for start, end, limit in segments:
        middle += struct.pack("<10i", *start, *end, limit, 16, 0, 0)
    middle += struct.pack("<I", 0)
    return data[:pos] + middle + data[pos + 12:]
