#!/usr/bin/env bash
# Installs what is missing, builds from scratch and runs every test.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
export KANZO_BUILD_DIR="${KANZO_BUILD_DIR:-$root/build-test}"
rm -rf "$KANZO_BUILD_DIR"
bash "$root/scripts/build.sh" -DCMAKE_BUILD_TYPE=RelWithDebInfo
cd "$KANZO_BUILD_DIR"
export QT_QPA_PLATFORM=offscreen
ctest --output-on-failure --parallel "$(nproc)" --timeout 300
