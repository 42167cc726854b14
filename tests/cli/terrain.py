"""End-to-end: `ravok-cli terrain` (random terrain, greyscale bitmaps in and out, height
adjustment) and `ravok-cli light`, checked through the track summary and the BMP bytes."""
import hashlib
import json
import os
import struct
import sys
import tempfile

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "support"))
from clitest import check, run  # noqa: E402

work = tempfile.mkdtemp()
path = lambda name: os.path.join(work, name)  # noqa: E731
folders = ["--art", path("art"), "--models", path("models")]


def terrain_of(track):
    info = run("info", track, "--json")
    check(info.returncode == 0, "info reads " + track + ": " + info.stderr)
    return json.loads(info.stdout)["terrain"]


def bmp(height, pixel, bits=8, compression=0, cut=0):
    """An 8-bit 256 x 256 BMP file made by hand; pixel(x, row from the top)."""
    header = struct.pack("<IiiHHIIiiII", 40, 256, height, 1, bits, compression, 65536, 1000, 1000, 256, 256)
    palette = b"".join(bytes((i, i, i, 0)) for i in range(256))
    rows = [bytes(pixel(x, row) for x in range(256)) for row in range(256)]
    data = b"".join(rows if height < 0 else reversed(rows))
    block = (header + palette + data)[: len(header + palette + data) - cut]
    return b"BM" + struct.pack("<IHHI", 14 + len(block), 0, 0, 14 + 40 + 1024) + block


def write(name, data):
    with open(path(name), "wb") as f:
        f.write(data)
    return path(name)


flat = path("flat.rvk")
check(run("new", "-o", flat).returncode == 0, "new track written")

# Random terrain: the same seed and sliders give the same map, another seed another.
made = run("terrain", flat, "-o", path("r1.rvk"), "--random", "fractal", "--seed", "7", "--sliders", "100,200,150,10")
check(made.returncode == 0, "random fractal terrain: " + made.stderr)
check("heights" in made.stdout, "the new height range is reported: " + made.stdout)
again = run("terrain", flat, "-o", path("r2.rvk"), "--random", "fractal", "--seed", "7", "--sliders", "100,200,150,10")
check(again.returncode == 0, "random terrain again")
other = run("terrain", flat, "-o", path("r3.rvk"), "--random", "fractal", "--seed", "8", "--sliders", "100,200,150,10")
check(other.returncode == 0, "random terrain with another seed")
first = terrain_of(path("r1.rvk"))
check(first["minHeight"] < first["maxHeight"], "the random map is not flat: %s" % first)
check(first["heightsSha256"] == terrain_of(path("r2.rvk"))["heightsSha256"], "the same seed gives the same map")
check(first["heightsSha256"] != terrain_of(path("r3.rvk"))["heightsSha256"], "another seed another map")
classic = run("terrain", flat, "-o", path("c.rvk"), "--random", "classic", "--seed", "3", "--sliders", "100,50,20,40")
check(classic.returncode == 0, "random classic terrain: " + classic.stderr)
check(terrain_of(path("c.rvk"))["minHeight"] >= 1, "classic heights stay at 1 or more")
level = run("terrain", flat, "-o", path("level.rvk"), "--random", "fractal", "--sliders", "0,255,0,0")
check(terrain_of(path("level.rvk"))["minHeight"] == 127 == terrain_of(path("level.rvk"))["maxHeight"],
      "fractal roughness 0 is flat at 127")

# Bitmap out: the 14-byte file header and the 66,600-byte block holding the heights.
out = run("terrain", path("r1.rvk"), "--bitmap-out", path("r1.bmp"))
check(out.returncode == 0, "bitmap out without -o: " + out.stderr)
data = open(path("r1.bmp"), "rb").read()
check(len(data) == 66614 and data[:2] == b"BM", "a BMP of 14 + 66,600 bytes")
check(struct.unpack("<I", data[10:14])[0] == 1078, "bits at 1078 in the file")
check(struct.unpack("<IiiHHI", data[14:34]) == (40, 256, 256, 1, 8, 0), "an 8-bit bottom-up 256 x 256 header")
check(data[14 + 40:14 + 48] == bytes((0, 0, 0, 0, 1, 1, 1, 0)), "a grey palette")
check(hashlib.sha256(data[1078:]).hexdigest() == first["heightsSha256"], "the bits are the heights")

# ... and back in: the map is unchanged.
back = run("terrain", flat, "-o", path("back.rvk"), "--bitmap-in", path("r1.bmp"))
check(back.returncode == 0, "bitmap in: " + back.stderr)
check(terrain_of(path("back.rvk"))["heightsSha256"] == first["heightsSha256"], "bitmap out and in round-trips")

# A top-down bitmap (negative height) pastes the right way up: its top row is grid row 255.
topdown = write("topdown.bmp", bmp(-256, lambda x, row: 200 if row == 0 else 50))
pasted = run("terrain", flat, "-o", path("td.rvk"), "--bitmap-in", topdown, "--bitmap-out", path("td.bmp"))
check(pasted.returncode == 0, "top-down bitmap in: " + pasted.stderr)
rows = open(path("td.bmp"), "rb").read()[1078:]
check(rows[:256] == bytes([50]) * 256 and rows[-256:] == bytes([200]) * 256,
      "grid row 255 holds the picture's top row")

# Unsuitable bitmaps are refused with the editor's message and change nothing.
message = "Sorry, Bitmap must be un-compressed,\n\t\t\t\t\t8-bit, and 256 x 256 pixels."
for name, data in [("short.bmp", bmp(256, lambda x, row: 9, cut=1)),
                   ("rle.bmp", bmp(256, lambda x, row: 9, compression=1)),
                   ("deep.bmp", bmp(256, lambda x, row: 9, bits=24))]:
    refused = run("terrain", flat, "-o", path("no.rvk"), "--bitmap-in", write(name, data))
    check(refused.returncode == 2, name + " is refused")
    check(message in refused.stderr, name + " gets the message: " + refused.stderr)
    check(not os.path.exists(path("no.rvk")), name + ": no track is written")
check(run("terrain", flat, "-o", path("no.rvk"), "--bitmap-in", write("junk.bmp", b"hello")).returncode == 2,
      "a file that is no BMP is refused")

# Height adjustment of a map from 50 to 200.
two = path("td.rvk")
up = run("terrain", two, "-o", path("up.rvk"), "--adjust-offset", "100", "--avoid-clipping")
check(up.returncode == 0, "adjust offset: " + up.stderr)
t = terrain_of(path("up.rvk"))
check((t["minHeight"], t["maxHeight"]) == (105, 255), "avoid clipping shrinks +100 to +55: %s" % t)
clipped = run("terrain", two, "-o", path("clip.rvk"), "--adjust-offset", "100")
t = terrain_of(path("clip.rvk"))
check((t["minHeight"], t["maxHeight"]) == (150, 255), "without it heights clip at 255: %s" % t)
scaled = run("terrain", two, "-o", path("scaled.rvk"), "--adjust-scale", "2.0", "--avoid-clipping", "--move-objects",
             "--move-water")
check(scaled.returncode == 0, "adjust scale: " + scaled.stderr)
t = terrain_of(path("scaled.rvk"))
check((t["minHeight"], t["maxHeight"]) == (63, 255), "scale 2.0 becomes 1.275: %s" % t)

# Lighting: equal dark and bright levels give one level over the whole map.
lit = run("light", path("r1.rvk"), "-o", path("lit.rvk"), "--dark", "100", "--bright", "100", "--sun", "3", *folders)
check(lit.returncode == 0, "light: " + lit.stderr)
check("light 100..100" in lit.stdout and "sun 0,-46333,46333" in lit.stdout, "reported: " + lit.stdout)
check(terrain_of(path("lit.rvk"))["shadesSha256"] == hashlib.sha256(bytes([100, 0, 0, 0, 0, 0, 0]) * 65536).hexdigest(),
      "every light value is 100 and the other cell bytes 0")
shaded = run("light", path("r1.rvk"), "-o", path("shaded.rvk"), "--dark", "0", "--bright", "255", "--sun", "2",
             "--bias", "30", "--shadow", "100", *folders)
check(shaded.returncode == 0, "light with shadows: " + shaded.stderr)
check("light 8..255" in shaded.stdout, "values stay within 8..255: " + shaded.stdout)
info = json.loads(run("info", path("shaded.rvk"), "--json").stdout)
check(info["terrain"]["heightsSha256"] == first["heightsSha256"], "lighting leaves the heights alone")

# Bad usage.
for args in [["--random", "mountains"], ["--random", "classic", "--seed", "256"], ["--random", "classic", "--sliders", "1,2,3"],
             ["--adjust-offset", "300"], ["--adjust-scale", "101"], ["--adjust-offset", "1", "--adjust-scale", "2"],
             ["--seed", "4"], ["--avoid-clipping"], ["--random", "classic", "--bitmap-in", topdown], []]:
    check(run("terrain", flat, "-o", path("bad.rvk"), *args).returncode == 2, "refused: %s" % args)
check(run("terrain", flat, "--random", "classic").returncode == 2, "a change needs -o")
check(run("light", flat, "-o", path("bad.rvk"), "--sun", "5").returncode == 2, "the sun takes 0..4")
check(run("light", flat).returncode == 2, "light needs -o")
check(run("terrain", "--help").returncode == 0 and run("light", "--help").returncode == 0, "both have --help")
print("ok")
