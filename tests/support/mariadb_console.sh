# Sourced by the console's script tests: a console in a folder of its own
# on an empty database of the private MariaDB server, first with the
# administrator's account in its ini, then, as a shared book is run, with
# the desks' account only.
#   mariadb_sql SQL              runs SQL on the server as the administrator, rows without headers
#   mariadb_console EXE DIR DB   makes DB, copies EXE into DIR with the administrator's ini
#   mariadb_desk DIR DB          gives the desks' account its rights on DB and DIR its ini
mariadb_admin=${KLEDGER_MARIADB_ADMIN_USER:-ledger}
mariadb_admin_password=${KLEDGER_MARIADB_ADMIN_PASSWORD:-ledger}
mariadb_desk_user=${KLEDGER_MARIADB_USER:-ledger_desk}
mariadb_desk_password=${KLEDGER_MARIADB_PASSWORD:-ledger_desk}
mariadb_scripts=$(cd "$(dirname "${BASH_SOURCE[0]}")/../../scripts" && pwd)

mariadb_sql() {
  MYSQL_PWD=$mariadb_admin_password mariadb --no-defaults --socket="$KLEDGER_MARIADB_SOCKET" -u"$mariadb_admin" -N -e "$1"
}
mariadb_ini() {
  cat > "$1/kconsole.ini" <<INI
[Database]
Driver=QMYSQL
Database=$2
Socket=$KLEDGER_MARIADB_SOCKET
User=$3
Password=$4
INI
}
mariadb_console() {
  local exe=$1 dir=$2 db=$3
  mariadb_sql "CREATE DATABASE $db CHARACTER SET utf8mb4"
  mkdir -p "$dir"
  cp "$exe" "$dir/kconsole"
  mariadb_ini "$dir" "$db" "$mariadb_admin" "$mariadb_admin_password"
}
mariadb_desk() {
  local dir=$1 db=$2
  MYSQL_PWD=$mariadb_admin_password mariadb --no-defaults --socket="$KLEDGER_MARIADB_SOCKET" -u"$mariadb_admin" \
    --init-command="SET @desk_user = '$mariadb_desk_user', @desk_host = 'localhost'" "$db" \
    < "$mariadb_scripts/desk-account.sql"
  mariadb_ini "$dir" "$db" "$mariadb_desk_user" "$mariadb_desk_password"
}
