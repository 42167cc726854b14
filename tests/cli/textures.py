"""End-to-end: `ravok-cli cut` cuts a picture into tiles in an art folder, and `ravok-cli palette
--optimise` writes the optimised palette of a track's textures as .PAL and .ACT."""
import os
import struct
import subprocess
import sys
import tempfile

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "support"))
from clitest import check, run  # noqa: E402

here = os.path.dirname(os.path.abspath(__file__))
work = tempfile.mkdtemp()
path = lambda *names: os.path.join(work, *names)  # noqa: E731
art = path("art")
os.makedirs(art)

# A 1000 x 600 picture to cut.
picture = path("big.png")
subprocess.run(["convert", "-seed", "5", "-size", "1000x600", "plasma:fractal", picture], check=True)

two = run("cut", picture, "--tile", "256", "--base", "base", "--cols", "2", "--rows", "2", "--format", "png",
          "--art", art)
check(two.returncode == 0, "2 x 2 tiles cut: " + two.stderr)
check("4 textures, BASE00 to BASE11." in two.stdout, "the summary line: " + two.stdout)
for name in ("BASE00", "BASE10", "BASE01", "BASE11"):
    check(os.path.exists(os.path.join(art, name + ".PNG")), name + ".PNG written")
    check(os.path.getsize(os.path.join(art, name + ".RAW")) == 256 * 256, name + ".RAW legacy copy of 256 x 256")
    check(os.path.getsize(os.path.join(art, name + ".ACT")) == 768, name + ".ACT beside it")
size = subprocess.run(["identify", "-format", "%wx%h", os.path.join(art, "BASE11.PNG")], capture_output=True,
                      text=True, check=True).stdout
check(size == "256x256", "a tile is 256 x 256: " + size)

# The same base name again: refused before anything is written.
before = sorted(os.listdir(art))
again = run("cut", picture, "--tile", "64", "--base", "BASE", "--format", "raw", "--art", art)
check(again.returncode == 1, "a used base name fails")
check("is already in the art folder." in again.stderr and "Nothing has been written." in again.stderr,
      "the message: " + again.stderr)
check(sorted(os.listdir(art)) == before, "nothing was written")

# Four columns run off the edge; raw output does not offer 128.
off = run("cut", picture, "--tile", "256", "--base", "wide", "--cols", "4", "--rows", "1", "--art", art)
check(off.returncode == 1 and "The last tile runs off the edge of the image." in off.stderr, off.stderr)
small = run("cut", picture, "--tile", "128", "--base", "raw", "--format", "raw", "--art", art)
check(small.returncode == 2 and "offered: 32, 64, 256" in small.stderr, small.stderr)

# Raw tiles with border overlap: 64-pixel tiles step 60, so 16 x 9 tiles fit (capped at 16 across).
over = run("cut", picture, "--tile", "64", "--base", "gr", "--format", "raw", "--overlap", "--art", art)
check(over.returncode == 0, "overlapping raw tiles: " + over.stderr)
check("144 textures, GR00 to GRF8." in over.stdout, over.stdout)
check(os.path.getsize(os.path.join(art, "GRF8.RAW")) == 4096 and not os.path.exists(os.path.join(art, "GRF8.PNG")),
      "raw tiles only")

# A new track has no textures: there is nothing to build a palette from.
track = path("t.rvk")
check(run("new", "-o", track).returncode == 0, "new track")
pal = run("palette", track, "--optimise", "-o", path("opt.pal"), "--art", path("empty"), "--models", path("models"))
check(pal.returncode == 1 and "Error calculating palette!" in pal.stderr, "no texture read: " + pal.stderr)

# The fixture track's GRASS.RAW is given the picture of a tile.
fixture = os.path.join(here, "..", "fixtures", "cli", "textured.rvk")
textured = os.path.join(art, "GRASS.RAW")
with open(os.path.join(art, "BASE00.RAW"), "rb") as f, open(textured, "wb") as g:
    g.write(f.read())
with open(os.path.join(art, "BASE00.ACT"), "rb") as f, open(os.path.join(art, "GRASS.ACT"), "wb") as g:
    g.write(f.read())
pal = run("palette", fixture, "--optimise", "-o", path("opt.pal"), "--art", art, "--models", path("models"))
check(pal.returncode == 0, "palette of the textured track: " + pal.stderr)
data = open(path("opt.pal"), "rb").read()
check(len(data) == 1052 and data[:4] == b"RIFF" and data[8:16] == b"PAL data", "a RIFF palette")
check(struct.unpack("<IHH", data[16:24]) == (1032, 0x0300, 256), "its header")
entries = [tuple(data[24 + 4 * i:27 + 4 * i]) for i in range(256)]
check(entries[0] == (0, 0, 0) and entries[255] == (255, 255, 255), "reserved colours at both ends")
check(entries[10] == (63, 0, 0) and entries[37] == (255, 255, 255), "the primaries at 10..37")
check(len(set(entries[38:246])) > 100, "the picture's colours fill the free entries")
act = run("palette", fixture, "--optimise", "-o", path("opt.act"), "--art", art, "--models", path("models"))
check(act.returncode == 0, "palette as .ACT")
act_data = open(path("opt.act"), "rb").read()
check(len(act_data) == 768 and [tuple(act_data[3 * i:3 * i + 3]) for i in range(256)] == entries,
      "the same palette as an .ACT")
check(run("palette", fixture, "-o", path("x.act")).returncode == 2, "--optimise is needed")
print("ok")
