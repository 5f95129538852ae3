#!/usr/bin/env bash
# Makes sure what the browser version needs is installed: Emscripten, Chromium, Firefox (the
# scripts are played in both) and Node.js from Debian (npm only where the Node.js in use came
# without it).
set -eu
cd "$(dirname "$0")/.."
tools/ensure-packages.sh emscripten chromium firefox-esr nodejs
command -v npm >/dev/null 2>&1 || tools/ensure-packages.sh npm
