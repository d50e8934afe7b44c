#!/usr/bin/env bash
# One session of the built program as a user has it: it starts on a fresh root and shows its window; a second start
# hands over to it and ends with 0; two starts at once leave it the only one; closed from the session, it ends with
# 0 (the sanitizers' leak check included) after writing the calibration list, the last calibration and the profile.
#   program-session-test.sh PROGRAM
set -euo pipefail
program="$1"
work="$(mktemp -d)"
pids=()
cleanup() {
  for pid in "${pids[@]}"; do kill -KILL "$pid" 2>/dev/null || true; done
  rm -rf "$work"
}
trap cleanup EXIT
failures=0
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }

root="$work/root"
mkdir -p "$root" "$work/config" "$work/runtime"
chmod 700 "$work/runtime"
export XDG_CONFIG_HOME="$work/config" XDG_RUNTIME_DIR="$work/runtime" XDG_STATE_HOME="$work/state"
# The keyboard library of the X platform hands strndup a string without its terminator, as strndup allows; the
# strict string check of the other tests would stop the program there before it showed a window.
export ASAN_OPTIONS="${ASAN_OPTIONS:-}:strict_string_checks=0"

"$program" --root "$root" >"$work/first.log" 2>&1 &
first=$!
pids+=("$first")
# The window is up once the program listens for later starts. (The bounds below are generous: a sanitized build on a
# busy machine starts slowly; a healthy start takes seconds.)
for _ in $(seq 1 1200); do
  [ -n "$(ls -A "$work/runtime/qrx-peers" 2>/dev/null)" ] && break
  kill -0 "$first" 2>/dev/null || break
  sleep 0.1
done
kill -0 "$first" 2>/dev/null || { cat "$work/first.log"; echo "FAIL: the program did not start"; exit 1; }
sleep 1

status=0
timeout 120 "$program" --root "$root" >"$work/second.log" 2>&1 || status=$?
[ "$status" -eq 0 ] || { fail "a second start ended with $status"; cat "$work/second.log"; }

timeout 120 "$program" --root "$root" >"$work/third.log" 2>&1 &
third=$!
timeout 120 "$program" --root "$root" >"$work/fourth.log" 2>&1 &
fourth=$!
pids+=("$third" "$fourth")
for pid in "$third" "$fourth"; do
  status=0
  wait "$pid" || status=$?
  [ "$status" -eq 0 ] || fail "a start beside the running program ended with $status"
done
kill -0 "$first" 2>/dev/null || fail "the first program did not keep running"

kill -TERM "$first"
for _ in $(seq 1 1200); do kill -0 "$first" 2>/dev/null || break; sleep 0.1; done
if kill -0 "$first" 2>/dev/null; then
  echo "FAIL: the program did not end when closed"; cat "$work/first.log"; exit 1
fi
status=0
wait "$first" || status=$?
[ "$status" -eq 0 ] || { fail "the program ended with $status when closed"; cat "$work/first.log"; }

[ -f "$root/Calibration/calibration.cst" ] || fail "no calibration list written"
[ -f "$root/Calibration/lastcalibration.cal" ] || fail "no last calibration written"
[ -f "$work/config/QRX/registry-hkcu.reg" ] || fail "no profile written"
grep -q "VM_TOOLBAR_STATE\|ToolBarLayouts" "$work/config/QRX/registry-hkcu.reg" || fail "the window layout was not kept"
grep -q "GO Property" "$work/config/QRX/registry-hkcu.reg" || fail "the drawing defaults were not kept at exit"
[ -d "$root/TEMP" ] || fail "no TEMP folder"

[ "$failures" -eq 0 ] || exit 1
echo "the program started, handed over, and closed with its files written"
