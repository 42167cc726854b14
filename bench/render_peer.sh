#!/bin/sh
# Runs the software renderer's benchmark and its OpenGL peer (the same scene
# through Mesa's software OpenGL) one after the other, printing both results.
# BUILD is the build directory (default: build in the project root); any
# arguments go to the peer (e.g. --png DIR to save its frames).
set -u
root=$(cd "$(dirname "$0")/.." && pwd)
BUILD=${BUILD:-$root/build}

echo "== software renderer"
if [ -x "$BUILD/bench/bench_render" ]; then
    "$BUILD/bench/bench_render"
else
    echo "$BUILD/bench/bench_render not built yet; skipping"
fi

echo "== OpenGL peer"
peer=$BUILD/bench/gl_peer/render_gl_peer
if [ ! -x "$peer" ]; then
    echo "$peer not built (needs Qt6 Gui and OpenGL); skipping"
    exit 0
fi
# Mesa draws in software even where a GPU driver is present.
export LIBGL_ALWAYS_SOFTWARE=1
# Headless first; the offscreen platform needs an X display for OpenGL on
# some machines, in which case the peer exits 3 and runs again under Xvfb.
errors=$(mktemp)
trap 'rm -f "$errors"' EXIT
QT_QPA_PLATFORM=offscreen "$peer" "$@" 2>"$errors"
status=$?
if [ $status -eq 3 ] && command -v xvfb-run >/dev/null; then
    echo "(no OpenGL on the offscreen platform; using xvfb-run with xcb)"
    QT_QPA_PLATFORM=xcb xvfb-run -a "$peer" "$@" 2>"$errors"
    status=$?
fi
grep -v '^QStandardPaths:' "$errors" >&2

echo "== the editor's view, whole grid at 1920 x 1080, both renderers"
view=$BUILD/bench/view_fps/view_fps
if [ -x "$view" ] && command -v xvfb-run >/dev/null; then
    QT_QPA_PLATFORM=xcb xvfb-run -a -s "-screen 0 2000x1200x24" "$view" 2>/dev/null || status=1
else
    echo "$view not built or no xvfb-run; skipping"
fi
exit $status
