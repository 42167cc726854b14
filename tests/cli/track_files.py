"""End-to-end: `ravok-cli info --new` prints the summaries of new MTM2 and MTM1 tracks."""
import json
import os
import sys
import tempfile

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "support"))
from clitest import check, cli, env, run  # noqa: E402



mtm2 = run("info", "--new", "--json")
check(mtm2.returncode == 0, "info --new --json exits 0: " + mtm2.stderr)
s = json.loads(mtm2.stdout)
check(s["format"] == "new" and s["game"] == "MTM2", "new MTM2 track")
check(s["fogMap"] is True and s["fogMapFirstByte"] == 0, "default fog map, first byte 0")
check(s["paletteName"] == "", "palette name empty")
check(s["pictures"]["browse"] > 257 * 210 and s["pictures"]["icon"] > 32 * 24, "default pictures present")
check(s["trackName"] == "new track" and s["worldName"] == "RAVOK", "default names")
check(s["counts"]["objects"] == 0 and s["terrain"]["minHeight"] == 100 == s["terrain"]["maxHeight"], "empty flat track")
check(len(s["terrain"]["heightsSha256"]) == 64, "terrain hashes")

mtm1 = json.loads(run("info", "--new", "--mtm1", "--json").stdout)
check(mtm1["game"] == "MTM1" and mtm1["paletteName"] == "ART\\METALCR2.ACT", "MTM1 palette")
check(mtm1["fogMap"] is False and mtm1["fogMapFirstByte"] is None, "no MTM1 fog map")
check(mtm1["pictures"]["browse"] == 0 and mtm1["pictures"]["icon"] == 0, "no MTM1 pictures")

text = run("info", "--new")
check(text.returncode == 0 and "game: \"MTM2\"" in text.stdout, "text summary")
check(run("info").returncode == 2, "info without a track is bad usage")
check(run("info", "--new", "--bogus").returncode == 2, "unknown option is bad usage")
check(run("frobnicate").returncode == 2, "unknown command is bad usage")
check(run("--help").returncode == 0 and "info" in run("--help").stdout, "--help")
check(run("info", "--help").returncode == 0, "info --help")
check(run("--version").stdout.startswith("ravok-cli "), "--version")

# new, info FILE and resave through track files.
folder = tempfile.mkdtemp()
first, second = os.path.join(folder, "a.rvk"), os.path.join(folder, "b.rvk")
check(run("new", "-o", first).returncode == 0, "new -o")
info = json.loads(run("info", first, "--json").stdout)
check(info["format"] == "rvk" and info["version"] == 2 and info["game"] == "MTM2", "info of a new track file")
check(info["fogMapFirstByte"] == 0 and info["pictures"]["browse"] == s["pictures"]["browse"], "fog map and pictures kept")
check(run("resave", first, "-o", second).returncode == 0, "resave")
check(open(first, "rb").read() == open(second, "rb").read(), "resave writes the same bytes")
check(run("new", "--mtm1", "-o", second).returncode == 0, "new --mtm1")
check(json.loads(run("info", second, "--json").stdout)["game"] == "MTM1", "MTM1 file")
bad = os.path.join(folder, "bad.rvk")
open(bad, "wb").write(b"RAVOKV99\0\0")
broken = run("info", bad)
check(broken.returncode == 2 and "Error loading rvk file" in broken.stderr, "bad file refused with the message")
before = open(first, "rb").read()
check(run("resave", bad, "-o", first).returncode == 2, "resave of a bad file is refused")
check(open(first, "rb").read() == before, "the existing output file is untouched")
print("ok")
