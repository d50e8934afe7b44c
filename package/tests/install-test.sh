#!/usr/bin/env bash
# `cmake --install` into a fresh prefix yields a program folder that runs from there, the launcher, the skeleton, a
# valid desktop entry, the *.qrx document type and the icon; the launcher starts the program on a per-user root.
#   install-test.sh BUILD_DIR SKELETON
set -euo pipefail
build="$1"
skeleton="$2"
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
prefix="$work/prefix"
failures=0
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }

cmake --install "$build" --prefix "$prefix" >"$work/install.log" || { cat "$work/install.log"; exit 1; }

program="$prefix/lib/Vistrel"
[ -x "$program/Vistrel" ] || fail "no executable $program/Vistrel"
for library in libFiguron.so libLatticer.so libQvImage.so libQvCodec.so libFramePool.so libCalibKeeper.so; do
  [ -f "$program/$library" ] || fail "no $library in the program folder"
done
# Run-time modules (drivers, plug-ins) keep their place below components/, where the program looks for them.
for module in $(cd "$build/Vistrel" && find components -name '*.so' 2>/dev/null); do
  [ -f "$program/$module" ] || fail "module $module is not installed at its place"
done
# The installed folder stands on its own: every library of ours is found beside the executable, none in the build.
# grep reads to the end (no -q): a reader that quits early can kill the writer with SIGPIPE, which pipefail reports
# as a failed pipeline, on a busy machine now and then.
if ldd "$program/Vistrel" | grep "not found" >/dev/null; then fail "unresolved libraries: $(ldd "$program/Vistrel" | grep 'not found')"; fi
if ldd "$program/Vistrel" | grep -F "$build" >/dev/null; then fail "the installed program loads libraries from the build tree"; fi
readelf -d "$program/Vistrel" | grep 'R.*PATH.*\[\$ORIGIN\]' >/dev/null || fail "the executable's run path is not \$ORIGIN"

expected="$(cd "$skeleton" && find . -mindepth 1 ! -name .gitkeep | sort)"
[ "$(cd "$prefix/share/Vistrel/root" && find . -mindepth 1 | sort)" = "$expected" ] || fail "installed skeleton differs"
[ -x "$prefix/share/Vistrel/prepare-root.sh" ] || fail "no root script"
[ -f "$prefix/share/Vistrel/udev/70-vistrel-footswitch.rules" ] || fail "no udev rule for the foot switch"
[ -x "$prefix/bin/vistrel" ] || fail "no launcher bin/vistrel"
[ -f "$prefix/share/icons/hicolor/scalable/apps/vistrel.svg" ] || fail "no icon"

desktop="$prefix/share/applications/vistrel.desktop"
desktop-file-validate "$desktop" || fail "desktop entry does not validate"
grep -qx 'Exec=vistrel --open %f' "$desktop" || fail "desktop entry does not open files through the launcher"
grep -qx 'MimeType=application/x-vistrel-document;' "$desktop" || fail "desktop entry does not claim *.qrx"
# The install refreshed the prefix's MIME database from our entry, which proves the XML is read as meant.
grep -q '^50:application/x-vistrel-document:\*\.qrx' "$prefix/share/mime/globs2" \
  || fail "the MIME database does not map *.qrx to application/x-vistrel-document"

# The launcher lays out the per-user root and starts the program on it; the program is still running when stopped.
home="$work/home"
mkdir -p "$home" "$work/runtime" && chmod 700 "$work/runtime"
status=0
env -u XDG_DATA_HOME HOME="$home" XDG_CONFIG_HOME="$work/config" XDG_RUNTIME_DIR="$work/runtime" \
  QT_QPA_PLATFORM=offscreen ASAN_OPTIONS=detect_leaks=0 \
  timeout 8 "$prefix/bin/vistrel" --open >"$work/run.log" 2>&1 || status=$?
[ "$status" -eq 124 ] || { fail "the program did not keep running (exit $status)"; cat "$work/run.log"; }
root="$home/.local/share/QRX/Vistrel"
# The program may add files of its own to the root; every skeleton entry must be there.
missing="$(comm -23 <(echo "$expected") <(cd "$root" 2>/dev/null && find . -mindepth 1 | sort))"
[ -z "$missing" ] || fail "the launcher did not lay out $root; missing: $missing"

if [ "$failures" -eq 0 ]; then echo "install: all checks passed"; fi
exit $((failures > 0))
