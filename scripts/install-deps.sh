#!/usr/bin/env bash
# Installs the Debian 12 packages the project needs; does nothing for what is already there.
set -euo pipefail
pkgs=(build-essential cmake ninja-build pkg-config ccache
      qt6-base-dev qt6-base-dev-tools libqt6sql6-sqlite libqt6sql6-mysql
      libqt6opengl6-dev libgl-dev
      qt6-qpa-plugins
      libsqlite3-dev libmariadb-dev libssl-dev mariadb-server-core mariadb-client-core sqlite3
      galera-4
      qt6-pdf-dev libqrencode-dev zbar-tools libzbar-dev qt6-image-formats-plugins
      libtesseract-dev tesseract-ocr-srp tesseract-ocr-srp-latn tesseract-ocr-eng libgmime-3.0-dev
      fonts-dejavu-core poppler-utils xauth xvfb x11vnc)
missing=()
for p in "${pkgs[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
  echo "Installing: ${missing[*]}"
  export DEBIAN_FRONTEND=noninteractive
  SUDO=""; [ "$(id -u)" -ne 0 ] && SUDO=sudo
  $SUDO apt-get update -qq
  $SUDO apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi
