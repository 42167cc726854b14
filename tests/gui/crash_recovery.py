#!/usr/bin/env python3
"""Drives the real editor on an X display with real X11 input (xdotool): sets
the shortest autosave interval (one minute) in Program Options, raises the
terrain of a track that was never saved, waits until the recovery file is
written, kills the editor (SIGKILL), starts it again, answers "Recover Track"
with Yes, saves through the Save As dialog and reads the heights back through
ravok-cli. Takes a little over a minute: the interval is the user's own.

Usage: crash_recovery.py RAVOK RAVOK_CLI  (with DISPLAY set, e.g. under xvfb-run)
RAVOK_PICTURES_DIR, when set, receives the screenshots."""
import os
import shutil
import signal
import subprocess
import sys
import tempfile
import time

from x11_driving import heights_of, hover, key, run_cli, screenshot, wait_for_window, xdo

RAVOK, CLI = sys.argv[1], sys.argv[2]


def cli(*args):
    return run_cli(CLI, *args)


def click(x, y):
    hover(x, y)
    xdo("click", 1)
    time.sleep(0.3)


def start_editor(work, env):
    return subprocess.Popen([RAVOK], cwd=work, env=env)


def main():
    work = tempfile.mkdtemp(prefix="ravok-recovery-")
    env = dict(os.environ, XDG_CONFIG_HOME=os.path.join(work, "config"), XDG_DATA_HOME=os.path.join(work, "data"),
               HOME=os.path.join(work, "home"), XDG_RUNTIME_DIR=os.path.join(work, "run"), QT_QPA_PLATFORM="xcb")
    for folder in ("config", "data", "home", "run", "Art", "Models"):
        os.makedirs(os.path.join(work, folder))
    os.chmod(os.path.join(work, "run"), 0o700)
    recovery = os.path.join(work, "data", "Quorvane", "Ravok", "Recovery.rvk")
    fresh = os.path.join(work, "fresh.rvk")
    cli("new", "-o", fresh)
    failures = []

    def check(condition, text):
        if not condition:
            failures.append(text)

    # First run: a never-saved track, edited, then killed once the recovery file is there.
    editor = start_editor(work, env)
    try:
        window = wait_for_window("Untitled")
        xdo("windowmove", window, 0, 0)
        xdo("windowfocus", window)
        time.sleep(1.5)
        # View > Options: the Auto-Save page (third tab), the minutes field set to 1, Enter for OK.
        key("alt+v", "o")
        wait_for_window("Program Options")
        time.sleep(0.5)
        key("ctrl+Tab", "ctrl+Tab", "Tab", "Tab", "Tab", "ctrl+a", "1")
        screenshot("recovery-options.png")
        key("Return")
        started = time.time()
        # Raise the ground at two spots, looking straight down.
        click(330, 450)
        key("alt+v", "d")
        click(230, 330)
        click(470, 600)
        screenshot("recovery-edited.png")
        while not os.path.exists(recovery) and time.time() - started < 90:
            time.sleep(1)
        check(os.path.exists(recovery), "the recovery file was written within the minute")
    finally:
        editor.send_signal(signal.SIGKILL)
        editor.wait(timeout=10)
    if failures:
        print("FAILED:\n  " + "\n  ".join(failures))
        return 1
    written = os.path.join(work, "written.rvk")
    shutil.copy(recovery, written)
    edited = heights_of(CLI, written, work)
    check(edited != heights_of(CLI, fresh, work), "the recovery file holds the edits")

    # Second run: the question, Yes, then Save As under a name of our own.
    saved = os.path.join(work, "recovered.rvk")
    editor = start_editor(work, env)
    try:
        question = wait_for_window("Recover Track")
        xdo("windowfocus", question)
        time.sleep(0.8)
        screenshot("recovery-question.png")
        key("Return")  # Yes is the default button
        window = wait_for_window("Untitled\\* - Ravok")
        xdo("windowfocus", window)
        time.sleep(1.0)
        key("ctrl+s")
        wait_for_window("Save As")
        time.sleep(0.8)
        key("ctrl+a")
        xdo("type", "--delay", 20, saved)
        time.sleep(0.3)
        key("Return", pause=1.5)
        screenshot("recovery-saved.png")
    finally:
        editor.terminate()
        editor.wait(timeout=10)

    check(os.path.exists(saved), "Save As wrote the recovered track")
    if os.path.exists(saved):
        check(heights_of(CLI, saved, work) == edited, "the recovered track has the edited heights")
    if failures:
        print("FAILED:\n  " + "\n  ".join(failures))
        return 1
    shutil.rmtree(work, ignore_errors=True)
    print("crash recovery: all checks passed")
    return 0


if __name__ == "__main__":
    sys.exit(main())
