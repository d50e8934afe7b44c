#!/usr/bin/env bash
# peer-cli --help is the tool's manual: it names every command the tool takes and every message the program
# answers to (taken from the program's table of names), and exits 0; a wrong call shows the same text and exits 2.
#   peer-cli-help-test.sh PEER_CLI COMPANION_MESSAGES_HEADER
set -euo pipefail
cli="$1"
header="$2"
failures=0
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }

help="$("$cli" --help)" || fail "--help exits $?"
for command in find send post broadcast copy-data copy-path listen map-create map-read folder; do
  grep -qE "^  $command( |$)" <<<"$help" || fail "command $command is not listed"
done
# Every registered message of the program, as its table declares them.
names="$(sed -n '/^\/\/ Registered messages/,/^$/p' "$header" | grep -oE '"[^"]+"' | tr -d '"')"
[ "$(wc -l <<<"$names")" -ge 11 ] || fail "could not read the message names from $header"
while IFS= read -r name; do
  grep -qF -- "$name" <<<"$help" || fail "message \"$name\" is not listed"
done <<<"$names"
for code in 9001 9006 9007 9009; do
  grep -qE "^  $code " <<<"$help" || fail "copy-data code $code is not listed"
done
grep -qi "see the head" <<<"$help" && fail "the help sends the reader to the source"

set +e
"$cli" no-such-command >/dev/null 2>"${TMPDIR:-/tmp}/peer-cli-usage.$$"
status=$?
set -e
[ "$status" -eq 2 ] || fail "a wrong call exits $status, not 2"
grep -q "map-create" "${TMPDIR:-/tmp}/peer-cli-usage.$$" || fail "a wrong call does not show the commands"
rm -f "${TMPDIR:-/tmp}/peer-cli-usage.$$"

if [ "$failures" -gt 0 ]; then
  echo "$failures failed"
  exit 1
fi
echo "peer-cli help: all checks passed"
