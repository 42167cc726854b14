"""End-to-end: `ravok-cli render` writes a PNG of the size asked for, and refuses bad options."""
import os
import struct
import zlib
import sys
import tempfile

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "support"))
from clitest import check, cli, env, run  # noqa: E402
from trackfile import with_objects_and_course  # noqa: E402

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


def rgb_pixels(path):
    """The pixels of an 8-bit RGB PNG as (r, g, b) tuples, rows top first."""
    data = open(path, "rb").read()
    width, height, depth, kind = struct.unpack(">IIBB", data[16:26])
    check((depth, kind) == (8, 2), "an 8-bit RGB PNG")
    pos, packed = 8, b""
    while pos < len(data):
        (size,) = struct.unpack(">I", data[pos:pos + 4])
        if data[pos + 4:pos + 8] == b"IDAT":
            packed += data[pos + 8:pos + 8 + size]
        pos += 12 + size
    raw, stride, rows, above = zlib.decompress(packed), width * 3, [], bytearray(width * 3)
    for y in range(height):
        line = raw[y * (stride + 1):(y + 1) * (stride + 1)]
        kind, row = line[0], bytearray(line[1:])
        for i in range(stride):
            left = row[i - 3] if i >= 3 else 0
            up, corner = above[i], above[i - 3] if i >= 3 else 0
            if kind == 1:
                row[i] = (row[i] + left) & 255
            elif kind == 2:
                row[i] = (row[i] + up) & 255
            elif kind == 3:
                row[i] = (row[i] + (left + up) // 2) & 255
            elif kind == 4:
                p = left + up - corner
                near = min((abs(p - left), 0, left), (abs(p - up), 1, up), (abs(p - corner), 2, corner))
                row[i] = (row[i] + near[2]) & 255
        rows.append(row)
        above = row
    return [tuple(r[i:i + 3]) for r in rows for i in range(0, stride, 3)]


# --course draws the main course over the picture, as the course mode shows it.
coursed = os.path.join(work, "course.rvk")
main = [((1000, 1000, 100), (2000, 1000, 100), 0), ((2000, 1000, 100), (2000, 2000, 101), 0)]
open(coursed, "wb").write(with_objects_and_course(track, [], main))
above_course = ["--size", "200x150", "--camera", "1500,1500,3000,0,1800", "--grid", "64", *folders]
plain_png, course_png = os.path.join(work, "plain.png"), os.path.join(work, "course.png")
check(run("render", coursed, "-o", plain_png, *above_course).returncode == 0, "the track without its course")
shown = run("render", coursed, "-o", course_png, "--course", *above_course)
check(shown.returncode == 0, "render --course exits 0: " + shown.stderr)


def red(pixels):
    return sum(1 for r, g, b in pixels if r > 180 and g < 90 and b < 90)


plain_red, course_red = red(rgb_pixels(plain_png)), red(rgb_pixels(course_png))
check(course_red > 100 and plain_red < course_red // 10,
      "the course's red lines show only with --course (%d and %d red pixels)" % (plain_red, course_red))
check(run("render", coursed, "-o", course_png, "--extended", "1").returncode == 2, "--extended needs --course")
check(run("render", coursed, "-o", course_png, "--course", "--extended", "5").returncode == 2,
      "an extended course is 1 to 4")
print("ok")
