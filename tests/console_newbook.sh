#!/usr/bin/env bash
# An office's own empty book from the command line, on SQLite and, with a
# private server, on an empty MariaDB database: made once, refused where a
# book is, refused without its options or password; the administrator logs
# in and the book has no items, partners or documents.
set -euo pipefail
exe=$1
work=$(mktemp -d)
cleanup() { rm -rf "$work"; }
trap cleanup EXIT
fail() { echo "$*" >&2; exit 1; }

# expect CODE DIR ARGS... (the password on standard input comes from $pw)
expect() {
  local code=$1 dir=$2; shift 2
  local got=0
  printf '%s\n' "$pw" | "$dir/kconsole" "$@" >"$work/out" 2>"$work/err" || got=$?
  [ "$got" = "$code" ] || fail "kconsole $* gave $got, not $code: $(cat "$work/out" "$work/err")"
}

new_book=(--new-book --organization "Opština Žabalj" --admin milan --first-name Milan --last-name Čubrilo --password-stdin)

# Refused before anything is made: a missing option, an empty password.
mkdir "$work/lite"
cp "$exe" "$work/lite/kconsole"
pw='tajna-1'
expect 7 "$work/lite" --new-book --admin milan --password-stdin
grep -q -- "--organization" "$work/err" || fail "the missing option is not named"
expect 7 "$work/lite" --new-book --organization X --admin milan
pw=''
expect 1 "$work/lite" "${new_book[@]}"
[ ! -e "$work/lite/kledger.db" ] || fail "a refused book left a file"

# Made once on SQLite, then refused; the administrator logs in to an empty book.
pw='tajna-1'
expect 0 "$work/lite" "${new_book[@]}"
grep -q "Opština Žabalj" "$work/out" || fail "the new book is not announced"
[ "$(stat -c %a "$work/lite/kledger.db")" = 600 ] || fail "the new book is readable by others"
count() { sqlite3 "$work/lite/kledger.db" "$1"; }
[ "$(count 'SELECT COUNT(*) FROM ledgeritem NOT INDEXED')" = 0 ] || fail "the new book has items"
[ "$(count 'SELECT COUNT(*) FROM partner NOT INDEXED')" = 0 ] || fail "the new book has partners"
[ "$(count 'SELECT COUNT(*) FROM document NOT INDEXED')" = 0 ] || fail "the new book has documents"
[ "$(count "SELECT login || ' ' || firstname || ' ' || lastname FROM user NOT INDEXED")" = "milan Milan Čubrilo" ] ||
  fail "the new book's users: $(count 'SELECT login FROM user NOT INDEXED')"
[ "$(count "SELECT value FROM settings NOT INDEXED WHERE section = 'Organization' AND keyname = 'Name'")" = "Opština Žabalj" ] ||
  fail "the organisation's name is not stored"
before=$(md5sum < "$work/lite/kledger.db")
expect 7 "$work/lite" "${new_book[@]}"
grep -q "već postoji" "$work/err" || fail "the refusal does not say the book is there"
[ "$(md5sum < "$work/lite/kledger.db")" = "$before" ] || fail "a refused book changed the existing one"
expect 0 "$work/lite" --user milan --password-stdin --export-csv "$work/lite/sve.csv" --year 2026
[ "$(wc -l < "$work/lite/sve.csv")" = 1 ] || fail "the new book exports items"

# The same on an empty MariaDB database.
if [ -n "${KLEDGER_MARIADB_SOCKET:-}" ]; then
  . "$(dirname "${BASH_SOURCE[0]}")/support/mariadb_console.sh"
  db=ledger_newbook_$$
  cleanup() { mariadb_sql "DROP DATABASE IF EXISTS $db" || true; rm -rf "$work"; }
  mariadb_console "$exe" "$work/maria" "$db"
  sql() { mariadb_sql "$1"; }
  expect 0 "$work/maria" "${new_book[@]}"
  [ "$(sql "SELECT COUNT(*) FROM $db.ledgeritem")" = 0 ] || fail "the new MariaDB book has items"
  [ "$(sql "SELECT login FROM $db.user")" = milan ] || fail "the new MariaDB book's users are wrong"
  expect 7 "$work/maria" "${new_book[@]}"
  [ "$(sql "SELECT COUNT(*) FROM $db.user")" = 1 ] || fail "a refused book added a user"
  # The administrator made it; the desks work on it with their own account.
  mariadb_desk "$work/maria" "$db"
  expect 0 "$work/maria" --user milan --password-stdin --export-csv "$work/maria/sve.csv" --year 2026
  [ "$(wc -l < "$work/maria/sve.csv")" = 1 ] || fail "the new MariaDB book exports items"
fi
echo "new book test passed"
