#!/usr/bin/env python3
"""Drives the real editor on an X display with real X11 input (xdotool): raises
terrain with two tools, turns a texture, inserts an object and moves and turns
it with Shift+Ctrl+D and Ctrl+R, lays a course, undoes and redoes across the
modes, saves, and reads the saved track back through ravok-cli.

Usage: editing_session.py RAVOK RAVOK_CLI  (with DISPLAY set, e.g. under xvfb-run)
RAVOK_PICTURES_DIR, when set, receives the screenshots."""
import json
import os
import shutil
import subprocess
import sys
import tempfile
import time

from x11_driving import click, heights_of, hover, key, run_cli, screenshot, xdo

RAVOK, CLI = sys.argv[1], sys.argv[2]


def cli(*args):
    return run_cli(CLI, *args)


def main():
    work = tempfile.mkdtemp(prefix="ravok-session-")
    env = dict(os.environ, XDG_CONFIG_HOME=os.path.join(work, "config"), HOME=os.path.join(work, "home"),
               XDG_RUNTIME_DIR=os.path.join(work, "run"), QT_QPA_PLATFORM="xcb")
    for folder in ("config", "home", "run", "Art", "Models"):
        os.makedirs(os.path.join(work, folder))
    os.chmod(os.path.join(work, "run"), 0o700)
    track = os.path.join(work, "track.rvk")
    cli("new", "-o", track)
    fresh = json.loads(cli("info", track, "--json"))["terrain"]

    editor = subprocess.Popen([RAVOK, track], cwd=work, env=env)
    try:
        found = subprocess.run(["timeout", "30", "xdotool", "search", "--sync", "--onlyvisible", "--name",
                                "track.rvk"], capture_output=True, text=True)
        assert found.returncode == 0, "the editor's window did not appear"
        window = found.stdout.split()[0]
        xdo("windowmove", window, 0, 0)
        xdo("windowfocus", window)
        time.sleep(1.5)

        # Look straight down from the start position (View menu), the whole view over flat ground.
        hover(330, 450)
        key("alt+v", "d")
        # Raise / Lower at one spot, Mound (Terrain > Tool) at another.
        click(230, 330)
        key("alt+t", "o", "m")
        click(470, 600)
        screenshot("session-terrain.png")

        # Textures mode: pick a square, Ctrl+R turns its texture a quarter.
        key("ctrl+2")
        click(350, 470)
        key("ctrl+r")

        # Objects mode: Insert under the mouse, Shift+Ctrl+D moves it 0.1 east, Ctrl+R turns it 0.1 degree.
        key("ctrl+4")
        hover(300, 520)
        key("Insert")
        key("ctrl+shift+d")
        key("ctrl+r")
        screenshot("session-object.png")

        # Course mode: a segment under the mouse, then one after it from its end point
        # (40 world units east of the start: 31 pixels at this height).
        key("ctrl+3")
        hover(200, 300)
        key("Insert")
        hover(231, 300)
        key("Insert")
        screenshot("session-course.png")

        # Undo six steps (course, object, texture) and redo five: one segment, the object moved and turned.
        for _ in range(6):
            key("ctrl+z")
        for _ in range(5):
            key("ctrl+y")
        key("alt+e")
        screenshot("session-undo.png")
        key("Escape")

        key("ctrl+s", pause=1.0)
    finally:
        editor.terminate()
        editor.wait(timeout=10)

    info = json.loads(cli("info", track, "--json"))
    objects = json.loads(cli("objects", track, "--json"))
    failures = []

    def check(condition, text):
        if not condition:
            failures.append(text)

    heights = heights_of(CLI, track, work)
    raised = [i for i, h in enumerate(heights) if h > 100]
    check(len(raised) > 0 and max(heights) >= 132, "the terrain was raised by the Raise tool (32 steps)")
    rows = sorted({i // 256 for i in raised})
    check(len(rows) > 0 and rows[-1] - rows[0] > 6, "two separate spots were raised (two tools)")
    check(info["terrain"]["texturesSha256"] != fresh["texturesSha256"], "a texture was turned")
    check(len(objects["objects"]) == 1, "one object, inserted and redone: %d" % len(objects["objects"]))
    if objects["objects"]:
        o = objects["objects"][0]
        check(o["fractions"][0] in (25, 26), "Shift+Ctrl+D moved the object 0.1 east: %s" % o["fractions"])
        check(abs(o["heading"] - 0.1) < 0.02, "Ctrl+R turned the object 0.1 degree: %s" % o["heading"])
    main_course = [c for c in objects["courses"] if c["course"] == 0][0]
    check(len(main_course["segments"]) == 1, "one segment after undo and redo: %d" % len(main_course["segments"]))

    if failures:
        print("FAILED:\n  " + "\n  ".join(failures))
        return 1
    shutil.rmtree(work, ignore_errors=True)
    print("editing session: all checks passed")
    return 0


if __name__ == "__main__":
    sys.exit(main())
