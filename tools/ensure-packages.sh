#!/usr/bin/env bash
# Makes sure the Debian packages the build needs are installed: installs what is missing
# (with sudo when not root), or prints the exact command to run.
set -u
missing=()
for package in "$@"; do
  if ! dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q "install ok installed"; then
    missing+=("$package")
  fi
done
[ ${#missing[@]} -eq 0 ] && exit 0

echo "Installing missing packages: ${missing[*]}"
if [ "$(id -u)" -eq 0 ]; then
  run=()
elif command -v sudo >/dev/null 2>&1 && sudo -n true 2>/dev/null; then
  run=(sudo)
else
  run=(sudo)
  if ! command -v sudo >/dev/null 2>&1 || ! sudo -v; then
    echo "Please install them first:"
    echo "  sudo apt-get update && sudo apt-get install -y ${missing[*]}"
    exit 1
  fi
fi
export DEBIAN_FRONTEND=noninteractive
# Only what is named and what it depends on: the recommended extras would add about 60 % more
# packages to a first `make test`, none of them used.
install=(apt-get install -y --no-install-recommends)
if ! "${run[@]}" "${install[@]}" "${missing[@]}"; then
  "${run[@]}" apt-get update && "${run[@]}" "${install[@]}" "${missing[@]}" || {
    echo "Could not install the packages. Please run:"
    echo "  sudo apt-get update && sudo apt-get install -y --no-install-recommends ${missing[*]}"
    exit 1
  }
fi
