#!/bin/bash
# m450tool as a new user tries it: help everywhere, a command line that refuses what it cannot
# mean, jobs as raw bytes and read back in words with their logos as pictures, and records
# shown and changed field by field.
# usage: m450tool_words_test.sh PATH_TO_M450TOOL
set -u
tool=$(realpath "$1")
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cd "$work"
failures=0
fail() { echo "FAIL: $*" >&2; failures=$((failures + 1)); }
run() {  # run CODE ARGS...: runs the tool, output in out and err, and checks the exit code
    local want=$1; shift
    "$tool" "$@" >out 2>err
    local got=$?
    [ "$got" -eq "$want" ] || fail "m450tool $* exited $got, expected $want: $(head -c 300 err)"
}
has() { grep -qF -- "$2" "$1" || fail "$1 of the last command lacks: $2"; }

commands=("devmode default" "devmode convert" "devmode merge" "devmode show" "devmode set" "hex"
          "job barcode1d" "job barcode2d" "job selftest" "job clear-logos" "job logos" "job file"
          "decode" "watermark" "convert mono" "convert gray")

# -h is help, not an unknown command; every command has its own --help; all within 100 columns.
run 0 -h
has out "m450tool job barcode1d [--type=T]"
run 0 --help
run 0 help
for command in "${commands[@]}"; do
    # shellcheck disable=SC2086
    run 0 $command --help
    has out "Usage: m450tool $command"
    # shellcheck disable=SC2086
    run 0 $command -h
    awk -v c="$command" 'length($0) > 100 { print "FAIL: " c " --help line longer than 100: " $0; bad = 1 }
                         END { exit bad }' out >&2 || failures=$((failures + 1))
done
run 0 --help
awk 'length($0) > 100 { bad = 1 } END { exit bad }' out || fail "m450tool --help has a line longer than 100 columns"
run 0 job barcode1d --list
awk 'length($0) > 100 { bad = 1 } END { exit bad }' out || fail "--list has a line longer than 100 columns"

# --version.
run 0 --version
[ "$(cat out)" = "m450tool 1.0.0" ] || fail "--version: $(cat out)"

# A repeated single option is an error, not the first value kept.
run 2 job barcode1d --type 1 --type 2
has err "--type is given more than once"
run 2 devmode default --hex --hex

# Exit codes: every command takes 2 for a usage error (an unknown option).
for command in "${commands[@]}"; do
    # shellcheck disable=SC2086
    run 2 $command --no-such-option
    has err "m450tool: "
done
run 2
run 2 job
run 2 decode

# - is standard input, for every command that reads a file.
"$tool" devmode default >default.bin
"$tool" devmode merge - <default.bin >merged.bin || fail "devmode merge -"
cmp -s default.bin merged.bin || fail "merge of standard input changed the record"
[ "$(printf 'JK' | "$tool" job file - | tail -n 1)" = "4A 4B " ] || fail "job file - reads standard input"
printf '\x1b\x63\x3b\x01' | "$tool" decode - >out || fail "decode -"
has out "bracket open"

# -- ends the options: a file named like an option.
printf 'AB' >./-odd.bin
run 0 job file -- -odd.bin
[ "$(tail -n 1 out)" = "41 42 " ] || fail "job file -- -odd.bin"
run 2 job file -odd.bin

# Barcode types by name as well as by number; --list prints the table.
[ "$("$tool" job barcode1d --type=ean13 | sed -n 2p)" = "1D 66 00 1D 48 00 1D 77 03 1D 68 A3 1D 6B 02 " ] ||
    fail "--type=ean13 is not symbology 02"
[ "$("$tool" job barcode1d --type=2 --data=1234567 | sed -n 2p)" = "1D 66 00 1D 48 00 1D 77 03 1D 68 A3 1D 6B 03 " ] ||
    fail "--type=2 is not EAN8"
[ "$("$tool" job barcode1d --type='GS1 DataBar Expanded' | sed -n 2p | cut -c 1-27)" = "1D 66 00 1D 48 00 1D 73 06 " ] ||
    fail "--type with the list text"
[ "$("$tool" job barcode2d --type=qr-code --data=AB | sed -n 2p | cut -c 1-9)" = "1D 6F 00 " ] || fail "--type=qr-code"
run 0 job barcode1d --list
has out "     3  EAN13                                 12 to 13 bytes; allowed: 0 to 9"
has out "     2  EAN8                                  7 to 8 bytes; allowed: 0 to 9"
run 0 job barcode2d --list
has out "     5  Maxi Code                             1 to 84 bytes of any value"
run 1 job barcode1d --type=ean14
has err "--type takes a number from 0 to 12 or a type's name; --list shows them"

# A data error says why.
run 1 job barcode1d --type=ean8 --data=123456789
[ "$(cat err)" = "m450tool: BarCode data error! EAN8 takes 7 to 8 bytes; allowed: 0 to 9 (the data has 9 bytes)" ] ||
    fail "EAN8 data error: $(cat err)"
[ ! -s out ] || fail "a refused test print printed a job"
run 1 job barcode1d --type=upc-e --data=123456789012
has err "UPC-E takes 11 to 12 bytes; allowed: 0 to 9; the first one 0"

# Hex text with other characters is refused, not read as 00.
run 1 hex zz
has err 'character 1 ("z") is neither'
run 1 hex "1D,56,42"
has err 'character 3 (",") is neither'
[ ! -s out ] || fail "refused hex text printed bytes"
[ "$("$tool" hex "1d 56 42 00")" = "1D 56 42 00 " ] || fail "hex 1d 56 42 00"

# Binary output is refused on a terminal unless --raw or --hex is given.
script -qec "$tool devmode default" /dev/null >tty.txt
[ $? -eq 1 ] || fail "the raw record on a terminal did not exit 1"
grep -q "standard output is a terminal" tty.txt || fail "the raw record went to a terminal: $(head -c 80 tty.txt)"
script -qec "$tool devmode default --hex" /dev/null >tty.txt || fail "--hex on a terminal"
grep -q "^BC 07 00 00 " tty.txt || fail "--hex on a terminal printed no hex"
script -qec "$tool devmode default --raw" /dev/null >tty.txt || fail "--raw on a terminal"

# job KIND --raw: the writes' bytes in order, nothing else.
"$tool" job selftest --raw >selftest.prn || fail "job selftest --raw"
[ "$(od -An -tx1 selftest.prn | tr -d ' \n')" = "1b633b011d2841020000021b633b00" ] || fail "selftest --raw bytes"
"$tool" job clear-logos --raw | cmp -s - <(printf '\x1b\x63\x3b\x01\x1c\x71\x00\x00\x0a\x1b\x63\x3b\x00') ||
    fail "clear-logos --raw bytes"
"$tool" job barcode2d --type=maxi-code --data=AB --raw | cmp -s - \
    <(printf '\x1d\x71\x00\x1d\x6b\x0c\x41\x42\x00\x0a\x1d\x56\x42\x00') || fail "barcode2d --raw bytes"

# decode: the words, the summary, every job kind with nothing left over.
run 0 decode selftest.prn
[ "$(cat out)" = "00000000  1B 63 3B 01                                                       bracket open
00000004  1D 28 41 02 00 00 02                                              self-test: print the test page (parameters 00 02)
0000000B  1B 63 3B 00                                                       bracket close
15 bytes, 3 commands, 0 bytes not understood" ] || fail "decode of the self-test:
$(cat out)"
for job in "selftest" "clear-logos" "barcode1d --type=code128" "barcode1d --type=codabar" "barcode2d --type=pdf417" \
           "barcode2d --type=gs1-databar-expanded-stacked" "file default.bin"; do
    # shellcheck disable=SC2086
    "$tool" job $job --raw >job.prn || fail "job $job --raw"
    [ "$("$tool" decode job.prn | tail -n 1 | sed 's/.* commands\?, //')" = "0 bytes not understood" ] ||
        fail "decode of job $job left bytes not understood"
done
printf '\x1b\x63\x3b\x01\x1c\x71\x01\x04\x00' >cut.prn
run 0 decode cut.prn
[ "$(tail -n 2 out)" = "00000004  1C 71 01 04 00                                                    define 1 mono logo, logo 1's header: the stream ends inside it
9 bytes, 1 command, 5 bytes not understood" ] || fail "a cut logo definition: $(cat out)"
run 1 decode missing.prn

# --images: the logos as 8-bit gray PNG files of exactly the stored dots. A 2 x 2 bitmap: top
# row black, white; bottom row white, black.
printf 'BM\x46\x00\x00\x00\x00\x00\x00\x00\x36\x00\x00\x00\x28\x00\x00\x00\x02\x00\x00\x00\x02\x00\x00\x00' >logo.bmp
printf '\x01\x00\x18\x00\x00\x00\x00\x00\x10\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00' >>logo.bmp
printf '\xff\xff\xff\x00\x00\x00\x00\x00\x00\x00\x00\xff\xff\xff\x00\x00' >>logo.bmp
"$tool" job logos --type mono --method 3 logo.bmp --raw >mono.prn
"$tool" job logos --type gray logo.bmp logo.bmp --raw >gray.prn
run 0 decode mono.prn --images pictures
has out "  logo 1: 32 x 8 dots (x 4, y 1), 32 bytes of column data"
[ "$(tail -n 1 out)" = "48 bytes, 4 commands, 0 bytes not understood" ] || fail "decode of the mono job: $(tail -n 1 out)"
"$tool" decode - --images pictures2 <gray.prn >out 2>/dev/null || fail "decode --images of the gray job"
[ "$(/usr/bin/identify -format '%w %h %[colorspace] %z|' pictures/logo-1.png pictures2/logo-1.png pictures2/logo-2.png)" = \
  "32 8 Gray 8|8 2 Gray 8|8 2 Gray 8|" ] || fail "logo pictures are not 8-bit gray of the stored size"
# Mono: 32 x 8, the picture in the bottom two rows (the rows added on top are white).
dots=$(/usr/bin/convert pictures/logo-1.png -depth 8 gray:- | od -An -tx1 -v | tr -d ' \n')
[ "${dots:$((2 * (6 * 32))):4}" = "00ff" ] && [ "${dots:$((2 * (7 * 32))):4}" = "ff00" ] ||
    fail "mono logo dots of the picture rows"
[ "$(printf '%s' "$dots" | tr -d 'f' | wc -c)" -eq 4 ] || fail "the mono logo has other black dots than the two"
# Gray: 8 x 2, level 0 black and 15 white (17 x 15 = 255), columns past the picture white.
[ "$(/usr/bin/convert pictures2/logo-2.png -depth 8 gray:- | od -An -tx1 -v | tr -d ' \n')" = \
  "00ffffffffffffffff00ffffffffffff" ] || fail "gray logo dots"

# devmode show: the first line says what the host makes of the file, then every field by name.
run 0 devmode show default.bin
[ "$(head -n 1 out)" = "a record of this driver (signature 'ZERN', 1980 bytes)" ] || fail "show verdict: $(head -n 1 out)"
has out "startOfDocument.cashDrawer = 12 (Cash Drawer #1+#2 Waiting 60ms)"
has out "endOfDocument.paperCut = 1 (Partial Cut)"
has out "barcode1D.2.barcodeType = 3 (EAN13)"
has out "barcode1D.0.hriPosition = 0 (Not printed)"
has out "barcode2D.0.pdf417ErrorCorrection = 5 (Error Correction Level 5)"
has out "barcode2D.1.qrErrorCorrection = 1 (M)"
has out "watermarkPosition = 4 (Center-Middle)"
has out 'logDirectory = "C:\ZERNDriverlog\KVL-M450"'
head -c 1980 /dev/zero >foreign.bin
run 0 devmode show foreign.bin
[ "$(head -n 1 out)" = "not a record of this driver (signature 0x00000000, 1980 bytes): the host replaces it by the defaults below" ] ||
    fail "show of a foreign record: $(head -n 1 out)"
head -c 1000 default.bin >short.bin
run 0 devmode show short.bin
has out "a record of this driver (signature 'ZERN', 1000 bytes, dwSize 1980)"
# convert and merge of a foreign file say that defaults were used.
run 0 devmode convert foreign.bin
has err "m450tool: foreign.bin is not a record of this driver (signature 0x00000000): the defaults were used"
run 0 devmode merge default.bin
[ ! -s err ] || fail "merge of a record of this driver said something: $(cat err)"

# devmode set: the pages' clamps, said out loud; the record changed only where asked.
run 0 devmode set default.bin barcode1D.3.elementHeight=300 endOfDocument.buzzerVolume=-5 \
    "endOfDocument.command=1d 56 42 00" barcode2D.1.pdf417Rows=0 zoomPercent=150 watermarkPosition=9 \
    watermarkSize=10 endOfPage.paperCut=2
cp out changed.bin
[ "$(cat err)" = "m450tool: barcode1D.3.elementHeight: 300 is clamped to 255
m450tool: endOfDocument.buzzerVolume: -5 is clamped to 255
m450tool: barcode2D.1.pdf417Rows: 0 is clamped to 3
m450tool: zoomPercent: 150 is clamped to 100
m450tool: watermarkSize: 10 is clamped to 20" ] || fail "set's clamps: $(cat err)"
run 0 devmode show changed.bin
has out "barcode1D.3.elementHeight = 255"
has out "barcode1D.3.fontHeight = 255 dots"
has out "endOfDocument.buzzerVolume = 255"
has out 'endOfDocument.command = "1D 56 42 00"'
has out "endOfDocument.commandLength = 4"
has out "barcode2D.1.pdf417Rows = 3"
has out "zoomPercent = 100 %"
has out "watermarkPosition = 9 (Tiled)"
has out "watermarkSize = 20"
has out "endOfPage.paperCut = 2 (Full Cut)"
[ "$(cmp -l default.bin changed.bin | wc -l)" -le 16 ] || fail "set changed more bytes than the fields asked"
run 1 devmode set default.bin endOfPage.paperCut=3
has err "endOfPage.paperCut: takes 0 to 2"
run 1 devmode set default.bin paperCut=1
has err 'no field is named "paperCut"'
run 1 devmode set default.bin barcode1D.0.fontHeight=10
has err "not set by any page"
run 1 devmode set default.bin "startOfPage.command=1D,56"

# What a user reads when a word or a file is wrong: the word or the path, and why.
run 2 frobnicate
[ "$(cat err)" = 'm450tool: unknown command frobnicate
Run "m450tool --help" for its usage.' ] || fail "an unknown command: $(cat err)"
run 2 job frobnicate
has err "m450tool: unknown command job frobnicate"
run 2 job logos logo.bmp
has err "m450tool: --type is required"
run 0 job logos --type=GRAY logo.bmp
mkdir folder
: >empty.bmp
says() {  # says "WHAT STDERR READS" CODE ARGS...
    local want=$1; shift
    run "$@"
    [ "$(cat err)" = "$want" ] || fail "m450tool ${*:2}: $(cat err)"
}
says "m450tool: missing.bin: no such file" 1 devmode show missing.bin
says "m450tool: folder: is a folder (Fail to open the selected file!)" 1 job file folder
says "m450tool: folder/none/picture.bmp: cannot write the picture file (no such folder)" 1 \
    watermark logo.bmp folder/none/picture.bmp
says 'm450tool: hex byte text takes hexadecimal digits and spaces only; character 2 ("２") is neither' 1 hex "1２"
says "m450tool: empty.bmp: the file is empty" 1 convert mono empty.bmp
says "m450tool: foreign.bin is not a record of this driver (signature 0x00000000): the defaults were used" 0 \
    job barcode1d --devmode foreign.bin
# decode --images makes the folder only for pictures, and refuses a file for one before decoding.
says "m450tool: the stream defines no logo: nothing written to none" 0 decode selftest.prn --images none
[ ! -e none ] || fail "decode --images made a folder for no picture"
says "m450tool: default.bin: is not a folder, so no pictures can go in it" 1 decode mono.prn --images default.bin
[ ! -s out ] || fail "decode --images decoded before refusing its folder"
[ "$(printf 'J' | "$tool" decode - | tail -n 1)" = "1 byte, 1 command, 0 bytes not understood" ] ||
    fail "the summary of one byte"

[ "$failures" -eq 0 ] || exit 1
echo "m450tool words: all checks passed"
