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

# Barcode test prints: the document name, then one line per write.
expect_job() {  # expect_job "EXPECTED LINES" ARGS...
    local want=$1; shift
    local got
    got=$("$tool" "$@" 2>&1) || fail "m450tool $* exited $?"
    [ "$got" = "$want" ] || fail "m450tool $*: got
$got"
}
expect_job "Barcode
1D 66 00 1D 48 00 1D 77 03 1D 68 A3 1D 6B 49 
00 
1D 77 03 1D 68 A3 1D 6B 49 
05 
7B 43 0C 22 38 
00 
0A 1D 56 42 00 " job barcode1d --type 8 --data "{C123456"
# Without --type the font's own type and its sample: font 1 is UPC-E.
expect_job "Barcode
1D 66 00 1D 48 00 1D 77 03 1D 68 A3 1D 6B 01 
30 32 33 34 35 36 37 38 39 30 31 32 
00 
0A 1D 56 42 00 " job barcode1d --font 1
# Settings come from the record in the file: 2D font 1 set to MaxiCode, 1D font 3 to width 5.
"$tool" devmode default >"$work/barcode.bin"
printf '\x05' | dd of="$work/barcode.bin" bs=1 seek=908 conv=notrunc status=none
printf '\x05' | dd of="$work/barcode.bin" bs=1 seek=705 conv=notrunc status=none
expect_job "2Dcode
1D 71 00 1D 6B 0C 
41 42 
00 
0A 1D 56 42 00 " job barcode2d --devmode "$work/barcode.bin" --font 1 --data AB
expect_job "2Dcode
1D 6F 00 03 00 01 1D 6B 0B 4D 41 2C 
41 42 
00 
0A 1D 56 42 00 " job barcode2d --devmode "$work/barcode.bin" --font 1 --type 4 --data AB
[ "$("$tool" job barcode1d --devmode "$work/barcode.bin" --font 3 | sed -n 2p)" = \
  "1D 66 00 1D 48 00 1D 77 05 1D 68 A3 1D 6B 04 " ] || fail "job barcode1d takes font 3's width from the file"
# Refused data exits 1 with the page's message and prints no job.
"$tool" job barcode1d --type 2 --data 123456789 >"$work/out" 2>"$work/err"
[ $? -eq 1 ] && [ ! -s "$work/out" ] && grep -q "BarCode data error!" "$work/err" || fail "EAN8 of nine digits"
"$tool" job barcode2d --type 5 --data "$(printf 'A%.0s' $(seq 85))" >"$work/out" 2>"$work/err"
[ $? -eq 1 ] && grep -q "BarCode data error!" "$work/err" || fail "MaxiCode of 85 bytes"
expect_exit 1 job barcode2d --type 3 --data "01#23"
expect_exit 1 job barcode1d --type 13
expect_exit 1 job barcode2d --font 2
expect_exit 1 job barcode1d --devmode "$work/short.bin"

# watermark: a 1-bit bitmap 10 pixels wide becomes rows of 30 pixel bytes and 2 bytes 0xFF; a
# 24-bit one is copied; a refused source leaves the picture file as it was.
printf 'BM\x00\x00\x00\x00\x00\x00\x00\x00\x3e\x00\x00\x00\x28\x00\x00\x00\x0a\x00\x00\x00\x02\x00\x00\x00' >"$work/one.bmp"
printf '\x01\x00\x01\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00' >>"$work/one.bmp"
printf '\x00\x00\x00\x00\xff\xff\xff\x00\xb0\x40\x00\x00\x7f\xff\x00\x00' >>"$work/one.bmp"
[ "$("$tool" watermark "$work/one.bmp" "$work/picture.bmp")" = "1" ] || fail "watermark of a 1-bit bitmap"
[ "$(stat -c %s "$work/picture.bmp")" -eq 118 ] || fail "1-bit picture is not 54 + 2 x 32 bytes"
[ "$(od -An -tx1 -j54 -N32 "$work/picture.bmp" | tr -d ' \n')" = \
  "ffffff000000ffffffffffff000000000000000000000000000000ffffffffff" ] || fail "1-bit picture's first row"
head -c 54 "$work/picture.bmp" >"$work/rgb.bmp"  # 10 x 2 at 24 bits: 64 pixel bytes follow
head -c 64 /dev/urandom >>"$work/rgb.bmp"
"$tool" watermark "$work/rgb.bmp" "$work/picture.bmp" >/dev/null && cmp -s "$work/rgb.bmp" "$work/picture.bmp" ||
    fail "a 24-bit bitmap is not copied unchanged"
cp "$work/picture.bmp" "$work/before.bmp"
printf '\x76' | dd of="$work/one.bmp" bs=1 seek=10 conv=notrunc status=none  # 4-bit offset
expect_exit 1 watermark "$work/one.bmp" "$work/picture.bmp"
[ "$(cat "$work/out")" = "0" ] || fail "a 4-bit bitmap does not give 0"
head -c 117 "$work/rgb.bmp" >"$work/cut.bmp"
expect_exit 1 watermark "$work/cut.bmp" "$work/picture.bmp"
[ "$(cat "$work/out")" = "0" ] || fail "a truncated bitmap does not give 0"
expect_exit 1 watermark "$work/missing.bmp" "$work/picture.bmp"
cmp -s "$work/before.bmp" "$work/picture.bmp" || fail "a refused source changed the picture file"
expect_exit 1 watermark "$work/rgb.bmp" "$work/no-such-folder/picture.bmp"
[ "$(cat "$work/out")" = "2" ] || fail "an unwritable picture file does not give 2"
expect_exit 2 watermark "$work/rgb.bmp"

# The Utility page's self-test: bracket open, test print, bracket close.
expect_job "SELFTEST
1B 63 3B 01 
1D 28 41 02 00 00 02 
1B 63 3B 00 " job selftest
expect_exit 2 job selftest extra

# Logos. A 24-bit 2 x 2 bitmap: bottom row white, black; top row black, white.
printf 'BM\x46\x00\x00\x00\x00\x00\x00\x00\x36\x00\x00\x00\x28\x00\x00\x00\x02\x00\x00\x00\x02\x00\x00\x00' >"$work/logo.bmp"
printf '\x01\x00\x18\x00\x00\x00\x00\x00\x10\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00' >>"$work/logo.bmp"
printf '\xff\xff\xff\x00\x00\x00\x00\x00\x00\x00\x00\xff\xff\xff\x00\x00' >>"$work/logo.bmp"
# The working copy goes beside the source; error diffusion of black and white keeps them.
[ "$("$tool" convert mono "$work/logo.bmp" --method 3)" = "$work/logoTemp.bmp" ] || fail "convert mono prints its path"
[ "$(stat -c %s "$work/logoTemp.bmp")" -eq 70 ] || fail "mono working copy is not 62 + 2 x 4 bytes"
[ "$(od -An -tx1 -j54 "$work/logoTemp.bmp" | tr -d ' \n')" = "00000000ffffff008000000040000000" ] ||
    fail "mono working copy's palette and rows"
# A file at the working copy's path is left alone unless --replace is given.
cp "$work/logoTemp.bmp" "$work/mono-copy.bmp"
expect_exit 1 convert gray "$work/logo.bmp" --contrast 0 --brightness=-100
grep -q "logoTemp.bmp: the working copy's name is taken by a file that is left as it is (--replace overwrites it)" \
    "$work/err" || fail "convert over a file: the message"
cmp -s "$work/logoTemp.bmp" "$work/mono-copy.bmp" || fail "convert without --replace changed the file there"
"$tool" convert gray "$work/logo.bmp" --contrast 0 --brightness=-100 --replace >/dev/null || fail "convert gray"
[ "$(od -An -tx1 -j1078 "$work/logoTemp.bmp" | tr -d ' \n')" = "9b000000009b0000" ] || fail "gray working copy at brightness -100"
expect_job "SELFTEST
1B 63 3B 01 
1C 71 00 00 0A 
1B 63 3B 00 " job clear-logos
# Column data: dot columns 0 and 1 hold the top row's black pixel (bit 1) and the bottom row's (bit 0).
expect_job "LOGO
1B 63 3B 01 
1C 71 01 
04 00 01 00 
02 01 $(printf '00 %.0s' $(seq 30))
0A 
1B 63 3B 00 " job logos --type mono --method 3 "$work/logo.bmp"
# Plane data: four plane rows per picture row, the dark pixel printing.
expect_job "LOGO
1B 63 3B 01 
1C 72 02 
01 00 01 00 01 00 
80 80 80 80 40 40 40 40 
01 00 01 00 01 00 
80 80 80 80 40 40 40 40 
0A 
1B 63 3B 00 " job logos --type gray "$work/logo.bmp" "$work/logo.bmp"
expect_job "FIRMWARE
4A 4B 00 FF " job file <(printf 'JK\x00\xff')
expect_exit 1 job logos --type mono
grep -q "Please select logos first!" "$work/err" || fail "no logos: MB_DOWNLOAD_ERROR5"
expect_exit 1 job logos --type mono "$work/missing.bmp"
grep -q "Failed to get the size of logo!" "$work/err" || fail "unreadable logo: MB_DOWNLOAD_ERROR6"
# A 320 x 320 gray working copy is 1078 + 102400 bytes: over 96 KiB.
printf 'BM\x00\x00\x00\x00\x00\x00\x00\x00\x36\x04\x00\x00\x28\x00\x00\x00\x40\x01\x00\x00\x40\x01\x00\x00\x01\x00\x08\x00' >"$work/big.bmp"
head -c $((24 + 1024 + 102400)) /dev/zero >>"$work/big.bmp"
expect_exit 1 job logos --type gray "$work/big.bmp"
grep -q "greater 96K" "$work/err" || fail "too large: MB_DOWNLOAD_ERROR7"
expect_exit 1 job logos --type gray $(printf "$work/logo.bmp %.0s" $(seq 10))
[ "$(cat "$work/err")" = "m450tool: 10 logos given: the printer holds at most 9" ] || fail "ten logos: $(cat "$work/err")"
# The page's size limit comes before anything is converted, whatever the method: a 3000-dot-wide
# logo is too big (not a 225 KB job, nor "greater 96K" under error diffusion); 1024 wide is taken.
wide_bmp() {  # wide_bmp WIDTH_HEX4 FILE: a 24-bit bitmap WIDTH x 1, rows of zeros
    printf "BM\x00\x00\x00\x00\x00\x00\x00\x00\x36\x00\x00\x00\x28\x00\x00\x00$1\x01\x00\x00\x00\x01\x00\x18\x00" >"$2"
    head -c $((24 + 9000)) /dev/zero >>"$2"
}
wide_bmp '\xb8\x0b\x00\x00' "$work/wide.bmp"  # 3000
for method in 0 3; do
    expect_exit 1 job logos --type mono --method $method "$work/logo.bmp" "$work/wide.bmp"
    grep -q "wide.bmp: The image is too big to be selected." "$work/err" || fail "3000 wide, method $method: MB_DOWNLOAD_ERROR3"
    [ ! -s "$work/out" ] || fail "3000 wide, method $method: a job was printed"
done
wide_bmp '\x00\x04\x00\x00' "$work/wide.bmp"  # 1024
"$tool" job logos --type mono --method 3 "$work/wide.bmp" >/dev/null || fail "a 1024-wide logo is refused"
# A logo that cannot be sent is named with why, and no job at all is printed (no 1C 71 n, no half).
printf 'BM\x00\x00\x00\x00\x00\x00\x00\x00\x76\x00\x00\x00\x28\x00\x00\x00\x02\x00\x00\x00\x02\x00\x00\x00\x01\x00\x04\x00' >"$work/four.bmp"
head -c $((24 + 64 + 8)) /dev/zero >>"$work/four.bmp"
expect_exit 1 job logos --type mono "$work/logo.bmp" "$work/four.bmp" "$work/logo.bmp"
grep -q "four.bmp: cannot be sent (a bit count this conversion does not take), so no job is made" "$work/err" ||
    fail "a 4-bit logo is not named"
[ ! -s "$work/out" ] || fail "a 4-bit logo: part of a job was printed"
# A 1-bit 8 x 1 logo whose table is black, then gray.
printf 'BM\x42\x00\x00\x00\x00\x00\x00\x00\x3e\x00\x00\x00\x28\x00\x00\x00\x08\x00\x00\x00\x01\x00\x00\x00\x01\x00\x01\x00' >"$work/grayish.bmp"
head -c 24 /dev/zero >>"$work/grayish.bmp"
printf '\x00\x00\x00\x00\x80\x80\x80\x00\x0f\x00\x00\x00' >>"$work/grayish.bmp"
expect_exit 1 job logos --type mono "$work/logo.bmp" "$work/grayish.bmp"
grep -q "grayish.bmp: cannot be sent (the palette is neither black then white nor white then black)" "$work/err" ||
    fail "a 1-bit logo of another palette is not named"
[ ! -s "$work/out" ] || fail "a bad palette: part of a job was printed"
expect_exit 1 job logos --type sepia "$work/logo.bmp"
expect_exit 1 job file "$work/missing.bin"
grep -q "Fail to open the selected file!" "$work/err" || fail "missing file: MB_DOWNLOAD_ERROR1"
# The extension is cut at the last dot of the file name: none there, the whole name is kept.
mkdir "$work/pics.d"
cp "$work/logo.bmp" "$work/pics.d/ab"
[ "$("$tool" convert mono "$work/pics.d/ab")" = "$work/pics.d/abTemp.bmp" ] || fail "working copy of a name without extension"
[ ! -e "$work/picsTemp.bmp" ] || fail "the working copy was named from the folder's dot"
rm -f "$work/oneTemp.bmp"
expect_exit 1 convert mono "$work/one.bmp"  # 1 bit: a mono logo sent as it is, no working copy
[ ! -e "$work/oneTemp.bmp" ] || fail "a refused conversion wrote a working copy"
expect_exit 1 convert mono "$work/logo.bmp" --method 4
expect_exit 2 convert gray "$work/logo.bmp" --method 1

[ "$failures" -eq 0 ] || exit 1
echo "m450tool: all checks passed"
