#!/usr/bin/env bash
# Installs what is missing, builds a release build in build/release and starts
# Corvane in the caller's current directory, where its data file lives.
# Arguments are handed to Corvane (for example: ./run.sh --export json).
set -euo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
source "$root/scripts/packages.sh"
"$root/scripts/install-packages.sh" "${RUN_PACKAGES[@]}" >&2

build="$root/build/release"
if [ ! -f "$build/build.ninja" ]; then
    cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release -DCORVANE_TESTS=OFF >&2
fi
cmake --build "$build" --target corvane -j2 >&2
exec "$build/corvane" "$@"
