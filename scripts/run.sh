#!/usr/bin/env bash
# Builds and starts the console on its embedded SQLite database. Without a
# display it runs on a virtual X screen served over VNC on localhost:5900
# (loopback only). Extra arguments go to the console.
set -euo pipefail
cd "$(dirname "${BASH_SOURCE[0]}")/.."

bash scripts/build.sh

exe=build/console/kconsole
if [ ! -x "$exe" ]; then
  echo "The build did not produce $exe" >&2
  exit 1
fi

cat <<'MSG'
Sample logins:
  ana     / ana123
  marko   / marko123
  jelena  / jelena123
MSG

if [ -n "${DISPLAY:-}" ] || [ -n "${WAYLAND_DISPLAY:-}" ] || [ -n "${QT_QPA_PLATFORM:-}" ]; then
  exec "$exe" "$@"
fi

# No display: a virtual X screen for the console, shown over VNC on this
# machine's loopback only (the VNC server has no password).
display=:57
while [ -e "/tmp/.X11-unix/X${display#:}" ] || [ -e "/tmp/.X${display#:}-lock" ]; do
  display=":$(( ${display#:} + 1 ))"
done
port=${KLEDGER_VNC_PORT:-5900}
Xvfb "$display" -screen 0 1280x800x24 -nolisten tcp >/tmp/kconsole-xvfb.log 2>&1 &
xvfb=$!
x11vnc_pid=
cleanup() {
  [ -n "$x11vnc_pid" ] && kill "$x11vnc_pid" 2>/dev/null || true
  kill "$xvfb" 2>/dev/null || true
}
trap cleanup EXIT INT TERM
for _ in $(seq 50); do
  [ -e "/tmp/.X11-unix/X${display#:}" ] && break
  sleep 0.1
done
x11vnc -display "$display" -localhost -rfbport "$port" -forever -shared -nopw -quiet \
  >/tmp/kconsole-x11vnc.log 2>&1 &
x11vnc_pid=$!
cat <<MSG
No display found: the console runs on a virtual screen served over VNC at
localhost:$port (loopback only).
  On this machine:    vncviewer localhost:$port
  From another one:   ssh -L $port:localhost:$port root@THIS-MACHINE
                      then: vncviewer localhost:$port
Close the console (Datoteka > Izlaz) to stop it.
MSG
DISPLAY=$display QT_QPA_PLATFORM=xcb "$exe" "$@"
