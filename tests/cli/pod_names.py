"""End-to-end: names and damaged inputs that used to slip through silently. A texture named like the
track, a model file that is no model and an item name too long for a pod are reported by `check` and
`pod`; a truncated picture is refused; Extract keeps to its folders through links; situation-file
counts do not wrap; a clone of a pod with an empty texture slot packs again cleanly."""
import json
import os
import re
import shutil
import struct
import subprocess
import sys
import tempfile

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "support"))
from clitest import check, run  # noqa: E402
from podfile import pod_items, write_pod  # noqa: E402

here = os.path.dirname(os.path.abspath(__file__))
fixture = os.path.join(here, "..", "fixtures", "cli", "textured.rvk")
work = tempfile.mkdtemp()
path = lambda *names: os.path.join(work, *names)  # noqa: E731
art, models = path("art"), path("models")
os.makedirs(art)
os.makedirs(models)
folders = ["--art", art, "--models", models]


# The fixture's textures and its model, in the art and models folders.
open(path("art", "grass.raw"), "wb").write(bytes([5]) * 4096)
open(path("art", "rock.raw"), "wb").write(bytes([6]) * 4096)
open(path("art", "missing.raw"), "wb").write(bytes([7]) * 4096)
open(path("art", "wood.raw"), "wb").write(bytes([8]) * 4096)
open(path("models", "HUT.bin"), "wb").write(b"this text file is no model")

# A model file that is no model: bad, and not packed.
info = json.loads(run("info", fixture, "--json", *folders).stdout)
check(info["badModels"] == 1, "a file that is no model counts bad: " + repr(info.get("badModels")))
check("Bad model MODELS\\HUT.BIN" in info["loadReport"], info["loadReport"])

# World GRASS with a texture ART\GRASS.RAW.
grass = path("grass.rvk")
renamed = run("components", fixture, "--world", "GRASS", "-o", grass)
check(renamed.returncode == 0, "world renamed: " + renamed.stderr)
report = run("check", grass, *folders)
check(report.returncode == 1 and "Texture ART\\GRASS.RAW has the track's file name" in report.stdout,
      "the completeness report names the texture: " + report.stdout)
pod = path("grass.pod")
built = run("pod", grass, "-o", pod, "--force", *folders)
check(built.returncode == 1, "the build fails: " + built.stderr)
check("Error saving POD file!" in built.stderr, "and says so: " + built.stderr)
check("ART\\GRASS.RAW  -  its name is the track's palette entry" in built.stderr, built.stderr)
check("MODELS\\HUT.BIN  -  the model could not be read" in built.stderr, built.stderr)
items = dict(pod_items(pod))
check(items["ART\\GRASS.RAW"] == bytes(4096), "ART\\GRASS.RAW is the palette placeholder only")
check(items["ART\\ROCK.RAW"] == bytes([6]) * 4096, "the other textures are packed")
check("MODELS\\HUT.BIN" not in items and "WORLD\\GRASS.SIT" in items, "no bad model; the rest is there")

# A truncated TGA is refused and writes nothing.
tga = path("cut.tga")
subprocess.run(["convert", "-size", "64x64", "xc:green", "-orient", "TopLeft", tga], check=True)
whole = open(tga, "rb").read()
open(tga, "wb").write(whole[:len(whole) // 2])
legacy = run("legacy", tga, "-o", path("cut.raw"))
check(legacy.returncode == 2 and "is damaged" in legacy.stderr, "a truncated TGA is refused: " + legacy.stderr)
check(not os.path.exists(path("cut.raw")), "nothing written for it")
open(tga, "wb").write(whole[:18])
header = bytearray(whole[:18])
header[12:16] = struct.pack("<HH", 8192, 8192)
open(tga, "wb").write(bytes(header))
cut = run("cut", tga, "--tile", "64", "--base", "huge", "--art", path("cuts"))
check(cut.returncode != 0 and "is damaged" in cut.stderr, "a bare header of 8192 x 8192 is refused: " + cut.stderr)

# Extract through a link inside the art folder that leads outside it.
outside = path("outside")
os.makedirs(outside)
os.symlink(outside, path("art", "LINK"))
evil = path("evil.pod")
good = pod_items(pod)
write_pod(evil, good + [("ART\\LINK\\EVIL.RAW", b"evil")])
extracted = run("extract", evil, "--yes", *folders)
check(os.listdir(outside) == [], "nothing written through the link")
check("would reach outside the art or models folder" in extracted.stderr, extracted.stderr)

# Situation-file counts of the largest size do not wrap.
sit_name = next(name for name, _ in good if name.startswith("WORLD\\"))
sit = re.sub(rb"\*\*\* (Ramps|Boxes) \*\*\*\r\n\d+\r\n", rb"*** \1 ***\r\n2147483647\r\n", dict(good)[sit_name])
huge = path("huge.pod")
write_pod(huge, [(name, sit if name == sit_name else data) for name, data in good])
viewed = run("view", huge)
check("2147483647 objects could not be kept" in viewed.stderr, "the dropped count stops at the largest: "
      + viewed.stderr)
print("ok")
