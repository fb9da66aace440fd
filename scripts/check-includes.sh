#!/usr/bin/env bash
# Fails when a file of a host/ folder includes a header of a folder it may
# not use: each folder uses only itself and the folders listed for it below,
# the same order the libraries link in (host/CMakeLists.txt).
set -euo pipefail
host="$(cd "$(dirname "${BASH_SOURCE[0]}")/../host" && pwd)"

declare -A uses=(
  [core]=""
  [text]="core"
  [db]="core text"
  [dataset]="core db"
  [widgets]="core db dataset"
  [report]="core text db dataset widgets"
  [forms]="core db dataset widgets"
)

# Which folder holds each header.
declare -A home=()
for dir in "${!uses[@]}"; do
  for header in "$host/$dir"/*.h; do
    [ -e "$header" ] && home[$(basename "$header")]=$dir
  done
done

status=0
for dir in "${!uses[@]}"; do
  for file in "$host/$dir"/*.h "$host/$dir"/*.cpp; do
    [ -e "$file" ] || continue
    while IFS= read -r header; do
      target=${home[$header]:-}
      [ -z "$target" ] || [ "$target" = "$dir" ] && continue
      case " ${uses[$dir]} " in
        *" $target "*) ;;
        *) echo "host/$dir/$(basename "$file") includes $header of host/$target/"; status=1 ;;
      esac
    done < <(sed -n 's/^[[:space:]]*#[[:space:]]*include[[:space:]]*"\([^"]*\)".*/\1/p' "$file")
  done
done
# A folder or file outside the order has no rule: say so instead of passing it.
for entry in "$host"/*; do
  name=$(basename "$entry")
  if [ -d "$entry" ] && [ -z "${uses[$name]+x}" ]; then
    echo "host/$name/ is in no layer of scripts/check-includes.sh"; status=1
  elif [ -f "$entry" ] && [ "$name" != CMakeLists.txt ]; then
    echo "host/$name lies outside the folders"; status=1
  fi
done
exit $status
