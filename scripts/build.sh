#!/usr/bin/env bash
# Installs what is missing, configures and builds into build/ (or $KANZO_BUILD_DIR).
# Extra arguments go to CMake (e.g. -DKANZO_ASAN=ON); $KANZO_BUILD_TARGET
# builds one target instead of all (e.g. fuzz_targets).
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
build="${KANZO_BUILD_DIR:-$root/build}"
bash "$root/scripts/install-deps.sh"
cmake -S "$root" -B "$build" -G Ninja "$@" >/dev/null
cmake --build "$build" --parallel "$(nproc)" --target "${KANZO_BUILD_TARGET:-all}"
