"""End-to-end: `ravok-cli objects` lists what a track holds, `ravok-cli course --generate` derives an
extended course from the main one."""
import json
import os
import struct
import sys
import tempfile

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "support"))
from clitest import check, run  # noqa: E402
from trackfile import object_record, with_objects_and_course  # noqa: E402

work = tempfile.mkdtemp()


empty = os.path.join(work, "empty.rvk")
check(run("new", "-o", empty).returncode == 0, "new track written")
track = os.path.join(work, "course.rvk")
objects = [object_record(1000, 2000, 100, 6), object_record(1500, 2500, 100, 99),
           object_record(3000, 3000, 103, 0, model="TREE.BIN", above=3)]
main = [((1000, 1000, 100), (2000, 1000, 100), 50), ((2000, 1000, 100), (2000, 2000, 101), 0),
        ((2000, 2000, 101), (1000, 2000, 100), 0)]
open(track, "wb").write(with_objects_and_course(empty, objects, main))

listed = run("objects", track, "--json")
check(listed.returncode == 0, "objects --json exits 0: " + listed.stderr)
j = json.loads(listed.stdout)
check([o["typeName"] for o in j["objects"]] == ["Checkpoint", "Ramp", "Default"], "the types by name")
check(j["objects"][0]["sequence"] == 0 and "sequence" not in j["objects"][1], "checkpoints carry their number")
check(j["objects"][2]["model"] == "TREE.BIN" and j["objects"][2]["aboveGround"] == 3, "model and height above ground")
check(abs(j["objects"][0]["heading"] - 90.0) < 0.01, "heading in degrees")
check(len(j["courses"]) == 1 and j["courses"][0]["course"] == 0, "only the main course exists")
first = j["courses"][0]["segments"][0]
check(first["start"] == [1000, 1000, 100] and first["end"] == [2000, 1000, 100], "segment points")
check(first["speedLimit"] == 25 and first["speedLimitStored"] == 50, "speed limits shown halved")
check(len(j["trucks"]) == 9 and j["trucks"][1]["truckFile"] == "bigfoot.trk", "the nine truck starts")

text = run("objects", track)
check(text.returncode == 0 and "CP 00" in text.stdout and "main (0): 3 segments" in text.stdout,
      "text listing: " + text.stdout)
check("speed limit 25" in text.stdout and "box 64 x 32 x 20" in text.stdout, "limits and box sizes in the text")

one = os.path.join(work, "one.rvk")
made = run("course", track, "-o", one, "--generate", "1", "--seed", "7")
check(made.returncode == 0 and made.stderr == "", "course --generate exits 0: " + made.stderr)
out = os.path.join(work, "generated.rvk")
check(run("course", one, "-o", out, "--generate", "2").returncode == 0, "a second extended course")
g = json.loads(run("objects", out, "--json").stdout)
check([c["course"] for c in g["courses"]] == [0, 1, 2], "courses 1 and 2 beside the main course")
check(g["courses"][1]["segments"] != g["courses"][2]["segments"], "each drawn anew")
derived = g["courses"][2]["segments"]
check(len(derived) == 3, "one segment per main segment")
for m, d in zip(g["courses"][0]["segments"], derived):
    for point in ("start", "end"):
        check(all(-7 <= d[point][i] - m[point][i] <= 8 for i in (0, 1)), "x and y moved by -7..8")
        check(d[point][2] == m[point][2], "heights copied")
    check(d["speedLimitStored"] == m["speedLimitStored"] and d["width"] == m["width"], "limits and widths copied")
check(json.loads(run("info", out, "--json").stdout)["counts"]["extendedCourses"] == 2, "info counts them")
again = os.path.join(work, "again.rvk")
run("course", track, "-o", again, "--generate", "1", "--seed", "7")
check(open(again, "rb").read() == open(one, "rb").read(), "the same seed gives the same course")
skipped = run("course", track, "-o", again, "--generate", "3")
check(skipped.returncode == 0 and "keeps this one as course 1" in skipped.stderr,
      "a course above absent ones is written, with the warning: " + skipped.stderr)

refused = run("course", empty, "-o", os.path.join(work, "none.rvk"), "--generate", "1")
check(refused.returncode == 1 and "main course has no segments" in refused.stderr, "an empty main course: nothing")
check(not os.path.exists(os.path.join(work, "none.rvk")), "and nothing written")
check(run("course", track, "-o", out, "--generate", "0").returncode == 2, "course 0 is the main course itself")
check(run("course", track, "-o", out, "--generate", "5").returncode == 2, "there are four extended courses")
check(run("course", track, "--generate", "1").returncode == 2, "-o is needed")
check(run("objects").returncode == 2 and run("objects", track, "--bogus").returncode == 2, "bad usage")
check(run("objects", os.path.join(work, "missing.rvk")).returncode == 2, "an unreadable track")
check(run("objects", "--help").returncode == 0 and run("course", "--help").returncode == 0, "--help")
print("ok")
