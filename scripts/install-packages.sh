#!/usr/bin/env bash
# Installs the Debian packages given as arguments that are not installed yet:
# with apt-get as root, through sudo otherwise. When neither is possible it
# prints the exact command to run and fails.
set -euo pipefail

missing=()
for pkg in "$@"; do
    status=$(dpkg-query -W -f='${Status}' "$pkg" 2>/dev/null || true)
    [ "$status" = "install ok installed" ] || missing+=("$pkg")
done
[ ${#missing[@]} -eq 0 ] && exit 0

echo "Installing: ${missing[*]}"
print_command() {
    echo "Corvane needs these Debian packages. Please run:" >&2
    echo "  sudo apt-get update && sudo apt-get install -y ${missing[*]}" >&2
}
if [ "$(id -u)" -eq 0 ]; then
    as_root=()
elif command -v sudo >/dev/null 2>&1; then
    as_root=(sudo)
else
    print_command
    exit 1
fi
export DEBIAN_FRONTEND=noninteractive
if ! "${as_root[@]}" apt-get update -q ||
    ! "${as_root[@]}" apt-get install -y --no-install-recommends "${missing[@]}"; then
    print_command
    exit 1
fi
