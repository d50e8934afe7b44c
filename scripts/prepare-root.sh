#!/usr/bin/env bash
# Lays out a Vistrel root (the writable folder the program keeps its settings, calibrations and samples in) from the
# skeleton: every folder of the skeleton is made and every file that the root lacks is copied. Files already in the
# root are the user's and are never replaced, so running this on every start only adds what is missing.
#   scripts/prepare-root.sh [--update] ROOT [SKELETON]
# SKELETON defaults to package/root of this repository. --update also replaces a root file that is older than its
# skeleton file; the build uses it to refresh the program folder after the skeleton changed.
# .gitkeep files only keep empty folders in git and are not copied.
set -euo pipefail

update=0
if [ "${1:-}" = "--update" ]; then
  update=1
  shift
fi
if [ $# -lt 1 ] || [ $# -gt 2 ] || [ -z "$1" ]; then
  echo "usage: $0 [--update] ROOT [SKELETON]" >&2
  exit 2
fi
root="$1"
skeleton="${2:-$(dirname "$(readlink -f "$0")")/../package/root}"

if [ ! -d "$skeleton" ]; then
  echo "$0: no skeleton folder at $skeleton" >&2
  exit 1
fi
if [ -e "$root" ] && [ ! -d "$root" ]; then
  echo "$0: $root exists and is not a folder" >&2
  exit 1
fi
mkdir -p "$root"
root="$(cd "$root" && pwd)"
if [ ! -w "$root" ]; then
  echo "$0: the root $root is not writable" >&2
  exit 1
fi

cd "$skeleton"
while IFS= read -r -d '' folder; do
  if [ -e "$root/$folder" ] && [ ! -d "$root/$folder" ]; then
    echo "$0: $root/$folder is in the way of a folder of that name" >&2
    exit 1
  fi
  mkdir -p "$root/$folder"
done < <(find . -mindepth 1 -type d -print0)

while IFS= read -r -d '' file; do
  target="$root/$file"
  if [ -L "$target" ] || { [ -e "$target" ] && [ ! -f "$target" ]; }; then
    continue  # something of the user's own stands there
  fi
  if [ ! -e "$target" ]; then
    cp --no-preserve=mode,ownership "$file" "$target"
  elif [ "$update" -eq 1 ] && [ "$file" -nt "$target" ]; then
    cp --no-preserve=mode,ownership "$file" "$target"
  fi
done < <(find . -type f ! -name .gitkeep -print0)
