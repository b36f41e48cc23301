#!/usr/bin/env bash
# Installs what is missing, builds, starts the chat-server simulator with the
# default scenario and the client pointed at it, from the client's program
# folder. The demo account is "demo" with the password "kanzo123".
#
# Without a display the client runs under a virtual X server, logs in by
# itself (a stored demo login with automatic login) and, after
# KANZO_DEMO_SECONDS (default 60) of the scenario, the screen is written to
# build/demo-shots/; then the client and the simulator are ended.
#
# Environment: KANZO_BUILD_DIR (default build/), KANZO_DEMO_SECONDS,
# KANZO_DEMO_NO_AUTOLOGIN=1 (keep the stored logins as they are).
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
export KANZO_BUILD_DIR="${KANZO_BUILD_DIR:-$root/build}"
# Only what the demo runs: the client and its updater (the program folder with
# its pictures, emoticons and sound comes with the client), the simulator and
# the screen grabber. Tests and benchmarks are left to scripts/test.sh.
KANZO_BUILD_TARGETS="Kanzo update kanzo-sim kanzo-screenshot" bash "$root/scripts/build.sh"
bin="$KANZO_BUILD_DIR/bin"
sim_dir="$KANZO_BUILD_DIR/sim"
shots="$KANZO_BUILD_DIR/demo-shots"
seconds="${KANZO_DEMO_SECONDS:-60}"
demo_user="demo"
demo_password="kanzo123"
demo_uid=2001
sim_port=58089

# --- the simulator --------------------------------------------------------
mkdir -p "$sim_dir/log"
"$sim_dir/kanzo-sim" >"$sim_dir/log/kanzo-sim.out" 2>&1 &
sim_pid=$!
children=("$sim_pid")
cleanup() {
  for pid in "${children[@]}"; do kill "$pid" 2>/dev/null || true; done
  wait 2>/dev/null || true
}
trap cleanup EXIT
for _ in $(seq 1 50); do
  if (exec 3<>"/dev/tcp/127.0.0.1/$sim_port") 2>/dev/null; then break; fi
  if ! kill -0 "$sim_pid" 2>/dev/null; then
    echo "run-demo: the simulator did not start:"; cat "$sim_dir/log/kanzo-sim.out"; exit 1
  fi
  sleep 0.1
done
echo "run-demo: simulator on 127.0.0.1:$sim_port (update server :58090, control :58091)"
echo "run-demo: frame log $sim_dir/log/frames.log"

# --- the client's program folder --------------------------------------------
cd "$bin"
if ! grep -qi '^SERVER_HOST=127\.0\.0\.1' config.ini 2>/dev/null; then
  echo "run-demo: warning: config.ini in $bin does not say SERVER_HOST=127.0.0.1;"
  echo "run-demo: the client will not reach the simulator until it does."
fi
if [ "${KANZO_DEMO_NO_AUTOLOGIN:-0}" != "1" ]; then
  # The stored demo login, remembered with automatic login, as a previous
  # clean run would have left it (the table is the client's own).
  sqlite3 qmb.db <<SQL
CREATE TABLE IF NOT EXISTS login_info(uid int,username varchar(20) UNIQUE, password varchar(20), keep_password int, auto_login int, state int, login_time int , is_login int);
INSERT OR REPLACE INTO login_info (uid,username,password,keep_password,auto_login,state,login_time,is_login)
  VALUES($demo_uid,'$demo_user','$demo_password',1,1,2,$(date +%s),2);
SQL
fi

# --- the client ---------------------------------------------------------------
if [ -n "${DISPLAY:-}" ]; then
  echo "run-demo: log in as \"$demo_user\" / \"$demo_password\" (stored with automatic login)"
  ./Kanzo "$@" || true
else
  echo "run-demo: no display; running the client under a virtual X server (Xvfb) for $seconds s"
  display=":$((90 + RANDOM % 100))"
  Xvfb "$display" -screen 0 1280x800x24 -nolisten tcp >/dev/null 2>&1 &
  children+=("$!")
  sleep 1
  DISPLAY="$display" ./Kanzo "$@" &
  kanzo_pid=$!
  children+=("$kanzo_pid")
  sleep "$seconds"
  mkdir -p "$shots"
  shot="$shots/screen-$(date +%Y%m%d-%H%M%S).png"
  if [ -x "$sim_dir/kanzo-screenshot" ] && DISPLAY="$display" "$sim_dir/kanzo-screenshot" "$shot"; then
    echo "run-demo: screenshot $shot"
  else
    echo "run-demo: no screenshot taken"
  fi
  kill "$kanzo_pid" 2>/dev/null || true
fi
echo "run-demo: the client's log is in $bin/log/"
tail -n 20 "$bin/log/$(date +%Y%m%d).log" 2>/dev/null || true
echo "run-demo: the last frames between client and simulator:"
tail -n 10 "$sim_dir/log/frames.log" 2>/dev/null || true
