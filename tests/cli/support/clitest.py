"""Shared by the end-to-end scripts: ravok-cli run in a temporary settings store, and checks
that stop the script with a message."""
import os
import subprocess
import sys
import tempfile

cli = sys.argv[1]
env = dict(os.environ, XDG_CONFIG_HOME=tempfile.mkdtemp(), HOME=tempfile.mkdtemp())


def run(*args):
    return subprocess.run([cli, *args], capture_output=True, text=True, env=env)


def check(condition, what):
    if not condition:
        print("FAILED:", what)
        sys.exit(1)
