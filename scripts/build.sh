#!/usr/bin/env bash
# Installs what is missing, then configures (first time only) and builds into build/.
set -euo pipefail
cd "$(dirname "${BASH_SOURCE[0]}")/.."

bash scripts/install-deps.sh

# Ninja re-runs CMake by itself when a CMakeLists.txt changes; configure here
# only when there is no usable build tree yet.
# ccache, with paths taken relative to the checkout, lets a second checkout
# (a branch being worked on beside main) reuse what one build compiled.
export CCACHE_BASEDIR="$(pwd)" CCACHE_NOHASHDIR=1
if [ ! -f build/build.ninja ] || [ ! -f build/CMakeCache.txt ]; then
  cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCMAKE_CXX_COMPILER_LAUNCHER=ccache
fi
cmake --build build
