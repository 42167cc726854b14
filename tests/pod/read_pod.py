"""Reads a pod from its layout alone, with the standard library only, and
compares it with the items a test put in.

Usage: read_pod.py POD EXPECTED.json
EXPECTED.json: {"comment": text, "items": [{"name": text, "hex": bytes as hex}]}
"""
import json
import struct
import sys


def fail(what):
    print("FAILED:", what)
    sys.exit(1)


pod = open(sys.argv[1], "rb").read()
expected = json.load(open(sys.argv[2]))

count, = struct.unpack_from("<I", pod, 0)
comment = pod[4:84].split(b"\0", 1)[0].decode("latin-1")
if comment != expected["comment"]:
    fail("comment %r, expected %r" % (comment, expected["comment"]))
if count != len(expected["items"]):
    fail("count %d, expected %d" % (count, len(expected["items"])))

next_offset = 84 + 40 * count
for i, want in enumerate(expected["items"]):
    raw_name, size, offset = struct.unpack_from("<32sII", pod, 84 + 40 * i)
    if raw_name[31] != 0:
        fail("entry %d: name not terminated within 32 bytes" % i)
    name = raw_name.split(b"\0", 1)[0].decode("latin-1")
    if raw_name[len(name):] != b"\0" * (32 - len(name)):
        fail("entry %d: name not zero-padded" % i)
    if name != want["name"]:
        fail("entry %d: name %r, expected %r" % (i, name, want["name"]))
    if offset != next_offset:
        fail("entry %d: offset %d, expected %d (items back to back)" % (i, offset, next_offset))
    data = pod[offset:offset + size]
    if data.hex() != want["hex"]:
        fail("entry %d (%s): bytes differ" % (i, name))
    next_offset = offset + size
if next_offset != len(pod):
    fail("pod is %d bytes, items end at %d" % (len(pod), next_offset))
print("ok: %d items" % count)
