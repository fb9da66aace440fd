#!/usr/bin/env bash
# Builds, starts a private MariaDB server and a private three-node Galera
# cluster, and runs every test (SQLite, MariaDB, and the cluster's), then,
# without arguments, scripts/screenshot.sh. Extra arguments go to ctest (and
# leave the pictures out), e.g.: bash scripts/test.sh -R dataset
set -euo pipefail
cd "$(dirname "${BASH_SOURCE[0]}")/.."
root=$(pwd)

bash scripts/build.sh

mdb_dir=$root/build/mariadb
galera_dir=$root/build/galera
ctest_pid=
stop_server() {
  [ -n "$ctest_pid" ] && kill -TERM -- "-$ctest_pid" 2>/dev/null || true
  bash "$root/scripts/galera-private.sh" stop "$galera_dir" >/dev/null || true
  bash "$root/scripts/mariadb-private.sh" stop "$mdb_dir" || true
}
trap stop_server EXIT
trap 'exit 130' INT
trap 'exit 143' TERM
bash scripts/mariadb-private.sh start "$mdb_dir"
bash scripts/galera-private.sh start "$galera_dir"

export QT_QPA_PLATFORM=offscreen
export KLEDGER_MARIADB_SOCKET
KLEDGER_MARIADB_SOCKET=$(bash scripts/mariadb-private.sh socket "$mdb_dir")
# The tests' desks log in as the desks' account; the administrator makes
# their databases and tables.
export KLEDGER_MARIADB_USER=ledger_desk
export KLEDGER_MARIADB_PASSWORD=ledger_desk
export KLEDGER_MARIADB_ADMIN_USER=ledger
export KLEDGER_MARIADB_ADMIN_PASSWORD=ledger
export KLEDGER_GALERA_DIR=$galera_dir
export KLEDGER_GALERA_SOCKETS
KLEDGER_GALERA_SOCKETS=$(bash scripts/galera-private.sh sockets "$galera_dir")

# ctest runs in the background, in a process group of its own, so that a
# signal reaches the traps at once and they can end ctest and its tests too.
# A test without a TIMEOUT of its own gets 15 minutes: a hang cannot eat a CI run.
status=0
set -m
ctest --test-dir build --output-on-failure -j2 --no-tests=error --timeout 900 "$@" </dev/null &
ctest_pid=$!
set +m
wait "$ctest_pid" || status=$?
ctest_pid=

# A whole run also photographs every window headless (on SQLite, under a
# minute), so that the pictures cannot rot: a part that fails fails the run.
if [ $# -eq 0 ]; then
  bash scripts/screenshot.sh "$root/build/screenshots" </dev/null || { s=$?; [ "$status" -ne 0 ] || status=$s; }
fi
exit "$status"
