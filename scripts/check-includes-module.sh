#!/usr/bin/env bash
# Checks that #include goes down the layers only:
#   host/, console/   include no module code (integration/, data/, screens/);
#   data/             includes neither integration/ nor screens/;
#   screens/          does not include integration/;
#   integration/      may include everything.
# Usage: check-includes-module.sh [source root]
set -euo pipefail
root=$(cd "${1:-$(dirname "${BASH_SOURCE[0]}")/..}" && pwd)
cd "$root"

# The module layers a folder must not include.
forbidden() {
  case $1 in
    host|console) echo "integration data screens" ;;
    data) echo "integration screens" ;;
    screens) echo "integration" ;;
  esac
}

bad=0
for dir in host console data screens; do
  [ -d "$dir" ] || continue
  layers=$(forbidden "$dir")
  while IFS= read -r hit; do
    file=${hit%%:*}
    rest=${hit#*:}
    number=${rest%%:*}
    text=${rest#*:}
    target=$(echo "$text" | sed -E 's/^[[:space:]]*#[[:space:]]*include[[:space:]]*[<"]([^">]+)[">].*/\1/')
    # "../data/X.h" and "data/X.h" name the same layer.
    path=$(echo "$target" | sed -E 's#^(\.\./)+##')
    for layer in $layers; do
      case $path in
        "$layer"/*)
          echo "$file:$number includes $target: $dir/ must not include $layer/" >&2
          bad=1 ;;
      esac
    done
  done < <(grep -rnE '^[[:space:]]*#[[:space:]]*include[[:space:]]*[<"](\.\./)*(integration|data|screens)/' \
              --include='*.h' --include='*.cpp' "$dir" || true)
done

if [ "$bad" -ne 0 ]; then
  echo "Includes go against the layering (see above)." >&2
  exit 1
fi
echo "Includes follow the layering."
