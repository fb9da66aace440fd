#!/usr/bin/env bash
# Builds, then photographs headless, on sample data:
#   scripts/screenshot.sh [OUT_DIR] [console|detail|proceeding|picker|help|register|history|registers|classification|closing|storno|subject|scan|settings ...]
# (default build/screenshots, every part). Writes into OUT_DIR:
#  console:    console.png, the console with the ledger selected and the list
#              filtered to this month (newest first, the arrow on the date
#              column, the count in the status bar), on a fresh copy of the
#              sample SQLite book, and console-1024x700.png on a small screen;
#  detail:     ledgerdetail.png through the detail form's layout test, and
#              ledgerdetail-passon.png (an accepted item of the recipient's,
#              with "Prilog" and "Predaj" enabled) through the pass-on test,
#              ledgerdetail-locked.png (someone else's item with its
#              "Samo za čitanje" line) and calendar.png (the date picker in
#              Serbian, open on the document date);
#  proceeding: through the record's test from the list (Marko hands three
#              items to Jelena, who narrows the record to him, accepts them
#              and prints) proceeding.png (the dialog), the printed record
#              zapisnik.pdf and its first page zapisnik.png;
#  picker:     through the picker's window test, picker.png (the ledger
#              item picker at its designed size, its search beside the list);
#  help:       through the help test, help.png (the guide opened at the
#              handover record's section) and about.png ("O programu" over
#              the console window, with the ledger module loaded).
#  history:    through the custody test, on the sample book's chain of
#              pass-on copies: istorija.png (the detail form's page
#              "Istorija"), tok-predaje.png (the custody timeline) and the
#              printed timeline tok-predaje.pdf with its page tok-predaje.png
#              as tok-predaje-print.png; through the history test,
#              obrisane.png (the deleted items a user may see).
#  register:   through the register's test, the book of a year delovodnik.pdf
#              and the numbering check kontinuitet.pdf, with their first
#              pages delovodnik.png and kontinuitet.png, and the list's two
#              dialogs delovodnik-dialog.png and kontinuitet-dialog.png.
#  closing:    through the closed year's test, zakljucenje.png (the closing
#              dialog with the draft of a year's note), the note printed after
#              the closing zakljucak.pdf and its page zakljucak.png;
#  registers:  through the registers' tests, partneri.png (the partners'
#              list filtered by "CACAK"), uvoz-partnera.png (the import's
#              preview of a CSV file) and korisnici.png (the users' list).
#  classification: through the plan's test, klasifikacioni-plan.png (the
#              plan as a tree, for an administrator), and through the
#              register's test the book with the office's columns
#              delovodnik-kolone.pdf and its first page delovodnik-kolone.png.
#  storno:     through the storno test, storno-lista.png (today's list with a
#              cancelled item struck through) and storno-pitanje.png (the
#              question "Stornirati stavku …?" with its reason typed).
#  subject:    through the subject form's test, ledgerdetail-predmet.png
#              (the detail form with a subject, mark and unit fields).
#  scan:       through the scan page's test, sken.png (the page "Sken" on a
#              three-page PDF); through the stamp's test stambilj-dialog.png
#              and the stamp on its label stambilj.pdf with stambilj.png.
#  settings:   through the settings' test, settings.png and
#              settings-cyrillic.png ("Podešavanja" in each script), and
#              console-cyrillic-1024x700.png (the console run with --script
#              cyrillic on a small screen).
set -euo pipefail
cd "$(dirname "${BASH_SOURCE[0]}")/.."
root=$(pwd)
out_dir=${1:-$root/build/screenshots}
shift || true
parts=${*:-console detail proceeding picker help register history registers classification closing storno subject scan settings}
size=${SCREENSHOT_SIZE:-1280x800}

[[ " $parts " != *" proceeding "* && " $parts " != *" register "* && " $parts " != *" history "* && " $parts " != *" classification "* && " $parts " != *" closing "* && " $parts " != *" scan "* ]] || command -v pdftoppm >/dev/null || bash scripts/install-deps.sh
bash scripts/build.sh
mkdir -p "$out_dir"
out_dir=$(cd "$out_dir" && pwd)

export QT_QPA_PLATFORM=offscreen
export KLEDGER_MODULE_DIR=$root/build/console/modules
# DejaVu draws every Serbian Latin letter.
export QT_QPA_FONTDIR=${QT_QPA_FONTDIR:-/usr/share/fonts/truetype/dejavu}

# One test case of a test executable, on SQLite, leaving its pictures in out_dir.
shoot() { KLEDGER_TEST_BACKEND=sqlite KLEDGER_SCREENSHOT_DIR=$out_dir "$root/build/console/$1" "${@:2}" </dev/null; }

for part in $parts; do
  case $part in
    console)
      exe=$root/build/console/kconsole
      [ -x "$exe" ] || { echo "The build did not produce $exe" >&2; exit 1; }
      # The console keeps its ini file and SQLite database beside the
      # executable: run a copy in a temporary folder, build/console untouched.
      work=$(mktemp -d)
      trap 'rm -rf "$work"' EXIT
      cp "$exe" "$work/kconsole"
      # The list is empty until a filter runs: show this month's items.
      echo 'ana123' | "$work/kconsole" --user ana --password-stdin --select Delovodnik --action ThisMonthAction \
        --size "$size" --screenshot "$out_dir/console.png"
      # A small screen: nothing may be cut off.
      echo 'ana123' | "$work/kconsole" --user ana --password-stdin --select Delovodnik --action ThisMonthAction \
        --size 1024x700 --screenshot "$out_dir/console-1024x700.png"
      echo "Wrote $out_dir/console.png and $out_dir/console-1024x700.png" ;;
    registers)
      shoot tst_partners windowFiltersAndRefusesClerks
      shoot tst_partnerimport dialogMapsColumnsAndImports
      shoot tst_console_users usersWindow
      echo "Wrote $out_dir/partneri.png, uvoz-partnera.png and korisnici.png" ;;
    detail)
      shoot tst_ledgerdetail layout
      shoot tst_ledgeritemcopies "enabling:mine, accepted"
      shoot tst_ledgerdetail "lock:someone else's"
      shoot tst_ledgerdetail serbianCalendar
      echo "Wrote $out_dir/ledgerdetail.png, ledgerdetail-passon.png, ledgerdetail-locked.png and calendar.png" ;;
    proceeding)
      shoot tst_proceeding fromList
      pdftoppm -png -r 100 -f 1 -l 1 -singlefile "$out_dir/zapisnik.pdf" "$out_dir/zapisnik"
      echo "Wrote $out_dir/proceeding.png, $out_dir/zapisnik.pdf and $out_dir/zapisnik.png" ;;
    picker)
      shoot tst_getledger "window:no setting"
      echo "Wrote $out_dir/picker.png" ;;
    help)
      shoot tst_help helpWindow
      shoot tst_help moduleVersion
      echo "Wrote $out_dir/help.png and $out_dir/about.png" ;;
    register)
      shoot tst_registerbook bookOrder
      shoot tst_registerbook continuityFindsRenumberedCopy
      shoot tst_registerbook fromTheList
      for doc in delovodnik kontinuitet; do
        pdftoppm -png -r 100 -f 1 -l 1 -singlefile "$out_dir/$doc.pdf" "$out_dir/$doc"
      done
      echo "Wrote $out_dir/delovodnik.pdf, delovodnik.png, kontinuitet.pdf, kontinuitet.png and the dialogs" \
        "delovodnik-dialog.png and kontinuitet-dialog.png" ;;
    history)
      shoot tst_custodytimeline sampleBookHasAChainOfCustody
      shoot tst_ledgerhistory insertAndDeleteRecordTheWholeRow deletedItemsDialog
      pdftoppm -png -r 100 -f 1 -l 1 -singlefile "$out_dir/tok-predaje.pdf" "$out_dir/tok-predaje-print"
      echo "Wrote $out_dir/istorija.png, tok-predaje.png, tok-predaje.pdf, tok-predaje-print.png and obrisane.png" ;;
    classification)
      shoot tst_classification "planWindow:administrator"
      shoot tst_registerbook officeColumns
      pdftoppm -png -r 100 -f 1 -l 1 -singlefile "$out_dir/delovodnik-kolone.pdf" "$out_dir/delovodnik-kolone"
      echo "Wrote $out_dir/klasifikacioni-plan.png, delovodnik-kolone.pdf and delovodnik-kolone.png" ;;
    closing)
      shoot tst_closedyearwrites administratorClosesInTheDialog
      pdftoppm -png -r 100 -f 1 -l 1 -singlefile "$out_dir/zakljucak.pdf" "$out_dir/zakljucak"
      echo "Wrote $out_dir/zakljucenje.png, zakljucak.pdf and zakljucak.png" ;;
    storno)
      shoot tst_storno listStrikesCancelled
      echo "Wrote $out_dir/storno-lista.png and storno-pitanje.png" ;;
    subject)
      shoot tst_subjectform fitsTheForm
      echo "Wrote $out_dir/ledgerdetail-predmet.png" ;;
    scan)
      shoot tst_scanpage "page:three pages"
      shoot tst_stamp "print:label"
      pdftoppm -png -r 300 -singlefile "$out_dir/stambilj.pdf" "$out_dir/stambilj"
      echo "Wrote $out_dir/sken.png, stambilj-dialog.png, stambilj.pdf and stambilj.png" ;;
    settings)
      shoot tst_usersettings dialog
      work=$(mktemp -d)
      cp "$root/build/console/kconsole" "$work/kconsole"
      echo 'ana123' | "$work/kconsole" --user ana --password-stdin --script cyrillic --select Delovodnik \
        --action ThisMonthAction --size 1024x700 --screenshot "$out_dir/console-cyrillic-1024x700.png"
      rm -rf "$work"
      echo "Wrote $out_dir/settings.png, settings-cyrillic.png and console-cyrillic-1024x700.png" ;;
    *) echo "Unknown part: $part (console, detail, proceeding, picker, help, register, history, registers, classification, closing, storno, subject, scan or settings)" >&2; exit 2 ;;
  esac
done
