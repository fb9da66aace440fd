#!/usr/bin/env bash
# The whole console on a fresh SQLite book: logs in, loads the ledger module,
# shows this month's items and saves a picture of the window.
set -euo pipefail
exe=$1
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cp "$exe" "$work/kconsole"
echo 'ana123' | "$work/kconsole" --user ana --password-stdin --select Delovodnik --action ThisMonthAction \
  --size 1024x700 --screenshot "$work/console.png"
[ -s "$work/console.png" ] || { echo "no picture written" >&2; exit 1; }
[ -s "$work/kledger.db" ] || { echo "no database created" >&2; exit 1; }
"$work/kconsole" --version | grep -q "verzija [0-9]" || { echo "--version names no version" >&2; exit 1; }
# The ini and the book are their owner's only.
for f in "$work/kledger.db" "$work/kconsole.ini"; do
  [ "$(stat -c %a "$f")" = 600 ] || { echo "$f is readable by others" >&2; exit 1; }
done
# A wrong password is refused with its own exit code.
if echo wrong | "$work/kconsole" --user ana --password-stdin --screenshot "$work/x.png" 2>/dev/null; then
  echo "a wrong password was accepted" >&2
  exit 1
fi
# The same on an empty MariaDB database, as a shared book is run: the desks'
# account may not make the tables and is told who does; the administrator's
# console makes them and adds a user; with the desks' rights given, that user
# logs in on the desks' account.
if [ -n "${KLEDGER_MARIADB_SOCKET:-}" ]; then
  . "$(dirname "${BASH_SOURCE[0]}")/support/mariadb_console.sh"
  db=ledger_smoke_$$
  trap 'mariadb_sql "DROP DATABASE IF EXISTS $db" || true; rm -rf "$work"' EXIT
  mariadb_console "$exe" "$work/maria" "$db"
  mariadb_ini "$work/maria" "$db" "$mariadb_desk_user" "$mariadb_desk_password"
  if echo 'tajna-1' | "$work/maria/kconsole" --add-user milan 2>"$work/desk.err"; then
    echo "the desks' account made a book" >&2
    exit 1
  fi
  grep -q "Šemu baze mora da napravi ili dopuni administrator baze" "$work/desk.err" ||
    { echo "the desks' account is not told who makes the tables: $(cat "$work/desk.err")" >&2; exit 1; }
  mariadb_ini "$work/maria" "$db" "$mariadb_admin" "$mariadb_admin_password"
  echo 'tajna-1' | "$work/maria/kconsole" --add-user milan --first-name Milan --last-name Čubrilo
  mariadb_desk "$work/maria" "$db"
  echo 'tajna-1' | "$work/maria/kconsole" --user milan --password-stdin --select Delovodnik --action TodayAction \
    --screenshot "$work/maria/console.png"
  [ -s "$work/maria/console.png" ] || { echo "no picture written on MariaDB" >&2; exit 1; }
fi
echo "console smoke test passed"
