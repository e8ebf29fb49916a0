#!/usr/bin/env bash
# Installs what is missing, builds a debug build with AddressSanitizer and
# UndefinedBehaviorSanitizer in build/test, and runs every test headless.
set -euo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
source "$root/scripts/packages.sh"
"$root/scripts/install-packages.sh" "${RUN_PACKAGES[@]}" "${TEST_PACKAGES[@]}"

build="$root/build/test"
if [ ! -f "$build/build.ninja" ]; then
    cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Debug -DCORVANE_SANITIZE=ON
fi
cmake --build "$build" -j2

# No test may touch the user's files or need a display.
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
mkdir -m 700 "$tmp/runtime" "$tmp/config"
export XDG_RUNTIME_DIR="$tmp/runtime" XDG_CONFIG_HOME="$tmp/config" QT_QPA_PLATFORM=offscreen
unset DISPLAY WAYLAND_DISPLAY
cd "$build"
ctest --output-on-failure -j2 --timeout 300
