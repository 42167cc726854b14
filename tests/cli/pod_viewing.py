"""End-to-end: `ravok-cli view`, `extract` and `clone` on a pod and a game folder made by `ravok-cli pod`."""
import json
import os
import sys
import tempfile

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "support"))
from clitest import check, cli, env, run  # noqa: E402
from podfile import pod_items  # noqa: E402

work = tempfile.mkdtemp()
art = os.path.join(work, "art")
models = os.path.join(work, "models")
os.makedirs(art)
os.makedirs(models)
folders = ["--art", art, "--models", models]


track = os.path.join(work, "t.rvk")
pod = os.path.join(work, "t.pod")
check(run("new", "-o", track).returncode == 0, "new track written")
check(run("pod", track, "-o", pod, "--force", *folders).returncode == 0, "pod written")

viewed = run("view", pod, "--json")
check(viewed.returncode == 0, "view exits 0: " + viewed.stderr)
summary = json.loads(viewed.stdout)
check(summary["format"] == "pod" and summary["podViewMode"] is True, "a viewed pod is view-only")
check(summary["trackName"] == "new track" and summary["worldName"] == "RAVOK", "names read back")
check(run("view", pod, "--track", "1").returncode == 2, "a track number beyond the pod's tracks is refused")
check(run("view", pod, "--track", "x").returncode == 2, "a track number must be a number")

asked = run("extract", pod, *folders)
check(asked.returncode == 1 and os.listdir(art) == [], "without --yes the question is answered No")
extracted = run("extract", pod, *folders, "--yes")
check(extracted.returncode == 0 and sorted(os.listdir(art)) == ["RAVOK.ACT", "RAVOK.RAW"], "art extracted")
again = run("extract", pod, *folders, "--yes")
check("0 written, 2 already there" in again.stdout, "existing files are left: " + again.stdout)

# The pod's items installed loose, in the letter case a Windows installation may leave.
game = os.path.join(work, "Game")
folder_case = {"WORLD": "World", "LEVELS": "levels", "DATA": "Data"}
for name, data in pod_items(pod):
    folder, rest = name.split("\\", 1)
    target = os.path.join(game, folder_case.get(folder, folder.lower()), rest.lower())
    os.makedirs(os.path.dirname(target), exist_ok=True)
    open(target, "wb").write(data)

clone = os.path.join(work, "clone.rvk")
cloned = run("clone", os.path.join(game, "World", "ravok.sit"), "-o", clone, *folders)
check(cloned.returncode == 0, "clone exits 0: " + cloned.stderr)
check("cloned as RAVOK2" in cloned.stdout, "the clone takes the first free number: " + cloned.stdout)
info = json.loads(run("info", clone, "--json").stdout)
check(info["worldName"] == "RAVOK2" and info["game"] == "MTM2", "the clone is an editable MTM2 track file")

os.makedirs(os.path.join(work, "elsewhere"))
stray = os.path.join(work, "elsewhere", "ravok.sit")
open(stray, "wb").write(open(os.path.join(game, "World", "ravok.sit"), "rb").read())
refused = run("clone", stray, "-o", os.path.join(work, "no.rvk"))
check(refused.returncode == 1 and "Error Cloning Track: SIT not in proper location." in refused.stderr,
      "a situation file outside WORLD is refused: " + refused.stderr)
check(not os.path.exists(os.path.join(work, "no.rvk")), "nothing written after a failed clone")
print("ok")
