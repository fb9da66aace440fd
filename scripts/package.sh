#!/usr/bin/env bash
# Builds, then packs build/delovodnik_<version>_amd64.deb (cmake/Package.cmake
# says what goes in it).
set -euo pipefail
cd "$(dirname "${BASH_SOURCE[0]}")/.."

bash scripts/build.sh
cpack -G DEB --config build/CPackConfig.cmake -B build
ls build/delovodnik_*_amd64.deb
