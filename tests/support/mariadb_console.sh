# Sourced by the console's script tests: a console in a folder of its own
# on an empty database of the private MariaDB server.
#   mariadb_sql SQL              runs SQL on the server, rows without headers
#   mariadb_console EXE DIR DB   makes DB, copies EXE into DIR with an ini for it
mariadb_sql() {
  mariadb --no-defaults --socket="$KLEDGER_MARIADB_SOCKET" -u"${KLEDGER_MARIADB_USER:-ledger}" \
    -p"${KLEDGER_MARIADB_PASSWORD:-ledger}" -N -e "$1"
}
mariadb_console() {
  local exe=$1 dir=$2 db=$3
  mariadb_sql "CREATE DATABASE $db CHARACTER SET utf8mb4"
  mkdir -p "$dir"
  cp "$exe" "$dir/kconsole"
  cat > "$dir/kconsole.ini" <<INI
[Database]
Driver=QMYSQL
Database=$db
Socket=$KLEDGER_MARIADB_SOCKET
User=${KLEDGER_MARIADB_USER:-ledger}
Password=${KLEDGER_MARIADB_PASSWORD:-ledger}
INI
}
