#!/usr/bin/env bash
# Installs what is missing, builds from scratch and runs every test; then
# builds the core (everything without windows) with AddressSanitizer and
# UBSan and runs its tests again, so memory faults fail the run.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
export KANZO_BUILD_DIR="${KANZO_BUILD_DIR:-$root/build-test}"
rm -rf "$KANZO_BUILD_DIR"
bash "$root/scripts/build.sh" -DCMAKE_BUILD_TYPE=RelWithDebInfo
export QT_QPA_PLATFORM=offscreen
ctest --test-dir "$KANZO_BUILD_DIR" --output-on-failure --parallel "$(nproc)" --timeout 300

if [ "${KANZO_SKIP_SANITIZERS:-0}" != "1" ]; then
  asan_dir="$KANZO_BUILD_DIR-asan"
  rm -rf "$asan_dir"
  KANZO_BUILD_DIR="$asan_dir" bash "$root/scripts/build.sh" \
    -DKANZO_ASAN=ON -DKANZO_BUILD_UI=OFF -DKANZO_BUILD_BENCH=OFF
  ctest --test-dir "$asan_dir" --output-on-failure --parallel "$(nproc)" --timeout 300
fi
