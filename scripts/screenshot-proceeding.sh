#!/usr/bin/env bash
# Photographs the handover record headless: scripts/screenshot-proceeding.sh [OUT_DIR]
# (default build/screenshots). Through the record's test from the list:
# Marko hands three items to Jelena, who narrows the record to him, accepts
# them and prints. Writes OUT_DIR/proceeding.png (the dialog), the printed
# record OUT_DIR/zapisnik.pdf and its first page OUT_DIR/zapisnik.png.
set -euo pipefail
cd "$(dirname "${BASH_SOURCE[0]}")/.."
root=$(pwd)
out_dir=${1:-$root/build/screenshots}

command -v pdftoppm >/dev/null || bash scripts/install-deps.sh
[ -f build/build.ninja ] || cmake -S . -B build -G Ninja
cmake --build build -j2 --target tst_proceeding
mkdir -p "$out_dir"
out_dir=$(cd "$out_dir" && pwd)

export QT_QPA_PLATFORM=offscreen
# DejaVu draws every Serbian Latin letter.
export QT_QPA_FONTDIR=${QT_QPA_FONTDIR:-/usr/share/fonts/truetype/dejavu}
KLEDGER_TEST_BACKEND=sqlite KLEDGER_SCREENSHOT_DIR=$out_dir \
  "$root/build/console/tst_proceeding" fromList </dev/null
pdftoppm -png -r 100 -f 1 -l 1 -singlefile "$out_dir/zapisnik.pdf" "$out_dir/zapisnik"
echo "Wrote $out_dir/proceeding.png, $out_dir/zapisnik.pdf and $out_dir/zapisnik.png"
