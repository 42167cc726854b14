"""End-to-end: `ravok-cli components` sets a track's names, race settings, pictures with HD art, music and
info pop-up with the dialog's rules, refuses what the dialog refuses and prints the status texts."""
import json
import os
import struct
import sys
import tempfile
import zlib

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "support"))
from clitest import check, run  # noqa: E402

work = tempfile.mkdtemp()


def path(name):
    return os.path.join(work, name)


def png(name, w, h):
    """A PNG of a red-to-blue ramp, made with the standard library."""
    def chunk(tag, data):
        return struct.pack(">I", len(data)) + tag + data + struct.pack(">I", zlib.crc32(tag + data))
    rows = b"".join(b"\0" + bytes(v for x in range(w) for v in (255 * x // w, 40, 255 - 255 * x // w))
                    for _ in range(h))
    data = b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", struct.pack(">IIBBBBB", w, h, 8, 2, 0, 0, 0))
    data += chunk(b"IDAT", zlib.compress(rows)) + chunk(b"IEND", b"")
    open(path(name), "wb").write(data)
    return path(name)


def bmp8(name, w, h):
    """An uncompressed 8-bit BMP with a grey palette."""
    stride = (w + 3) & ~3
    header = b"BM" + struct.pack("<IHHI", 1078 + stride * h, 0, 0, 1078)
    header += struct.pack("<IiiHHIIiiII", 40, w, h, 1, 8, 0, stride * h, 0, 0, 256, 256)
    palette = b"".join(bytes((i, i, i, 0)) for i in range(256))
    open(path(name), "wb").write(header + palette + bytes(stride * h))
    return path(name)


def info(rvk):
    result = run("info", rvk, "--json")
    check(result.returncode == 0, "info reads " + rvk + ": " + result.stderr)
    return json.loads(result.stdout)


track = path("new.rvk")
check(run("new", "-o", track).returncode == 0, "new track written")
description = path("info.txt")
open(description, "w").write("Dust Bowl\nA dry bowl of dust and ramps.\n")

done = path("done.rvk")
result = run("components", track, "-o", done, "--name", "Dust Bowl", "--world-from-name", "--race-type", "rally",
             "--water", "12.5", "--sound-theme", "Heights", "--browse", png("browse.png", 514, 420),
             "--info-photo", png("photo.png", 640, 480), "--stock-music", "BREAK", "--description", description,
             "--comment", "A finished track", "--locale", "Dustville", "--show")
check(result.returncode == 0, "components exits 0: " + result.stderr)
lines = result.stdout.splitlines()
check(lines[-1] == "Info pop-up ready - the button will appear. Description: about 2 of 23 lines.",
      "the status line: " + lines[-1])
check("Browse (HD 514x420): 8-bit picture, HD art .PNG" in lines, "the browse label names the HD size")
check("World Name: DUSTBOWL (based on the track name)" in lines, "the world name follows the track name")
j = info(done)
check(j["trackName"] == "Dust Bowl" and j["worldName"] == "DUSTBOWL" and j["locale"] == "Dustville", "the names")
check(j["comment"] == "A finished track", "the comment")
check(j["raceType"] == 3 and j["waterLevel"] == 12 and j["waterLevelQuarters"] == 2, "Rally is 3; 12.5 is 50 quarters")
check(j["ambientSound"] == 5, "the Heights sound theme")
pictures = j["pictures"]
check(pictures["music"] == 20, "the stock music reference is 20 bytes")
check(pictures["hdArt"][0] > 0 and pictures["hdArt"][2] > 0 and pictures["hdArt"][1] == 0, "HD browse and photo")
check(pictures["browse"] > 1078 and pictures["infoPhoto"] == 1078 + 640 * 480, "8-bit copies of the HD art")
check(pictures["infoDescription"] == len("Dust Bowl\nA dry bowl of dust and ramps.\n") + 1, "text and its zero")

# Refusals leave the track unwritten and exit 1.
refused = path("refused.rvk")
result = run("components", done, "-o", refused, "--icon", png("bigicon.png", 129, 97))
check(result.returncode == 1 and not os.path.exists(refused), "an HD icon over 128 is refused")
check("At the icon's shape the largest is 128x96." in result.stderr, "the largest icon: " + result.stderr)
result = run("components", done, "-o", refused, "--browse", png("tall.png", 514, 423))
check(result.returncode == 1 and "at 514 wide it should be 420 high." in result.stderr, "the shape rule")
result = run("components", done, "-o", refused, "--icon", bmp8("wide.bmp", 49, 36))
check(result.returncode == 1 and "That bitmap is 49x36." in result.stderr, "an 8-bit icon over 48 pixels")
result = run("components", done, "-o", refused, "--world", "!!")
check(result.returncode == 1 and "The World Name needs at least one letter or digit." in result.stderr,
      "an empty world name is refused")
check(run("components", done, "--race-type", "sprint").returncode == 2, "a bad race type is bad usage")
check(not os.path.exists(refused), "nothing was written by the refusals")

icon = path("icon.rvk")
result = run("components", done, "-o", icon, "--icon", bmp8("icon.bmp", 48, 36))
check(result.returncode == 0, "an 8-bit icon of 48 x 36 is taken: " + result.stderr)
check(info(icon)["pictures"]["icon"] == 1078 + 48 * 36, "the icon's file bytes are kept as they are")

# A description the game cuts: OK asks, No (the default) keeps the dialog open.
long_text = path("long.txt")
open(long_text, "w").write("x" * 4096)
result = run("components", done, "-o", refused, "--description", long_text)
check(result.returncode == 1 and "Info Description Too Long: The info description is 4096 bytes." in result.stderr,
      "OK asks about 4096 bytes: " + result.stderr)
result = run("components", done, "-o", path("long.rvk"), "--description", long_text, "--yes")
check(result.returncode == 0, "--yes saves it anyway")
check(result.stdout.splitlines()[-1].endswith("Description: 4096 bytes; the engine reads only 4095."),
      "the byte-count status: " + result.stdout)

# HD art alone: the 8-bit copies are dropped, and built again when asked for.
alone = path("alone.rvk")
check(run("components", done, "-o", alone, "--no-8bit-copies").returncode == 0, "copies dropped")
pictures = info(alone)["pictures"]
check(pictures["browse"] == 0 and pictures["infoPhoto"] == 0 and pictures["hdArt"][0] > 0, "HD art kept alone")
rebuilt = path("rebuilt.rvk")
check(run("components", alone, "-o", rebuilt, "--8bit-copies").returncode == 0, "copies built")
check(info(rebuilt)["pictures"]["infoPhoto"] == 1078 + 640 * 480, "the 8-bit copy is back")

result = run("components", done, "-o", path("drop.rvk"), "--backdrop", path("nothere.bin"))
check("Backdrop not found!" in result.stderr, "a missing backdrop is reported")
check(info(path("drop.rvk"))["backdrop"] is None, "and none is set")
# The Color Palette choice: the fog map is built for palette 5 and starts with 5.
palette = path("palette.rvk")
check(run("components", done, "-o", palette, "--palette", "5").returncode == 0, "palette 5 chosen")
check(info(palette)["fogMapFirstByte"] == 5, "the fog map of palette 5 starts with 5")
check(run("components", palette, "-o", path("bad.rvk"), "--palette", "17").returncode == 2, "palette 17 is bad usage")
custom = run("components", palette, "-o", path("custom.rvk"), "--palette", "16")
check(custom.returncode == 2 and "Track Palette dialog" in custom.stderr, "Custom cannot be made here: " + custom.stderr)
check(not os.path.exists(path("custom.rvk")), "nothing written for it")
usage = run("components", "--help").stdout
check("--palette P" in usage and "keeps the track's" not in usage, "the help says what --palette does: " + usage)
print("ok")
