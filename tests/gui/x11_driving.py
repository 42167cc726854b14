"""Real X11 input (xdotool) and the checks the GUI scripts share: keys, clicks,
screenshots into RAVOK_PICTURES_DIR when it is set, ravok-cli runs and the
heights of a saved track."""
import os
import struct
import subprocess
import time

PICTURES = os.environ.get("RAVOK_PICTURES_DIR")


def xdo(*args):
    subprocess.run(["xdotool", *map(str, args)], check=True)


def key(*keys, pause=0.3):
    for k in keys:
        xdo("key", "--clearmodifiers", k)
        time.sleep(pause)


def hover(x, y):
    # Two moves, so the view sees the mouse move over the spot.
    xdo("mousemove", x - 3, y - 3)
    time.sleep(0.1)
    xdo("mousemove", x, y)
    time.sleep(0.3)


def click(x, y):
    xdo("mousemove", x, y)
    time.sleep(0.2)
    xdo("click", 1)
    time.sleep(0.3)


def screenshot(name):
    if not PICTURES:
        return
    os.makedirs(PICTURES, exist_ok=True)
    subprocess.run(["import", "-window", "root", os.path.join(PICTURES, name)], check=True)


def wait_for_window(name, seconds=30):
    found = subprocess.run(["timeout", str(seconds), "xdotool", "search", "--sync", "--onlyvisible", "--name", name],
                           capture_output=True, text=True)
    assert found.returncode == 0, "no window named %r appeared" % name
    return found.stdout.split()[0]


def run_cli(cli, *args):
    return subprocess.run([cli, *args], check=True, capture_output=True, text=True).stdout


def heights_of(cli, track, work):
    """The 256 x 256 heights of a track file, through ravok-cli's bitmap."""
    bmp = os.path.join(work, "heights.bmp")
    run_cli(cli, "terrain", track, "--bitmap-out", bmp)
    data = open(bmp, "rb").read()
    offset = struct.unpack_from("<I", data, 10)[0]
    return data[offset:offset + 65536]
