"""End-to-end: `ravok-cli render` writes a PNG of the size asked for, and refuses bad options."""
import os
import struct
import sys
import tempfile

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "support"))
from clitest import check, cli, env, run  # noqa: E402

work = tempfile.mkdtemp()
folders = ["--art", os.path.join(work, "art"), "--models", os.path.join(work, "models")]


track = os.path.join(work, "t.rvk")
check(run("new", "-o", track).returncode == 0, "new track written")
png = os.path.join(work, "t.png")
drawn = run("render", track, "-o", png, "--size", "320x200", *folders)
check(drawn.returncode == 0, "render exits 0: " + drawn.stderr)
data = open(png, "rb").read()
check(data[:8] == b"\x89PNG\r\n\x1a\n", "a PNG is written")
check(struct.unpack(">II", data[16:24]) == (320, 200), "of the size asked for")
check("triangles drawn" in drawn.stdout and not drawn.stdout.startswith(png + ": 320x200, 0 "),
      "the terrain is drawn: " + drawn.stdout)
above = run("render", track, "-o", png, "--camera", "8192,8192,2000,0,1800", "--grid", "32", "--wire", *folders)
check(above.returncode == 0, "a camera of its own: " + above.stderr)
check(run("render", track, "-o", png, "--size", "10x10").returncode == 2, "a tiny size is refused")
check(run("render", track, "-o", png, "--camera", "1,2,3").returncode == 2, "a camera needs five numbers")
print("ok")
