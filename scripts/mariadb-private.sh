#!/usr/bin/env bash
# A private MariaDB server for the tests: its own data directory, a Unix socket
# and no TCP port. It never reads /etc/mysql and never touches the system service.
#
#   scripts/mariadb-private.sh start|stop|status|socket DIR
#
# DIR/data      data directory (initialised on the first start, reused later)
# DIR/mysqld.*  socket, pid file and error log
# The account ledger/ledger has all privileges and makes the tests' own
# ledger_test_* databases; the desks' account ledger_desk/ledger_desk gets
# on each only what scripts/desk-account.sql grants.
set -euo pipefail

usage() { echo "usage: $0 start|stop|status|socket DIR" >&2; exit 2; }
[ $# -eq 2 ] || usage
cmd=$1
mkdir -p "$2"
dir=$(cd "$2" && pwd)
data=$dir/data
pidfile=$dir/mysqld.pid
log=$dir/mysqld.log
marker=$data/.initialised
collfile=$dir/collation
wait_secs=${MARIADB_WAIT_SECS:-60}

# A Unix socket path must fit in 108 bytes; a deep checkout would not, so the
# socket then lives in a short directory named after DIR.
socket=$dir/mysqld.sock
if [ ${#socket} -gt 100 ]; then
  socket=/tmp/kledger-mdb-$(printf '%s' "$dir" | md5sum | cut -c1-12)/mysqld.sock
fi

for b in mariadbd mariadb-install-db mariadb; do
  command -v "$b" >/dev/null 2>&1 || [ -x "/usr/sbin/$b" ] || {
    echo "$b not found; run scripts/install-deps.sh" >&2; exit 1; }
done
mariadbd_bin=$(command -v mariadbd || echo /usr/sbin/mariadbd)

client() { mariadb --no-defaults --socket="$socket" -uroot "$@"; }

# Prints the pid of the server that owns this data directory, if one runs.
server_pid() {
  [ -f "$pidfile" ] || return 1
  local pid
  pid=$(tr -dc '0-9' <"$pidfile")
  [ -n "$pid" ] && [ -r "/proc/$pid/cmdline" ] || return 1
  # A pid left by a killed run may have been reused by something else.
  tr '\0' ' ' <"/proc/$pid/cmdline" | grep -qF -- "--datadir=$data " || return 1
  echo "$pid"
}

answers() { client -N -e 'SELECT 1' >/dev/null 2>&1; }

clear_stale() {
  rm -f "$pidfile" "$socket" "$socket.lock"
}

start() {
  if pid=$(server_pid); then
    # Already up, or still starting from another call.
    local deadline=$((SECONDS + wait_secs))
    until answers; do
      if ! kill -0 "$pid" 2>/dev/null || [ $SECONDS -ge $deadline ]; then
        echo "MariaDB pid $pid owns $data but does not answer; run '$0 stop $dir'" >&2
        exit 1
      fi
      sleep 0.2
    done
    echo "MariaDB already running (pid $pid, socket $socket)"
    setup_account
    return 0
  fi
  clear_stale
  mkdir -p "$(dirname "$socket")"

  if [ ! -f "$marker" ]; then
    # An interrupted initialisation leaves a half-made directory; start over.
    rm -rf "$data"
    mkdir -p "$data"
    echo "Initialising MariaDB data directory $data"
    if ! mariadb-install-db --no-defaults --datadir="$data" --user=root \
        --auth-root-authentication-method=normal --skip-test-db \
        --skip-name-resolve >"$dir/install-db.log" 2>&1; then
      cat "$dir/install-db.log" >&2
      echo "mariadb-install-db failed" >&2
      exit 1
    fi
    touch "$marker"
  fi

  local coll=utf8mb4_unicode_ci
  [ -s "$collfile" ] && coll=$(cat "$collfile")

  # Temporary tables (information_schema reads among them) stay in DIR:
  # nothing that clears /tmp pulls them away under a running statement.
  mkdir -p "$dir/tmp"
  echo "Starting MariaDB (socket $socket, log $log)"
  "$mariadbd_bin" --no-defaults --user=root \
    --datadir="$data" --socket="$socket" --pid-file="$pidfile" --tmpdir="$dir/tmp" \
    --log-error="$log" --skip-networking --skip-name-resolve \
    --character-set-server=utf8mb4 --collation-server="$coll" \
    --innodb-buffer-pool-size=256M --innodb-flush-log-at-trx-commit=2 \
    --innodb-doublewrite=0 --skip-log-bin --max-connections=100 \
    </dev/null >>"$log" 2>&1 &
  local launched=$!

  local deadline=$((SECONDS + wait_secs))
  until answers; do
    if ! kill -0 "$launched" 2>/dev/null; then
      echo "MariaDB exited during start-up; last lines of $log:" >&2
      tail -n 30 "$log" >&2 || true
      exit 1
    fi
    if [ $SECONDS -ge $deadline ]; then
      echo "MariaDB did not answer within ${wait_secs}s; last lines of $log:" >&2
      tail -n 30 "$log" >&2 || true
      kill "$launched" 2>/dev/null || true
      exit 1
    fi
    sleep 0.2
  done

  # Serbian Latin sorts like Croatian (č ć dž đ lj nj š ž). The choice is
  # remembered so later starts pass it on the command line.
  if [ ! -s "$collfile" ]; then
    coll=utf8mb4_unicode_ci
    if [ -n "$(client -N -e "SHOW COLLATION LIKE 'utf8mb4_croatian_ci'")" ]; then
      coll=utf8mb4_croatian_ci
    fi
    echo "$coll" >"$collfile"
    client -e "SET GLOBAL character_set_server = utf8mb4, GLOBAL collation_server = $coll"
  fi

  setup_account
  echo "MariaDB ready (pid $launched, collation $(cat "$collfile"))"
}

# ledger is the administrator: it makes the books and their tables and
# gives the desks their rights (scripts/desk-account.sql). ledger_desk is the
# desks' account: it holds nothing until then.
setup_account() {
  client -e "CREATE USER IF NOT EXISTS 'ledger'@'localhost' IDENTIFIED BY 'ledger';
             GRANT ALL PRIVILEGES ON *.* TO 'ledger'@'localhost' WITH GRANT OPTION;
             CREATE USER IF NOT EXISTS 'ledger_desk'@'localhost' IDENTIFIED BY 'ledger_desk';
             DROP USER IF EXISTS ''@'localhost';
             FLUSH PRIVILEGES;"
}

stop() {
  local pid
  if ! pid=$(server_pid); then
    clear_stale
    echo "MariaDB not running"
    return 0
  fi
  echo "Stopping MariaDB (pid $pid)"
  client -e 'SHUTDOWN' >/dev/null 2>&1 || kill -TERM "$pid" 2>/dev/null || true
  local deadline=$((SECONDS + wait_secs))
  while kill -0 "$pid" 2>/dev/null && [ $SECONDS -lt $deadline ]; do sleep 0.2; done
  if kill -0 "$pid" 2>/dev/null; then
    kill -TERM "$pid" 2>/dev/null || true
    deadline=$((SECONDS + 20))
    while kill -0 "$pid" 2>/dev/null && [ $SECONDS -lt $deadline ]; do sleep 0.2; done
  fi
  if kill -0 "$pid" 2>/dev/null; then
    echo "MariaDB did not stop; killing it" >&2
    kill -KILL "$pid" 2>/dev/null || true
    sleep 0.5
  fi
  clear_stale
  echo "MariaDB stopped"
}

status() {
  local pid
  if pid=$(server_pid) && answers; then
    echo "running (pid $pid, socket $socket)"
  else
    echo "stopped"
    return 3
  fi
}

case $cmd in
  start) start ;;
  stop) stop ;;
  status) status ;;
  socket) echo "$socket" ;;
  *) usage ;;
esac
