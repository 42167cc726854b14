"""Installs into a temporary prefix and validates the desktop entry and the
MIME type of track files that let a double-click open a track."""
import pathlib
import shutil
import subprocess
import sys
import tempfile

build_dir = sys.argv[1]


def run(*command):
    result = subprocess.run(command, capture_output=True, text=True)
    if result.returncode != 0:
        sys.exit(f"{' '.join(command)} failed:\n{result.stdout}{result.stderr}")
    return result.stdout + result.stderr


with tempfile.TemporaryDirectory() as prefix:
    run("cmake", "--install", build_dir, "--prefix", prefix)
    root = pathlib.Path(prefix)
    desktop = root / "share/applications/ravok.desktop"
    mime = root / "share/mime/packages/ravok-track.xml"
    for path in (root / "bin/ravok", root / "bin/ravok-cli", desktop, mime,
                 root / "share/icons/hicolor/scalable/apps/ravok.svg"):
        if not path.exists():
            sys.exit(f"not installed: {path}")

    warnings = run("desktop-file-validate", str(desktop))
    if warnings.strip():
        sys.exit(f"desktop-file-validate: {warnings}")
    entry = desktop.read_text()
    if "MimeType=application/x-ravok-track;" not in entry or "Exec=ravok %f" not in entry:
        sys.exit("the desktop entry does not open track files")

    # The MIME database built from our package knows *.rvk and the file magic.
    run("update-mime-database", str(root / "share/mime"))
    globs = (root / "share/mime/globs2").read_text()
    if "application/x-ravok-track:*.rvk" not in globs:
        sys.exit(f"*.rvk is not in the MIME globs:\n{globs}")
    magic = (root / "share/mime/magic").read_bytes()
    if b"application/x-ravok-track" not in magic or b"RAVOKV" not in magic:
        sys.exit("the track file magic is not in the MIME database")
print("desktop entry and MIME type valid")
