#!/usr/bin/env bash
# The root script lays out a root from the skeleton, keeps every file of the user's, and adds only what is missing.
#   prepare-root-test.sh PREPARE_ROOT_SCRIPT SKELETON
set -euo pipefail
prepare="$1"
skeleton="$2"
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
failures=0
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }

# Every file and folder of the skeleton, .gitkeep files left out.
expected="$(cd "$skeleton" && find . -mindepth 1 ! -name .gitkeep | sort)"
laid_out() { (cd "$1" && find . -mindepth 1 | sort); }

# A first run copies the whole skeleton, byte for byte, into a root that does not exist yet (relative path too).
(cd "$work" && "$prepare" "fresh/Vistrel" "$skeleton")
[ "$(laid_out "$work/fresh/Vistrel")" = "$expected" ] || fail "first run: root differs from the skeleton"
diff -r -x .gitkeep "$skeleton" "$work/fresh/Vistrel" >/dev/null || fail "first run: copied files differ"

# A later run keeps what the user changed or added and restores what the user removed.
root="$work/fresh/Vistrel"
printf '[CONFIG]\nZoomFitMode=0\n' > "$root/VISTREL.INI"
touch -d '2000-01-01' "$root/VISTREL.INI"
echo mine > "$root/Calibration/lens.cal"
rm "$root/Sample Images/Micrograph.png"
rmdir "$root/TEMP"
"$prepare" "$root" "$skeleton"
[ "$(cat "$root/VISTREL.INI")" = $'[CONFIG]\nZoomFitMode=0' ] || fail "later run replaced the user's VISTREL.INI"
[ "$(cat "$root/Calibration/lens.cal")" = mine ] || fail "later run touched the user's calibration"
cmp -s "$skeleton/Sample Images/Micrograph.png" "$root/Sample Images/Micrograph.png" \
  || fail "later run did not restore a removed sample image"
[ -d "$root/TEMP" ] || fail "later run did not restore a removed folder"

# --update (the build's program folder) replaces a file older than the skeleton's, and only such a file.
"$prepare" --update "$root" "$skeleton"
cmp -s "$skeleton/VISTREL.INI" "$root/VISTREL.INI" || fail "--update kept an out-of-date VISTREL.INI"
echo changed > "$root/OEM/OEM.INI"
"$prepare" --update "$root" "$skeleton"
[ "$(cat "$root/OEM/OEM.INI")" = changed ] || fail "--update replaced a file newer than the skeleton's"

# What cannot be a root, or stands where the skeleton has a folder, is refused with a message, not half laid out.
: > "$work/a-file"
if "$prepare" "$work/a-file" "$skeleton" 2>"$work/err"; then fail "a file was accepted as root"; fi
grep -q "not a folder" "$work/err" || fail "no message for a file given as root"
mkdir "$work/blocked" && : > "$work/blocked/OEM"
if "$prepare" "$work/blocked" "$skeleton" 2>"$work/err"; then fail "a file in the way of OEM/ was accepted"; fi
grep -q "in the way" "$work/err" || fail "no message for a file in the way of a folder"
if "$prepare" 2>/dev/null; then fail "no root given was accepted"; fi

if [ "$failures" -eq 0 ]; then echo "prepare-root: all cases passed"; fi
exit $((failures > 0))
