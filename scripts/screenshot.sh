#!/usr/bin/env bash
# Builds, then photographs the console with the ledger selected, on a fresh
# copy of the sample SQLite book: scripts/screenshot.sh [OUT_DIR]
# Writes OUT_DIR/console.png (the list filtered to this month),
# OUT_DIR/ledgerdetail.png, and the handover record: OUT_DIR/proceeding.png,
# OUT_DIR/zapisnik.pdf and its first page OUT_DIR/zapisnik.png (default
# build/screenshots). The console is run
# from a copy in a temporary folder, because it keeps its ini file and its
# SQLite database beside the executable; build/console is left untouched.
set -euo pipefail
cd "$(dirname "${BASH_SOURCE[0]}")/.."
root=$(pwd)
out_dir=${1:-$root/build/screenshots}
size=${SCREENSHOT_SIZE:-1280x800}

bash scripts/build.sh

exe=$root/build/console/kconsole
[ -x "$exe" ] || { echo "The build did not produce $exe" >&2; exit 1; }
mkdir -p "$out_dir"
out_dir=$(cd "$out_dir" && pwd)

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cp "$exe" "$work/kconsole"

export QT_QPA_PLATFORM=offscreen
export KLEDGER_MODULE_DIR=$root/build/console/modules
# DejaVu draws every Serbian Latin letter.
export QT_QPA_FONTDIR=${QT_QPA_FONTDIR:-/usr/share/fonts/truetype/dejavu}

# The list is empty until a filter runs: show this month's items.
echo 'ana123' | "$work/kconsole" --user ana --password-stdin --select Delovodnik --action ThisMonthAction \
  --size "$size" --screenshot "$out_dir/console.png"
echo "Wrote $out_dir/console.png"

bash scripts/screenshot-detail.sh "$out_dir"
bash scripts/screenshot-proceeding.sh "$out_dir"
