#!/usr/bin/env bash
# Runs the Windows build's tests under Wine, in a Wine prefix of the build's
# own (never the user's), without a display. Exits with ctest's status.
set -euo pipefail
build="${1:-build-windows}"
jobs="${2:-2}"
build="$(cd "$build" && pwd)"
# Debian's wine64 package keeps its programs out of PATH.
wine="$(command -v wine64 || echo /usr/lib/wine/wine64)"
wineserver="$(command -v wineserver || echo /usr/lib/wine/wineserver)"

export WINEPREFIX="$build/wine-prefix"
export WINEDEBUG=-all
export WINEDLLOVERRIDES="mscoree,mshtml=" # no Mono or Gecko installer prompts
export WINEARCH=win64
unset DISPLAY WAYLAND_DISPLAY

# The first start of a fresh prefix takes a few seconds; do it once, then keep
# one Wine server alive for the whole run so each test starts quickly.
mkdir -p "$WINEPREFIX"
"$wineserver" --persistent=60 || true # one may already be running for this prefix
"$wine" wineboot --init >/dev/null 2>&1

status=0
results="$build/gtest-results"
rm -rf "$results" && mkdir -p "$results" # GoogleTest cannot make it from a Unix path
started=$(date +%s)
(cd "$build" && ctest --output-on-failure -j"$jobs") || status=$?
"$wineserver" --kill || true

# GoogleTest's own counts (ctest sees one entry per suite here), from the
# report each suite writes.
read -r cases failed < <(cat "$results"/*.xml 2>/dev/null | sed -n 's/^<testsuites tests="\([0-9]*\)" failures="\([0-9]*\)".*/\1 \2/p' |
  awk '{ t += $1; f += $2 } END { print t + 0, f + 0 }')
echo "Windows: $cases test cases run, $((cases - failed)) passed, $failed failed;" \
     "$(ls "$build"/tests/replay_*.exe | wc -l) fuzz corpora replayed; $(( $(date +%s) - started )) s under Wine"
exit $status
