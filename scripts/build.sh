#!/usr/bin/env bash
# Installs what is missing, configures and builds into build/ (or $KANZO_BUILD_DIR).
# Extra arguments go to CMake (e.g. -DKANZO_ASAN=ON). KANZO_BUILD_TARGETS
# (space-separated) builds only those targets instead of everything.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
build="${KANZO_BUILD_DIR:-$root/build}"
bash "$root/scripts/install-deps.sh"
cmake -S "$root" -B "$build" -G Ninja "$@" >/dev/null
targets=()
if [ -n "${KANZO_BUILD_TARGETS:-}" ]; then
  read -r -a names <<<"$KANZO_BUILD_TARGETS"
  targets=(--target "${names[@]}")
fi
cmake --build "$build" --parallel "$(nproc)" "${targets[@]}"
