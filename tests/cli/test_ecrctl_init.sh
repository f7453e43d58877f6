#!/usr/bin/env bash
# ecrctl init creates the database once, prints its path; usage errors exit 2.
set -u
fail() { echo "FAIL: $*"; exit 1; }
tmp=$(mktemp -d); trap 'rm -rf "$tmp"' EXIT

out=$("$ECRCTL" --db "$tmp/a/x.db" init 2>/dev/null) || fail "init exit $?"
[ "$out" = "$tmp/a/x.db" ] || fail "printed '$out'"
[ -s "$tmp/a/x.db" ] || fail "no database file"
out2=$("$ECRCTL" --db "$tmp/a/x.db" init 2>&1 >/dev/null)
[ -z "$out2" ] || fail "second init said '$out2'"

"$ECRCTL" --help | grep -q "usage: ecrctl" || fail "help"
"$ECRCTL" >/dev/null 2>&1; [ $? -eq 2 ] || fail "no command should exit 2"
"$ECRCTL" --db >/dev/null 2>&1; [ $? -eq 2 ] || fail "--db without value should exit 2"
"$ECRCTL" --baud 1200 init >/dev/null 2>&1; [ $? -eq 2 ] || fail "bad baud should exit 2"
"$ECRCTL" --db "$tmp/x.db" frobnicate >/dev/null 2>&1; [ $? -eq 2 ] || fail "unknown command should exit 2"
"$ECRCTL" --db "/proc/nope/x.db" init >/dev/null 2>&1; [ $? -eq 1 ] || fail "unopenable db should exit 1"
echo "1 passed, 0 failed"
