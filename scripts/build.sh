#!/usr/bin/env bash
# Installs what is missing, configures and builds into build/ (or $KANZO_BUILD_DIR).
# Extra arguments go to CMake (e.g. -DKANZO_ASAN=ON). $KANZO_BUILD_TARGETS
# (space-separated) or $KANZO_BUILD_TARGET builds only those targets instead
# of all (e.g. fuzz_targets; the demo's programs).
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
build="${KANZO_BUILD_DIR:-$root/build}"
bash "$root/scripts/install-deps.sh"
cmake -S "$root" -B "$build" -G Ninja "$@" >/dev/null
read -r -a targets <<<"${KANZO_BUILD_TARGETS:-${KANZO_BUILD_TARGET:-all}}"
cmake --build "$build" --parallel "$(nproc)" --target "${targets[@]}"
