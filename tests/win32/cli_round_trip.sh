#!/usr/bin/env bash
# cli_round_trip.sh wine-run PREFIX KESTREL_CLI_EXE
# kestrel-cli.exe through the COM port $KESTREL_TEST_PORT to the virtual
# handheld keeping its files in ./handheld (with_port_peer.sh sets both up):
# a text file and a package go there and come back. Wine takes the Chinese
# words as UTF-8, as a Windows whose non-Unicode language is not Chinese.
set -euo pipefail

cli() {
    LANG=C.UTF-8 LC_ALL=C.UTF-8 timeout 120 "${run[@]}" "$@" --port "$KESTREL_TEST_PORT" \
        >out.txt 2>&1 || { echo "FAILED: kestrel-cli.exe $*"; tr -d '\r' <out.txt; exit 1; }
}
run=("$@")

printf '\xc4\xe3\xba\xc3 KESTREL\r\n\xb5\xda\xb6\xfe\xd0\xd0\r\n' >NOTE.TXT
cli send NOTE.TXT
tail -c +25 handheld/文本文件/NOTE.txt | cmp NOTE.TXT -
cli receive BACK.TXT --dir 文本文件 --name NOTE.txt
cmp NOTE.TXT BACK.TXT

{ printf 'PAC '; head -c 12 /dev/zero; printf '\1\0\3\0\0\0LavaData/pk.dat'; head -c 45 /dev/zero
  printf abc; } >x.pac
cli send x.pac
cli receive pk.dat --dir LavaData --name pk.dat
printf abc | cmp - pk.dat
echo "a text file and a package went through $KESTREL_TEST_PORT and came back"
