#!/bin/bash
# The Windows m450tool.exe (x64 or x86, under Wine) against the native m450tool: for the same
# inputs every job, devmode, convert and watermark command writes the same bytes to standard
# output and to its files, and exits with the same code.
# usage: m450tool_matches_native.sh NATIVE_M450TOOL M450TOOL.exe EMULATOR [EMULATOR ARGS...]
# Exits 77 (skipped) when the native tool has not been built.
set -u
[ -x "$1" ] || { echo "no native m450tool at $1: build the native tree first"; exit 77; }
native=$(realpath "$1")
windows=$(realpath "$2")
shift 2
emulator=("$@")
[ ! -f "${emulator[0]}" ] || emulator[0]=$(realpath "${emulator[0]}")
[ "$(cd "$(mktemp -d)" && "$native" devmode default | wc -c)" -eq 1980 ] || { echo "FAIL: $native does not run"; exit 1; }
golden=$(cd "$(dirname "$0")/../unit/golden" && pwd)
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
mkdir "$work/native" "$work/windows"
failures=0
checks=0

# The inputs, written once and copied into both folders: the tools run there on relative names,
# so that every path they print or derive is the same on both sides.
inputs=$work/inputs
mkdir "$inputs"
"$native" devmode default >"$inputs/default.bin"
head -c 1980 /dev/zero >"$inputs/foreign.bin"
printf 'abcde' >"$inputs/short.bin"
cp "$inputs/default.bin" "$inputs/fonts.bin"
printf '\x05' | dd of="$inputs/fonts.bin" bs=1 seek=908 conv=notrunc status=none  # 2D font 1: MaxiCode
printf '\x05' | dd of="$inputs/fonts.bin" bs=1 seek=705 conv=notrunc status=none  # 1D font 3: width 5
head -c 700 "$inputs/fonts.bin" >"$inputs/cut.bin"
cp "$golden/photo.bmp" "$inputs/photo.bmp"
printf 'JK\x00\xff\r\n\x1a' >"$inputs/firmware.bin"

# compare ARGS...: one command on both sides; its output and every file it leaves must match.
compare() {
    checks=$((checks + 1))
    rm -rf "$work/native"/* "$work/windows"/*
    cp "$inputs"/* "$work/native/"
    cp "$inputs"/* "$work/windows/"
    (cd "$work/native" && "$native" "$@" >../native.out 2>/dev/null)
    local nativeExit=$?
    (cd "$work/windows" && "${emulator[@]}" "$windows" "$@" >../windows.out 2>/dev/null </dev/null)
    local windowsExit=$?
    if [ "$nativeExit" -ne "$windowsExit" ]; then
        echo "FAIL: m450tool $*: native exited $nativeExit, Windows $windowsExit"
        failures=$((failures + 1))
    elif ! cmp -s "$work/native.out" "$work/windows.out"; then
        echo "FAIL: m450tool $*: standard output differs (native, then Windows):"
        od -An -c "$work/native.out" | head -n 8
        echo "--"
        od -An -c "$work/windows.out" | head -n 8
        failures=$((failures + 1))
    elif ! diff -rq "$work/native" "$work/windows" >/dev/null; then
        echo "FAIL: m450tool $*: the files it wrote differ:"
        diff -rq "$work/native" "$work/windows"
        failures=$((failures + 1))
    fi
}

compare devmode default
compare devmode default --hex
compare devmode convert foreign.bin
compare devmode convert fonts.bin --hex
compare devmode merge fonts.bin
compare devmode merge cut.bin
compare devmode merge short.bin
compare devmode convert missing.bin

compare job selftest
compare job clear-logos
compare job barcode1d --type 8 --data "{C123456"
compare job barcode1d --font 1
compare job barcode1d --devmode fonts.bin --font 3
compare job barcode1d --type 2 --data 123456789
compare job barcode2d --devmode fonts.bin --font 1 --data AB
compare job barcode2d --devmode fonts.bin --font 1 --type 4 --data AB
compare job barcode2d --type 3 --data "01#23"
compare job file firmware.bin
compare job file missing.bin
for method in 0 1 2 3; do
    compare job logos --type mono --method "$method" photo.bmp
done
compare job logos --type mono --method 2 --contrast 30 --brightness -20 photo.bmp photo.bmp
compare job logos --type gray photo.bmp
compare job logos --type gray --contrast -40 --brightness 55 photo.bmp

for method in 0 1 2 3; do
    compare convert mono photo.bmp --method "$method"
done
compare convert mono photo.bmp --method 1 --contrast 70 --brightness 10
compare convert gray photo.bmp
compare convert gray photo.bmp --contrast 100 --brightness -100
compare convert gray photo.bmp --contrast -100 --brightness 100
compare convert mono missing.bmp

compare watermark photo.bmp picture.bmp
compare watermark short.bin picture.bmp

echo "m450tool matches native: $((checks - failures)) passed, $failures failed"
[ "$failures" -eq 0 ]
