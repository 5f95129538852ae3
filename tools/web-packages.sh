#!/usr/bin/env bash
# Makes sure what the browser version needs is installed: Emscripten, Chromium and Node.js
# from Debian (npm only where the Node.js in use came without it).
set -eu
cd "$(dirname "$0")/.."
tools/ensure-packages.sh emscripten chromium nodejs
command -v npm >/dev/null 2>&1 || tools/ensure-packages.sh npm
