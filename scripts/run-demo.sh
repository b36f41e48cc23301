#!/usr/bin/env bash
# Installs what is missing, builds, and starts the client from its program
# folder. Without a display the client runs under a virtual X server.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
export KANZO_BUILD_DIR="${KANZO_BUILD_DIR:-$root/build}"
bash "$root/scripts/build.sh"
bin="$KANZO_BUILD_DIR/bin"
cd "$bin"
if [ -z "${DISPLAY:-}" ]; then
  echo "run-demo: no display; running the client under a virtual X server (Xvfb)"
  xvfb-run -a -s "-screen 0 1280x800x24" ./Kanzo "$@" || true
else
  ./Kanzo "$@" || true
fi
echo "run-demo: the client's log is in $bin/log/"
tail -n 20 "$bin/log/$(date +%Y%m%d).log" 2>/dev/null || true
