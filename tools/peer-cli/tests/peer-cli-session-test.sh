#!/usr/bin/env bash
# The built program and peer-cli on one private bus: companion messages reach the running program and have their
# effect, malformed copy-data is refused, a hung peer times out, and a companion's quit request closes the
# program, which tells the tiling tool it is closing and shuts down in order.
#   peer-cli-session-test.sh PROGRAM PEER_CLI
set -euo pipefail
if [ -z "${DISPLAY:-}" ] && [ -z "${PEER_TEST_UNDER_XVFB:-}" ] && command -v xvfb-run >/dev/null; then
  PEER_TEST_UNDER_XVFB=1 exec xvfb-run -a "$0" "$@"
fi
program="$1"
cli="$2"
work="$(mktemp -d)"
pids=()
cleanup() {
  for pid in "${pids[@]}"; do kill -KILL "$pid" 2>/dev/null || true; done
  rm -rf "$work"
}
trap cleanup EXIT
failures=0
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }
main="{6B1E0F3C-5A27-4D9E-8C41-93F2A7D05E18}"

root="$work/root"
mkdir -p "$root" "$work/config" "$work/runtime" "$work/files"
chmod 700 "$work/runtime"
export XDG_CONFIG_HOME="$work/config" XDG_RUNTIME_DIR="$work/runtime" XDG_STATE_HOME="$work/state"
export ASAN_OPTIONS="${ASAN_OPTIONS:-}:strict_string_checks=0"

wait_for() {  # wait_for FILE
  for _ in $(seq 1 600); do [ -e "$1" ] && return 0; sleep 0.1; done
  return 1
}

# A 2x2 24-bit bitmap file and its packed DIB.
dib="$work/files/image.dib"
printf '\x28\0\0\0\x02\0\0\0\x02\0\0\0\x01\0\x18\0\0\0\0\0\0\0\0\0\0\0\0\0\0\0\0\0\0\0\0\0\0\0\0\0\0\0' >"$dib"
printf '\x10\x20\x30\x40\x50\x60\0\0\x70\x80\x90\xa0\xb0\xc0\0\0' >>"$dib"
bmp="$work/files/picture.bmp"
{ printf 'BM\x46\0\0\0\0\0\0\0\x36\0\0\0'; cat "$dib"; } >"$bmp"
# The same DIB claiming 200 rows it does not carry.
lying="$work/files/lying.dib"
{ head -c 8 "$dib"; printf '\xc8\0\0\0'; tail -c +13 "$dib"; } >"$lying"

"$program" --root "$root" >"$work/program.log" 2>&1 &
vistrel=$!
pids+=("$vistrel")
for _ in $(seq 1 1200); do
  "$cli" find "$main" >/dev/null 2>&1 && break
  kill -0 "$vistrel" 2>/dev/null || break
  sleep 0.1
done
"$cli" find "$main" >/dev/null || { cat "$work/program.log"; echo "FAIL: the program did not start"; exit 1; }

# The tiling tool, listening until the program tells it that it closes.
"$cli" listen --as tiling --until 9000 --timeout 60000 --ready "$work/tiling.ready" >"$work/tiling.log" 2>&1 &
tiling=$!
pids+=("$tiling")
wait_for "$work/tiling.ready" || fail "the tiling peer did not start"

# Alive: the program answers a request with a broadcast the asker hears.
"$cli" listen asker --count 1 --timeout 10000 --ready "$work/asker.ready" >"$work/asker.log" 2>&1 &
asker=$!
pids+=("$asker")
wait_for "$work/asker.ready" || fail "the asking peer did not start"
"$cli" post "$main" VQ_ALIVE_REQUEST_MSG >/dev/null || fail "the alive request was not posted"
wait "$asker" || fail "no answer to the alive request"
grep -q "^message VQ_ALIVE_RESPONSE_MSG 0 0 0" "$work/asker.log" || fail "the alive answer: $(cat "$work/asker.log")"

# Copy-data from files: an ignored path is accepted; a DIB whose height lies is refused.
[ "$("$cli" copy-path "$main" 9007 "$bmp")" = "delivered 1" ] || fail "9007 was not accepted"
[ "$("$cli" copy-data "$main" 9001 "$lying" || true)" = "delivered 0" ] || fail "a lying DIB was not refused"
[ "$("$cli" copy-path "$main" 9006 /nonexistent/x.bmp || true)" = "delivered 0" ] || fail "a missing path was taken"

# "QRX New Doc": the bitmap in the per-user exchange folder becomes a document and the file goes.
cp "$bmp" "$work/runtime/qrx-peers/files/newdoc.bmp"
[ "$("$cli" send "$main" "QRX New Doc")" = "delivered 1" ] || fail "QRX New Doc was not acted on"
[ ! -e "$work/runtime/qrx-peers/files/newdoc.bmp" ] || fail "newdoc.bmp was left behind"

# Shared memory through peer-cli, under a name of this run's own: the names are machine-wide for the user, and
# the companions' fixed ones ("TLV UPP", ...) are left to the program's own tests so that runs side by side never
# meet. The path mapping's effect on the program is checked there too.
mapping="peer-cli check $$"
# The creator holds the mapping long enough for a reader on a busy machine, then ends on its own.
"$cli" map-create "$mapping" 128 --double 0.25 --hold 10000 --ready "$work/map.ready" &
mapper=$!
pids+=("$mapper")
wait_for "$work/map.ready" || fail "the mapping was not made"
[ "$("$cli" map-read "$mapping" --double)" = "0.25" ] || fail "the mapping does not read back"
wait "$mapper" || fail "the mapping's creator did not end in order"
[ ! -e "/dev/shm/qrx-peer-cli%20check%20$$" ] || fail "the mapping outlived its creator"

# The image database's list, attached to its message.
[ "$("$cli" send "$main" PVTtoVQ_MSG --attach "$bmp;")" = "delivered 1" ] || fail "the path list was not acted on"

# A companion that never answers: the send gives up after its timeout.
# (It stalls far longer than the bound below, so a send that waited it out cannot pass for one that timed out.)
"$cli" listen hung --stall 60000 --count 1 --timeout 70000 --ready "$work/hung.ready" >/dev/null 2>&1 &
pids+=($!)
wait_for "$work/hung.ready" || fail "the hung peer did not start"
start=$(date +%s)
[ "$("$cli" send hung anything --timeout 1000 || true)" = "not delivered" ] || fail "a hung peer did not time out"
[ $(( $(date +%s) - start )) -lt 30 ] || fail "the timeout took too long"

# A companion asks the program to quit: no document is modified, so it closes and ends with 0.
[ "$("$cli" send "$main" "TLV COM - NEW" 1 0)" = "delivered 1" ] || fail "the quit request was not answered"
status=0
for _ in $(seq 1 1200); do kill -0 "$vistrel" 2>/dev/null || break; sleep 0.1; done
wait "$vistrel" || status=$?
[ "$status" -eq 0 ] || { fail "the program ended with $status"; cat "$work/program.log"; }
wait "$tiling" || fail "the tiling tool was not told that the program closes"
grep -q "^copy-data 9000 10 $main" "$work/tiling.log" || fail "the closing notice: $(cat "$work/tiling.log")"
[ -f "$root/Calibration/lastcalibration.cal" ] || fail "the program did not shut down in order"

[ "$failures" -eq 0 ] || exit 1
echo "companion messages reached the program and had their effect"
