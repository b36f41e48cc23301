#!/usr/bin/env bash
# Installs what is missing, then builds from scratch and runs the tests three
# times, so that memory faults, undefined behaviour and data races fail the run:
#   1. the normal build: every test;
#   2. AddressSanitizer + UBSan, windows included (offscreen): every test;
#   3. ThreadSanitizer, the core (everything without windows): its tests.
# Each phase prints how long it took.
#
# Environment: KANZO_BUILD_DIR (default build-test/; the sanitizer builds go
# beside it with -asan and -tsan), KANZO_SKIP_SANITIZERS=1 (phase 1 only).
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
base="${KANZO_BUILD_DIR:-$root/build-test}"
jobs="$(nproc)"
export QT_QPA_PLATFORM=offscreen
# Faults abort with a stack. A leak found at exit, in a test or in a program
# a test starts, fails the run; only leaks inside Qt's own libraries (its
# sound cache, tests/sanitizers/lsan.supp) are not the project's.
export UBSAN_OPTIONS="print_stacktrace=1:halt_on_error=1"
export LSAN_OPTIONS="suppressions=$root/tests/sanitizers/lsan.supp:print_suppressions=0"
export TSAN_OPTIONS="halt_on_error=1:second_deadlock_stack=1"

bash "$root/scripts/install-deps.sh"

phase_start=0
phase() {
  phase_start=$SECONDS
  echo "test.sh: === $* ==="
}
phase_end() {
  echo "test.sh: --- $1: $((SECONDS - phase_start)) s"
}

# build <folder> <cmake arguments...>: configures from scratch and builds everything.
build() {
  local dir="$1"
  shift
  rm -rf "$dir"
  cmake -S "$root" -B "$dir" -G Ninja "$@" >/dev/null
  cmake --build "$dir" --parallel "$jobs"
}

run_tests() {
  ctest --test-dir "$1" --output-on-failure --parallel "$jobs" --timeout 300
}

phase "normal build"
build "$base" -DCMAKE_BUILD_TYPE=RelWithDebInfo
phase_end "normal build"
phase "tests"
run_tests "$base"
phase_end "tests"

if [ "${KANZO_SKIP_SANITIZERS:-0}" = "1" ]; then exit 0; fi

# The sanitizer builds compile with light optimisation and line tables only,
# which keeps their compile time down; stacks still name file and line.
sanitizer_flags=(-DCMAKE_BUILD_TYPE=Sanitize -DCMAKE_C_FLAGS_SANITIZE="-O1 -g1" -DCMAKE_CXX_FLAGS_SANITIZE="-O1 -g1"
  -DKANZO_BUILD_BENCH=OFF)

phase "AddressSanitizer + UBSan build (windows included)"
build "$base-asan" -DKANZO_ASAN=ON "${sanitizer_flags[@]}"
phase_end "AddressSanitizer + UBSan build"
phase "AddressSanitizer + UBSan tests"
run_tests "$base-asan"
phase_end "AddressSanitizer + UBSan tests"

phase "ThreadSanitizer build (core)"
build "$base-tsan" -DKANZO_TSAN=ON -DKANZO_BUILD_UI=OFF "${sanitizer_flags[@]}"
phase_end "ThreadSanitizer build"
phase "ThreadSanitizer tests"
run_tests "$base-tsan"
phase_end "ThreadSanitizer tests"
echo "test.sh: all phases passed in $SECONDS s"
