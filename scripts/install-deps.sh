#!/usr/bin/env bash
# Installs the Debian packages Ravok builds and tests with, only those missing.
# With --windows: only what the Windows cross-build needs.
# Idempotent: packages already installed (dpkg -s) are left alone.
set -euo pipefail

packages=(
  build-essential cmake ninja-build pkg-config
  qt6-base-dev qt6-base-dev-tools libqt6opengl6-dev libgl-dev
  libstb-dev nlohmann-json3-dev
  libgtest-dev libgmock-dev libbenchmark-dev
  xvfb xauth libgl1-mesa-dri imagemagick desktop-file-utils shared-mime-info xdotool
  clang libclang-rt-14-dev python3
)

# `install-deps.sh --windows`: the Windows cross-build and its test run under Wine.
if [ "${1:-}" = "--windows" ]; then
  packages=(cmake ninja-build python3 libstb-dev g++-mingw-w64-x86-64-posix wine64 googletest)
fi

missing=()
for p in "${packages[@]}"; do
  dpkg -s "$p" >/dev/null 2>&1 || missing+=("$p")
done
[ ${#missing[@]} -eq 0 ] && exit 0

echo "Installing missing packages: ${missing[*]}"
if [ "$(id -u)" -eq 0 ]; then
  sudo_cmd=()
elif command -v sudo >/dev/null 2>&1 && sudo -n true 2>/dev/null; then
  sudo_cmd=(sudo)
else
  echo "Ravok needs these packages and cannot install them without root:" >&2
  echo "  sudo apt-get update && sudo apt-get install -y ${missing[*]}" >&2
  exit 1
fi
export DEBIAN_FRONTEND=noninteractive
"${sudo_cmd[@]}" apt-get update -qq
"${sudo_cmd[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}"
