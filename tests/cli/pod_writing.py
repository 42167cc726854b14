"""End-to-end: `ravok-cli check` and `ravok-cli pod`, read back with `pod-ls` and `tracks`."""
import json
import os
import sys
import tempfile

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "support"))
from clitest import check, cli, env, run  # noqa: E402

work = tempfile.mkdtemp()
art = os.path.join(work, "art")
models = os.path.join(work, "models")
os.makedirs(art)
os.makedirs(models)


track = os.path.join(work, "t.rvk")
pod = os.path.join(work, "t.pod")
folders = ["--art", art, "--models", models]
check(run("new", "-o", track).returncode == 0, "new track written")

report = run("check", track, *folders)
check(report.returncode == 1, "a new track is incomplete")
check(report.stdout.splitlines()[:3] == ["The following errors were detected:", "Track name not specified.",
                                         "Music MOD/WAV not specified."], "report lines in order: " + report.stdout)

refused = run("pod", track, "-o", pod, *folders)
check(refused.returncode == 1 and not os.path.exists(pod), "an incomplete track is not written without --force")
check("Track name not specified." in refused.stderr, "the report is shown")

built = run("pod", track, "-o", pod, "--force", *folders)
check(built.returncode == 0, "pod --force exits 0: " + built.stderr)
check("0 KB of model art and 0 KB of terrain" in built.stdout, "fallback estimate printed")
check("Writing POD..." in built.stderr, "progress on standard error")

listing = json.loads(run("pod-ls", pod, "--json").stdout)
names = [item["name"] for item in listing["items"]]
check(names[:2] == ["ART\\RAVOK.ACT", "ART\\RAVOK.RAW"], "palette first: " + repr(names[:3]))
check("LEVELS\\RAVOK.LVL" in names and names[-2:] == ["WORLD\\RAVOK.SIT", "DATA\\RAVOK.RVV"], "game files")
offset = 84 + 40 * len(names)
for item in listing["items"]:
    check(item["offset"] == offset, "items back to back at " + item["name"])
    offset += item["size"]
check(offset == os.path.getsize(pod), "pod ends with its last item")

tracks = run("tracks", pod)
check(tracks.returncode == 0 and "RAVOK" in tracks.stdout and "new track" in tracks.stdout, "track listed")

omitted = run("pod", track, "-o", os.path.join(work, "o.pod"), "--force", "--omit-fallback", "--keep-fallback")
check(omitted.returncode == 2, "the two fallback options exclude each other")
