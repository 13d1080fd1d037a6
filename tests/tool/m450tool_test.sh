#!/bin/bash
# m450tool end to end: records through a pipe, hex text, and the exit codes of refusals.
# usage: m450tool_test.sh PATH_TO_M450TOOL
set -u
tool=$1
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
failures=0
fail() { echo "FAIL: $*" >&2; failures=$((failures + 1)); }
expect_exit() {  # expect_exit CODE ARGS...
    local want=$1; shift
    "$tool" "$@" >"$work/out" 2>"$work/err"
    local got=$?
    [ "$got" -eq "$want" ] || fail "m450tool $* exited $got, expected $want"
    [ "$want" -eq 0 ] || [ -s "$work/err" ] || fail "m450tool $* said nothing on stderr"
}

# A default record is 1980 bytes with the header 1980 / 'ZERN' / 1, and merging it changes nothing.
"$tool" devmode default >"$work/default.bin" || fail "devmode default"
[ "$(stat -c %s "$work/default.bin")" -eq 1980 ] || fail "default record is not 1980 bytes"
[ "$(head -c 12 "$work/default.bin" | od -An -tx1 | tr -d ' \n')" = "bc0700004e52455a01000000" ] ||
    fail "default header"
"$tool" devmode default | "$tool" devmode merge /dev/stdin >"$work/merged.bin" || fail "devmode merge /dev/stdin"
cmp -s "$work/default.bin" "$work/merged.bin" || fail "default | merge does not round-trip"

# The hex form is the same record as text.
hex=$("$tool" devmode default --hex)
[ ${#hex} -eq 5940 ] || fail "hex record is ${#hex} characters, expected 5940"
[ "${hex:0:36}" = "BC 07 00 00 4E 52 45 5A 01 00 00 00 " ] || fail "hex record header: ${hex:0:36}"

# A record of another signature converts to the defaults.
head -c 1980 /dev/zero >"$work/foreign.bin"
"$tool" devmode convert "$work/foreign.bin" >"$work/converted.bin" || fail "devmode convert"
cmp -s "$work/default.bin" "$work/converted.bin" || fail "foreign record does not convert to the defaults"

[ "$("$tool" hex 1d5642)" = "1D 56 42 " ] || fail "hex 1d5642"
[ "$("$tool" hex "1 D")" = "01 0D " ] || fail "hex '1 D'"
[ "$("$tool" hex "   ")" = "" ] || fail "hex of spaces"

# Refused inputs exit 1, usage errors 2.
printf 'abcde' >"$work/short.bin"
expect_exit 1 devmode merge "$work/short.bin"
expect_exit 1 devmode convert "$work/missing.bin"
expect_exit 2
expect_exit 2 devmode
expect_exit 2 devmode convert
expect_exit 2 devmode default --bogus
expect_exit 2 devmode default extra
expect_exit 2 hex
expect_exit 0 help

[ "$failures" -eq 0 ] || exit 1
echo "m450tool: all checks passed"
