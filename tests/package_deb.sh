#!/usr/bin/env bash
# The Debian package: packs it from the build tree, checks its control fields
# and files; as root it also installs it, runs it as an ordinary user (whose
# ini and book go to the XDG folders) and removes it again.
# package_deb.sh BUILD_DIR VERSION
set -euo pipefail
build=$1 version=$2
work=$(mktemp -d)
installed=0
cleanup() {
  if [ "$installed" = 1 ]; then dpkg -r delovodnik >/dev/null 2>&1 || echo "dpkg -r delovodnik failed" >&2; fi
  rm -rf "$work"
}
trap cleanup EXIT
trap 'exit 1' INT TERM
fail() { echo "$*" >&2; exit 1; }

cpack -G DEB --config "$build/CPackConfig.cmake" -B "$work/out" >"$work/cpack.log" 2>&1 || { cat "$work/cpack.log" >&2; fail "cpack failed"; }
deb=$work/out/delovodnik_${version}_amd64.deb
[ -f "$deb" ] || fail "no $deb"

field() { dpkg-deb -f "$deb" "$1"; }
[ "$(field Package)" = delovodnik ] || fail "Package: $(field Package)"
[ "$(field Version)" = "$version" ] || fail "Version: $(field Version)"
[ "$(field Architecture)" = amd64 ] || fail "Architecture: $(field Architecture)"
depends=$(field Depends)
for p in libqt6core6 libqt6gui6 libqt6widgets6 libqt6sql6 libqt6printsupport6 libqt6pdf6 libqt6pdfwidgets6 libqt6sql6-sqlite libqt6sql6-mysql libmariadb3 libqrencode4 \
         libtesseract5 tesseract-ocr-srp tesseract-ocr-srp-latn tesseract-ocr-eng libzbar0 qt6-image-formats-plugins; do
  grep -Eq "(^|, )$p( |,|$)" <<<"$depends" || fail "Depends lacks $p: $depends"
done

files=$(dpkg-deb -c "$deb" | awk '{print $6}')
for f in ./usr/bin/delovodnik ./usr/lib/delovodnik/kconsole ./usr/lib/delovodnik/modules/libledger.so \
         ./usr/share/applications/delovodnik.desktop ./usr/share/icons/hicolor/16x16/apps/delovodnik.png \
         ./usr/share/delovodnik/desk-account.sql \
         ./usr/lib/delovodnik/libkcommon_{core,text,db,dataset,widgets,report,forms}.so; do
  grep -qxF "$f" <<<"$files" || fail "the package lacks $f"
done
dpkg-deb -x "$deb" "$work/root"
desktop=$work/root/usr/share/applications/delovodnik.desktop
for line in Name=Delovodnik Exec=delovodnik Icon=delovodnik 'Categories=Office;'; do
  grep -qxF "$line" "$desktop" || fail "the desktop entry lacks $line"
done
grep -q '^Comment=.*delovodnik' "$desktop" || fail "the desktop entry lacks its Serbian comment"
[ "$(readlink "$work/root/usr/bin/delovodnik")" = ../lib/delovodnik/kconsole ] || fail "/usr/bin/delovodnik does not lead to the console"

if [ "$(id -u)" != 0 ] || ! command -v dpkg >/dev/null || ! command -v runuser >/dev/null; then
  echo "package contents checked; not root, so not installed"
  exit 0
fi
if dpkg-query -W -f='${Status}' delovodnik 2>/dev/null | grep -q 'install ok installed'; then
  fail "delovodnik is installed already; remove it first (dpkg -r delovodnik)"
fi
dpkg -i "$deb" >"$work/dpkg.log" 2>&1 || { cat "$work/dpkg.log" >&2; dpkg -r delovodnik >/dev/null 2>&1 || true; fail "dpkg -i failed"; }
installed=1

# An ordinary user, who cannot write to /usr/lib/delovodnik, with a home of
# the test's own; nothing of the build tree is in reach.
home=$work/home
mkdir -p "$home/runtime"
chmod 755 "$work"
chmod 700 "$home/runtime"
chown -R nobody "$home"
as_user() {
  (cd "$home" && runuser -u nobody -- env -u KLEDGER_MODULE_DIR -u XDG_CONFIG_HOME -u XDG_DATA_HOME \
     HOME="$home" XDG_RUNTIME_DIR="$home/runtime" QT_QPA_PLATFORM=offscreen "$@")
}
as_user delovodnik --version | grep -qF "$version" || fail "delovodnik --version does not name $version"
echo ana123 | as_user delovodnik --user ana --password-stdin --export-csv "$home/izvoz.csv" \
  || fail "the export from the installed program failed"
[ "$(wc -l <"$home/izvoz.csv")" -gt 1 ] || fail "the export has no items"
[ -f "$home/.config/Delovodnik/kconsole.ini" ] || fail "no ini in ~/.config/Delovodnik"
[ -f "$home/.local/share/Delovodnik/kledger.db" ] || fail "no book in ~/.local/share/Delovodnik"
[ ! -e /usr/lib/delovodnik/kconsole.ini ] || fail "an ini was written beside the installed program"

dpkg -r delovodnik >/dev/null
installed=0
[ ! -e /usr/bin/delovodnik ] && [ ! -e /usr/lib/delovodnik ] || fail "dpkg -r left files behind"
echo "package installed, run and removed"
