#!/usr/bin/env bash
# Photographs the ledger item's detail form on a sample item, headless:
# scripts/screenshot-detail.sh [OUT_DIR]   (default build/screenshots)
# Writes OUT_DIR/ledgerdetail.png through the detail form's layout test, and
# OUT_DIR/ledgerdetail-passon.png (an accepted item of the recipient's, with
# "Prilog" and "Predaj" enabled) through the enclosure and pass-on test.
set -euo pipefail
cd "$(dirname "${BASH_SOURCE[0]}")/.."
root=$(pwd)
out_dir=${1:-$root/build/screenshots}

[ -f build/build.ninja ] || cmake -S . -B build -G Ninja
cmake --build build -j2 --target tst_ledgerdetail tst_ledgeritemcopies
mkdir -p "$out_dir"
out_dir=$(cd "$out_dir" && pwd)

export QT_QPA_PLATFORM=offscreen
# DejaVu draws every Serbian Latin letter.
export QT_QPA_FONTDIR=${QT_QPA_FONTDIR:-/usr/share/fonts/truetype/dejavu}
KLEDGER_TEST_BACKEND=sqlite KLEDGER_SCREENSHOT_DIR=$out_dir \
  "$root/build/console/tst_ledgerdetail" layout </dev/null
KLEDGER_TEST_BACKEND=sqlite KLEDGER_SCREENSHOT_DIR=$out_dir \
  "$root/build/console/tst_ledgeritemcopies" "enabling:mine, accepted" </dev/null
echo "Wrote $out_dir/ledgerdetail.png and $out_dir/ledgerdetail-passon.png"
