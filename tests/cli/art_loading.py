"""End-to-end: `ravok-cli info --art --models` loads a track's art and reports what is
missing; `ravok-cli legacy` builds a .RAW and .ACT from an HD picture."""
import json
import os
import struct
import subprocess
import sys
import tempfile

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "support"))
from clitest import check, cli, env, run  # noqa: E402

here = os.path.dirname(os.path.abspath(__file__))
track = os.path.join(here, "..", "fixtures", "cli", "textured.rvk")


folder = tempfile.mkdtemp()
art, models = os.path.join(folder, "Art"), os.path.join(folder, "Models")
os.makedirs(art)
os.makedirs(models)
open(os.path.join(art, "grass.raw"), "wb").write(bytes(64 * 64))  # lower case on disk
subprocess.run(["convert", "-seed", "2", "-size", "256x256", "plasma:fractal", os.path.join(art, "Rock.png")],
               check=True)
# A BIN model of one vertex and one facet textured with WOOD.RAW (not in the art folder).
hut = struct.pack("<5i", 20, 0, 0, 0, 1) + struct.pack("<3i", 0, 0, 0)
hut += struct.pack("<2i", 13, 0) + b"wood.raw".ljust(16, b"\0")
hut += struct.pack("<6i", 14, 1, 0, 0, 0, 0) + struct.pack("<3i", 0, 0, 0) + struct.pack("<i", 0)
open(os.path.join(models, "HUT.bin"), "wb").write(hut)

loaded = run("info", track, "--json", "--art", art, "--models", models)
check(loaded.returncode == 0, "info with art exits 0: " + loaded.stderr)
s = json.loads(loaded.stdout)
check(s["badTextures"] == 2 and s["badModels"] == 0, "one missing terrain texture, one missing model texture")
check(s["loadReport"] == "Bad texture ART\\MISSING.RAW\r\nBad model MODELS\\HUT.BIN\r\n    WOOD.RAW\r\n",
      "the report: " + repr(s["loadReport"]))
check("Error loading texture(s)" in loaded.stderr and "Error loading model(s)" in loaded.stderr, "captions")
check(s["counts"]["modelTextures"] == 1, "the model's texture slot")

plain = json.loads(run("info", track, "--json").stdout)
check("loadReport" not in plain, "no art loaded without --art or --models")

out = os.path.join(folder, "ROCK.RAW")
legacy = run("legacy", os.path.join(art, "Rock.png"), "-o", out)
check(legacy.returncode == 0, "legacy exits 0: " + legacy.stderr)
check(os.path.getsize(out) == 256 * 256 and os.path.getsize(os.path.join(folder, "ROCK.ACT")) == 768,
      "256 x 256 indices and a palette")
model = run("legacy", os.path.join(art, "Rock.png"), "-o", os.path.join(folder, "m.raw"), "--model")
check(model.returncode == 0 and os.path.exists(os.path.join(folder, "m.act")), "model texture")

subprocess.run(["convert", "-size", "48x48", "xc:red", os.path.join(folder, "odd.png")], check=True)
odd = run("legacy", os.path.join(folder, "odd.png"), "-o", os.path.join(folder, "odd.raw"))
check(odd.returncode == 2 and "must be a power of two" in odd.stderr, "size rules refuse: " + odd.stderr)
check(not os.path.exists(os.path.join(folder, "odd.raw")), "nothing written for a refused picture")
check(run("legacy", "-o", out).returncode == 2, "legacy without a picture is bad usage")
print("ok")
