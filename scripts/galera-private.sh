#!/usr/bin/env bash
# A private three-node MariaDB Galera cluster for the tests: every node has its
# own data directory and Unix socket; the Galera traffic runs on 127.0.0.1
# ports of its own. It never reads /etc/mysql and never touches a system service.
#
#   scripts/galera-private.sh start|stop|status|sockets DIR
#   scripts/galera-private.sh kill|rejoin DIR N
#
# DIR/nodeN/data      node N's data directory (made fresh by every start)
# DIR/nodeN/mysqld.*  its socket, pid file and error log
# 'stop' shuts the nodes down in reverse order and removes DIR/node*.
# 'kill' ends node N at once (SIGKILL, as a power cut would); 'rejoin' starts
# it again and returns once it has caught up with the others (an incremental
# transfer from another node's cache) and the cluster has all its nodes.
# The account ledger/ledger has all privileges on every node; the desks'
# account ledger_desk/ledger_desk only what scripts/desk-account.sql grants.
#
# No state transfer tool is needed: node 1 is initialised and shut down once,
# and its data directory is copied to the others, so they join with the same
# data; scripts/wsrep_sst_kseed hands them only the position, and only once.
# ('skip' does not do: Galera 4 still makes the joiner wait for an
# incremental transfer that never comes.)
# GALERA_BASE_PORT (default derived from DIR) picks the ports:
# node N uses BASE+10N (group), +1 (incremental transfer), +2 (state transfer).
set -euo pipefail

usage() { echo "usage: $0 start|stop|status|sockets DIR | kill|rejoin DIR N" >&2; exit 2; }
[ $# -ge 2 ] || usage
cmd=$1
node_arg=${3:-}
mkdir -p "$2"
dir=$(cd "$2" && pwd)
nodes=(1 2 3)
here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
wait_secs=${MARIADB_WAIT_SECS:-90}
cluster=kledger

# Several checkouts may run clusters at once; each DIR gets its own ports.
hash=$(printf '%s' "$dir" | md5sum | cut -c1-8)
base=${GALERA_BASE_PORT:-$((20000 + (16#$hash % 2000) * 20))}

provider=${GALERA_PROVIDER:-/usr/lib/galera/libgalera_smm.so}
[ -f "$provider" ] || { echo "$provider not found; run scripts/install-deps.sh" >&2; exit 1; }
for b in mariadbd mariadb-install-db mariadb; do
  command -v "$b" >/dev/null 2>&1 || [ -x "/usr/sbin/$b" ] || {
    echo "$b not found; run scripts/install-deps.sh" >&2; exit 1; }
done
mariadbd_bin=$(command -v mariadbd || echo /usr/sbin/mariadbd)

# A Unix socket path must fit in 108 bytes; a deep checkout keeps its sockets
# in a short directory named after DIR.
sockdir=$dir
if [ $((${#dir} + 20)) -gt 100 ]; then sockdir=/tmp/kledger-gal-$hash; fi

ndir() { echo "$dir/node$1"; }
sock() { echo "$sockdir/node$1.sock"; }
gport() { echo $((base + 10 * $1)); }
# A node stuck before joining blocks its clients; no call may hang the script.
client() { local n=$1; shift; timeout 15 mariadb --no-defaults --socket="$(sock "$n")" -uroot "$@"; }
answers() { client "$1" -N -e 'SELECT 1' >/dev/null 2>&1; }

server_pid() {
  local pidfile pid
  pidfile=$(ndir "$1")/mysqld.pid
  [ -f "$pidfile" ] || return 1
  pid=$(tr -dc '0-9' <"$pidfile")
  [ -n "$pid" ] && [ -r "/proc/$pid/cmdline" ] || return 1
  # A pid left by a killed run may have been reused by something else.
  tr '\0' ' ' <"/proc/$pid/cmdline" | grep -qF -- "--datadir=$(ndir "$1")/data " || return 1
  echo "$pid"
}

wsrep_status() {
  client "$1" -N -e "SELECT VARIABLE_VALUE FROM information_schema.GLOBAL_STATUS
                     WHERE VARIABLE_NAME = '$2'" 2>/dev/null
}

# Starts node N; extra arguments go to mariadbd. Returns once it answers.
launch() {
  local n=$1; shift
  local d addr="" m
  d=$(ndir "$n")
  for m in "${nodes[@]}"; do addr+="${addr:+,}127.0.0.1:$(gport "$m")"; done
  local g; g=$(gport "$n")
  rm -f "$(sock "$n")" "$(sock "$n").lock" "$d/mysqld.pid"
  # Temporary tables stay in the node's directory, out of reach of whatever clears /tmp.
  mkdir -p "$d/tmp"
  PATH="$here:$PATH" KLEDGER_GALERA_DIR="$dir" \
  "$mariadbd_bin" --no-defaults --user=root \
    --datadir="$d/data" --socket="$(sock "$n")" --pid-file="$d/mysqld.pid" --tmpdir="$d/tmp" \
    --log-error="$d/mysqld.log" --skip-networking --skip-name-resolve \
    --character-set-server=utf8mb4 --collation-server="$coll" \
    --innodb-buffer-pool-size=64M --innodb-flush-log-at-trx-commit=2 \
    --innodb-doublewrite=0 --innodb-autoinc-lock-mode=2 --max-connections=100 \
    --binlog-format=ROW --default-storage-engine=InnoDB \
    --wsrep-on=ON --wsrep-provider="$provider" \
    --wsrep-cluster-name="$cluster" --wsrep-node-name="node$n" \
    --wsrep-cluster-address="gcomm://$addr" \
    --wsrep-node-address="127.0.0.1:$g" \
    --wsrep-sst-method=kseed --wsrep-sst-receive-address="127.0.0.1:$((g + 2))" \
    --wsrep-provider-options="gmcast.listen_addr=tcp://127.0.0.1:$g;ist.recv_addr=127.0.0.1:$((g + 1));gcache.size=32M;evs.suspect_timeout=PT3S;evs.inactive_timeout=PT6S;pc.weight=1" \
    "$@" </dev/null >>"$d/mysqld.log" 2>&1 &
  local launched=$! deadline=$((SECONDS + wait_secs))
  until answers "$n" && [ "$(wsrep_status "$n" WSREP_READY)" = ON ]; do
    if ! kill -0 "$launched" 2>/dev/null; then
      echo "node $n exited during start-up; last lines of $d/mysqld.log:" >&2
      tail -n 30 "$d/mysqld.log" >&2 || true
      return 1
    fi
    if [ $SECONDS -ge $deadline ]; then
      echo "node $n not ready within ${wait_secs}s; last lines of $d/mysqld.log:" >&2
      tail -n 30 "$d/mysqld.log" >&2 || true
      kill "$launched" 2>/dev/null || true
      return 1
    fi
    sleep 0.2
  done
}

shutdown_node() {
  local n=$1 pid
  pid=$(server_pid "$n") || return 0
  client "$n" -e 'SHUTDOWN' >/dev/null 2>&1 || kill -TERM "$pid" 2>/dev/null || true
  local deadline=$((SECONDS + wait_secs))
  while kill -0 "$pid" 2>/dev/null && [ $SECONDS -lt $deadline ]; do sleep 0.2; done
  if kill -0 "$pid" 2>/dev/null; then
    echo "node $n did not stop; killing it" >&2
    kill -KILL "$pid" 2>/dev/null || true
    sleep 0.5
  fi
  rm -f "$(sock "$n")" "$(sock "$n").lock"
}

# ledger is the administrator: it makes the books and their tables and
# gives the desks their rights (scripts/desk-account.sql). ledger_desk is the
# desks' account: it holds nothing until then.
setup_account() {
  client 1 -e "CREATE USER IF NOT EXISTS 'ledger'@'localhost' IDENTIFIED BY 'ledger';
               GRANT ALL PRIVILEGES ON *.* TO 'ledger'@'localhost' WITH GRANT OPTION;
               CREATE USER IF NOT EXISTS 'ledger_desk'@'localhost' IDENTIFIED BY 'ledger_desk';
               DROP USER IF EXISTS ''@'localhost';
               FLUSH PRIVILEGES;"
}

start() {
  local n
  for n in "${nodes[@]}"; do
    if server_pid "$n" >/dev/null; then
      echo "node $n already runs in $dir; run '$0 stop $dir' first" >&2
      exit 1
    fi
  done
  local t0=$SECONDS
  rm -rf "$dir"/node*
  mkdir -p "$sockdir"
  for n in "${nodes[@]}"; do mkdir -p "$(ndir "$n")"; done

  coll=utf8mb4_unicode_ci
  local d1; d1=$(ndir 1)
  if ! mariadb-install-db --no-defaults --datadir="$d1/data" --user=root \
      --auth-root-authentication-method=normal --skip-test-db \
      --skip-name-resolve >"$d1/install-db.log" 2>&1; then
    cat "$d1/install-db.log" >&2
    echo "mariadb-install-db failed" >&2
    exit 1
  fi

  # Seed: a one-node cluster makes the account, shuts down cleanly and is copied.
  echo "Seeding the cluster state in $d1"
  launch 1 --wsrep-new-cluster
  setup_account
  # Serbian Latin sorts like Croatian (č ć dž đ lj nj š ž).
  if [ -n "$(client 1 -N -e "SHOW COLLATION LIKE 'utf8mb4_croatian_ci'")" ]; then
    coll=utf8mb4_croatian_ci
  fi
  shutdown_node 1
  echo "$coll" >"$dir/collation"
  rm -f "$d1/data/gvwstate.dat"
  # The joiners forget their position: the data is the same, and the 'skip'
  # transfer then hands them the cluster's position instead of waiting for
  # an incremental transfer the donor would never send.
  for n in "${nodes[@]:1}"; do
    cp -a "$d1/data" "$(ndir "$n")/data"
    touch "$(ndir "$n")/data/.kledger-seed"
  done

  # Only the first node forms a new cluster; the others join it in order.
  sed -i 's/^safe_to_bootstrap:.*/safe_to_bootstrap: 1/' "$d1/data/grastate.dat"
  echo "Starting node 1 (bootstrap, socket $(sock 1))"
  launch 1 --wsrep-new-cluster || { stop; exit 1; }
  for n in "${nodes[@]:1}"; do
    echo "Starting node $n (socket $(sock "$n"))"
    launch "$n" || { stop; exit 1; }
  done

  local deadline=$((SECONDS + wait_secs))
  wait_full 1 || { stop; exit 1; }
  echo "Galera cluster ready: ${#nodes[@]} nodes, collation $coll, started in $((SECONDS - t0))s"
}

# Waits until node N sees every node in the cluster.
wait_full() {
  local deadline=$((SECONDS + wait_secs))
  until [ "$(wsrep_status "$1" WSREP_CLUSTER_SIZE)" = "${#nodes[@]}" ]; do
    if [ $SECONDS -ge $deadline ]; then
      echo "cluster did not reach ${#nodes[@]} nodes" >&2; return 1
    fi
    sleep 0.2
  done
}

node_number() {
  case $node_arg in
    1|2|3) echo "$node_arg" ;;
    *) usage ;;
  esac
}

kill_node() {
  local n pid
  n=$(node_number)
  pid=$(server_pid "$n") || { echo "node $n does not run" >&2; exit 1; }
  kill -KILL "$pid"
  while kill -0 "$pid" 2>/dev/null; do sleep 0.05; done
  echo "node $n killed"
}

rejoin_node() {
  local n t0=$SECONDS
  n=$(node_number)
  if server_pid "$n" >/dev/null; then echo "node $n already runs" >&2; exit 1; fi
  coll=$(cat "$dir/collation")
  # A killed node does not know its position: InnoDB tells it (as the
  # system's galera_recovery does), and the cluster then sends only what
  # the node missed. The recovery reads the tables' definitions with the
  # server's own character set: a generated column's expression holds
  # Serbian letters, and under the default one the recovery hangs on it.
  local d pos
  d=$(ndir "$n")
  "$mariadbd_bin" --no-defaults --user=root --datadir="$d/data" --log-error="$d/recover.log" \
    --skip-networking --socket="$d/recover.sock" --innodb-buffer-pool-size=64M \
    --character-set-server=utf8mb4 --collation-server="$coll" \
    --binlog-format=ROW --wsrep-on=ON --wsrep-provider="$provider" --wsrep-sst-method=kseed \
    --wsrep-cluster-address="gcomm://127.0.0.1:$(gport "$n")" --wsrep-recover </dev/null >"$d/recover.out" 2>&1 &
  local rpid=$! waited=0
  # The position is all we need: a recovery that lingers after naming it
  # (it may stumble on a table it opens afterwards) is stopped, not waited for.
  while kill -0 "$rpid" 2>/dev/null && ((waited < 120)); do
    if cat "$d/recover.log" "$d/recover.out" 2>/dev/null | grep -q 'WSREP: Recovered position:'; then
      sleep 2
      kill "$rpid" 2>/dev/null && sleep 1 && kill -9 "$rpid" 2>/dev/null
      break
    fi
    sleep 0.5
    ((waited += 1))
  done
  wait "$rpid" 2>/dev/null || true
  pos=$(cat "$d/recover.log" "$d/recover.out" 2>/dev/null | sed -n 's/.*WSREP: Recovered position: *//p' | tail -n 1)
  [ -n "$pos" ] || { echo "node $n: position not recovered; see $d/recover.log" >&2; exit 1; }
  launch "$n" --wsrep-start-position="$pos" || exit 1
  [ "$(wsrep_status "$n" WSREP_LOCAL_STATE_COMMENT)" = Synced ] || { echo "node $n not synced" >&2; exit 1; }
  wait_full "$n" || exit 1
  echo "node $n rejoined in $((SECONDS - t0))s"
}

stop() {
  local i n
  for ((i = ${#nodes[@]} - 1; i >= 0; i--)); do
    n=${nodes[i]}
    if server_pid "$n" >/dev/null; then echo "Stopping node $n"; fi
    shutdown_node "$n"
  done
  rm -rf "$dir"/node* "$dir/sst" "$dir/collation"
  [ "$sockdir" = "$dir" ] || rm -rf "$sockdir"
  echo "Galera cluster stopped"
}

status() {
  local n rc=0
  for n in "${nodes[@]}"; do
    if server_pid "$n" >/dev/null && answers "$n"; then
      echo "node $n: running, cluster size $(wsrep_status "$n" WSREP_CLUSTER_SIZE), ready $(wsrep_status "$n" WSREP_READY), socket $(sock "$n")"
    else
      echo "node $n: stopped"; rc=3
    fi
  done
  return $rc
}

sockets() {
  local n out=""
  for n in "${nodes[@]}"; do out+="${out:+;}$(sock "$n")"; done
  echo "$out"
}

case $cmd in
  start) start ;;
  stop) stop ;;
  status) status ;;
  sockets) sockets ;;
  kill) kill_node ;;
  rejoin) rejoin_node ;;
  *) usage ;;
esac
