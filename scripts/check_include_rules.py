#!/usr/bin/env python3
"""Checks that the core's includes point one way.

Usage: check_include_rules.py SOURCE_DIR   (exit 1 and one line a fault)
       check_include_rules.py --self-test  (the rules catch planted faults)

Each core folder may include only the folders listed for it below; nothing
in the core includes Qt, app/ or cli/. render/gl is the Qt renderer and is
not part of the core.
"""
import os
import re
import sys
import tempfile

# Built-in data and the shared byte readers sit under everything.
_BOTTOM = {"base", "resources"}
ALLOWED = {
    "base": {"base"},
    # Records and picture algorithms: never the track.
    "art": _BOTTOM | {"art"},
    "model": _BOTTOM | {"art", "model"},
    # The passes that bring art into a whole track.
    "trackart": _BOTTOM | {"art", "model", "trackart"},
    "pod": _BOTTOM | {"art", "model", "trackart", "pod"},
    "render": _BOTTOM | {"art", "model", "render"},
    "edit": _BOTTOM | {"art", "model", "trackart", "pod", "render", "edit"},
    "doc": _BOTTOM | {"art", "model", "trackart", "pod", "edit", "render", "doc"},
}
# Folders of the tree an include can name; anything else is a third-party
# header found on the include path.
PROJECT_FOLDERS = set(ALLOWED) | {"app", "cli", "tests", "bench", "fuzz"}
SOURCE_SUFFIXES = (".h", ".hpp", ".cpp", ".cc", ".inl")

_INCLUDE = re.compile(r'^\s*#\s*include\s*([<"])([^>"]+)[>"]')
_QT = re.compile(r"^(Q[A-Za-z]|qt)")


def folder_of(relative):
    """The layer a repository-relative path belongs to ('render/gl' apart)."""
    parts = relative.split("/")
    if parts[0] == "render" and len(parts) > 2 and parts[1] == "gl":
        return "render/gl"
    return parts[0]


def resolve(root, including, target):
    """The repository-relative path a quoted include names, or None."""
    beside = os.path.normpath(os.path.join(os.path.dirname(including), target))
    if os.path.isfile(os.path.join(root, beside)) and not beside.startswith(".."):
        return beside.replace(os.sep, "/")
    written = os.path.normpath(target).replace(os.sep, "/")
    if written.split("/")[0] in PROJECT_FOLDERS:
        return written
    beside = beside.replace(os.sep, "/")
    if target.startswith(".") and beside.split("/")[0] in PROJECT_FOLDERS:
        return beside
    return None


def faults_of_file(root, relative):
    layer = folder_of(relative)
    allowed = ALLOWED[layer]
    faults = []
    with open(os.path.join(root, relative), encoding="utf-8", errors="replace") as source:
        in_comment = False
        for number, line in enumerate(source, 1):
            if in_comment:
                if "*/" not in line:
                    continue
                in_comment = False
                line = line.split("*/", 1)[1]
            if line.lstrip().startswith("/*") and "*/" not in line:
                in_comment = True
                continue
            match = _INCLUDE.match(line)
            if not match:
                continue
            bracket, target = match.groups()
            where = f"{relative}:{number}"
            if _QT.match(target):
                faults.append(f"{where}: {layer}/ must not include Qt (<{target}>)")
                continue
            if bracket == "<":
                continue
            named = resolve(root, relative, target)
            if named is None:
                continue
            included = folder_of(named)
            if included not in allowed:
                faults.append(f"{where}: {layer}/ must not include {included}/ ({named})")
    return faults


def check(root):
    faults = []
    for layer in sorted(ALLOWED):
        top = os.path.join(root, layer)
        for folder, subfolders, files in os.walk(top):
            subfolders.sort()
            relative_folder = os.path.relpath(folder, root).replace(os.sep, "/")
            if folder_of(relative_folder + "/x") == "render/gl":
                subfolders[:] = []
                continue
            for name in sorted(files):
                if name.endswith(SOURCE_SUFFIXES):
                    faults += faults_of_file(root, f"{relative_folder}/{name}")
    return faults


def self_test():
    """Plants one fault of each kind in a small tree and expects each named."""
    planted = {
        "art/Bad.h": ['#include "model/TrackPod.h"', '#include "trackart/TrackArt.h"'],
        "model/Bad.cpp": ['#include "pod/PodArchive.h"', "#include <QString>"],
        "pod/Bad.cpp": ['#include "edit/Terrain.h"', '#include "render/Mesh.h"'],
        "render/Bad.cpp": ['#include "edit/Camera.h"', '#include "app/RavokDoc.h"'],
        "trackart/Bad.cpp": ['#include "../cli/Main.h"', "#include <qtconfig.h>"],
        "doc/Bad.cpp": ['  # include "cli/Commands.h"'],
    }
    clean = {
        "render/gl/GlView.cpp": ["#include <QOpenGLWidget>", '#include "app/RavokView.h"'],
        "edit/Good.cpp": ['#include "render/ViewCamera.h"', '#include "Good.h"', "#include <queue>"],
        "art/Good.cpp": ['// #include "model/TrackPod.h"', "/*", '#include "model/TrackPod.h"', "*/",
                         '#include "stb_image.h"'],
    }
    with tempfile.TemporaryDirectory() as root:
        for relative, lines in {**planted, **clean}.items():
            os.makedirs(os.path.join(root, os.path.dirname(relative)), exist_ok=True)
            with open(os.path.join(root, relative), "w", encoding="utf-8") as out:
                out.write("#pragma once\n" + "\n".join(lines) + "\n")
        open(os.path.join(root, "edit", "Good.h"), "w").close()
        found = check(root)
    expected = [f"{relative}:{index + 2}:" for relative, lines in planted.items() for index in range(len(lines))]
    missing = [where for where in expected if not any(fault.startswith(where) for fault in found)]
    extra = [fault for fault in found if not any(fault.startswith(where) for where in expected)]
    for line in missing:
        print(f"not reported: {line}")
    for line in extra:
        print(f"reported wrongly: {line}")
    return 1 if missing or extra else 0


def main(argv):
    if len(argv) == 2 and argv[1] == "--self-test":
        return self_test()
    if len(argv) != 2:
        print(__doc__.strip(), file=sys.stderr)
        return 2
    faults = check(argv[1])
    for fault in faults:
        print(fault)
    return 1 if faults else 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
