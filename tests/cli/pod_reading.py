"""End-to-end: `ravok-cli pod-ls`, `tracks` and `sit` on pods written here by hand."""
import json
import os
import subprocess
import sys
import tempfile

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "support"))
from podfile import write_pod  # noqa: E402

cli = sys.argv[1]
fixtures = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "fixtures", "cli")
work = tempfile.mkdtemp()
env = dict(os.environ, XDG_CONFIG_HOME=tempfile.mkdtemp(), HOME=tempfile.mkdtemp())


def run(*args):
    return subprocess.run([cli, *args], capture_output=True, env=env)


def check(condition, what):
    if not condition:
        print("FAILED:", what)
        sys.exit(1)


def sit(name):
    return b"x.lvl\r\n!Race Track Name\r\n" + name + b"\r\n"


pod = os.path.join(work, "tracks.pod")
write_pod(pod, [("WORLD\\CANYON01.SIT", sit(b"Canyon One")), ("ART\\ROCK.RAW", b"\1" * 4096),
                ("WORLD\\CANYON02.SI2", sit(b"Canyon Two")), ("WORLD\\BROKEN.SIT", b"x")],
          comment=b"hand made", bad_offset_for="WORLD\\BROKEN.SIT")

listing = run("pod-ls", pod, "--json")
check(listing.returncode == 0, "pod-ls exits 0: " + listing.stderr.decode())
d = json.loads(listing.stdout)
check(d["comment"] == "hand made", "comment read")
check([i["name"] for i in d["items"]] == ["WORLD\\CANYON01.SIT", "ART\\ROCK.RAW", "WORLD\\CANYON02.SI2",
                                          "WORLD\\BROKEN.SIT"], "names in directory order")
check(d["items"][1]["size"] == 4096 and d["items"][1]["offset"] == 84 + 160 + len(sit(b"Canyon One")),
      "size and absolute offset")
check(d["items"][3]["fits"] is False and d["items"][0]["fits"] is True, "entries past the end are flagged")
text = run("pod-ls", pod).stdout.decode()
check("ART\\ROCK.RAW" in text and "4096" in text and "past the end" in text, "text listing")

tracks = run("tracks", pod)
check(tracks.returncode == 0, "tracks exits 0")
out = tracks.stdout.decode()
check("CANYON01" in out and "Canyon One" in out and "Canyon Two" in out, "display names and stems")
check("Track naming warning:" in out and 'Tracks "CANYON01" and "CANYON02" share their first 7 characters' in out,
      "7-character warning")
check("BROKEN" in out, "a situation item with a bad offset is still listed")

empty = os.path.join(work, "art.pod")
write_pod(empty, [("ART\\ROCK.RAW", b"\1" * 4096)])
none = run("tracks", empty)
check(none.returncode == 1 and b"Cant find tracks in POD file!" in none.stderr, "no tracks")

zero = os.path.join(work, "zero.pod")
write_pod(zero, [])
check(run("pod-ls", zero).returncode == 2, "a pod of count 0 does not open")
check(run("pod-ls", os.path.join(work, "absent.pod")).returncode == 2, "a missing pod is unreadable input")

situation = run("sit", os.path.join(fixtures, "textured.rvk"))
check(situation.returncode == 0, "sit exits 0: " + situation.stderr.decode())
lines = situation.stdout.split(b"\r\n")
check(lines[0].endswith(b".lvl") and lines[1] == b"!Race Track Name", "situation header")
check(b"*** Your Truck (Not used anymore) ***" in lines and b"*** Stadium ***" in lines, "sections")
check(situation.stdout.endswith(b"\r\n"), "CR LF line ends")
