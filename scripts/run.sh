#!/usr/bin/env bash
# Builds and starts the console on its embedded SQLite database. Without a
# display the console is served over VNC on port 5900. Extra arguments go to
# the console.
set -euo pipefail
cd "$(dirname "${BASH_SOURCE[0]}")/.."

bash scripts/build.sh

exe=build/console/kconsole
if [ ! -x "$exe" ]; then
  echo "The build did not produce $exe" >&2
  exit 1
fi

if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ] && [ -z "${QT_QPA_PLATFORM:-}" ]; then
  export QT_QPA_PLATFORM=vnc:size=1280x800:port=5900
  cat <<'MSG'
No display found: the console is served over VNC on port 5900.
  On this machine:    vncviewer localhost:5900
  From another one:   ssh -L 5900:localhost:5900 root@THIS-MACHINE
                      then: vncviewer localhost:5900
The VNC server has no password and listens on every interface; keep port
5900 closed to the network and use the ssh tunnel.
MSG
fi

cat <<'MSG'
Sample logins:
  ana     / ana123
  marko   / marko123
  jelena  / jelena123
MSG

exec "$exe" "$@"
