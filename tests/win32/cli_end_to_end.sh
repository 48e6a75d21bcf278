#!/usr/bin/env bash
# cli_end_to_end.sh KESTREL_CLI_EXE NATIVE_KESTREL_CLI WINEPREFIX RUN...
# kestrel-cli.exe through a real Win32 COM handle under Wine: COM1 of the
# prefix is linked to the pseudo-terminal of the native virtual handheld
# (NATIVE_KESTREL_CLI simulate). Text, package and plain files go there and
# come back, also under names no narrow code page holds. RUN... runs a
# Windows program (wine-run and its prefix). Wine runs with a non-Chinese
# locale, as a Windows whose language for non-Unicode programs is English.
# Exit status 77 (skipped) when the native kestrel-cli has not been built.
set -euo pipefail

exe=$(realpath -m "$1") native=$(realpath -m "$2") prefix=$(realpath -m "$3")
shift 3
run=("$@")

if [ ! -x "$native" ]; then
    echo "SKIPPED: no $native; build the native kestrel-cli (debug preset) first"
    exit 77
fi

work=$(mktemp -d "${TMPDIR:-/tmp}/kestrel-cli-e2e.XXXXXX")
handheld_pid=""
cleanup() {
    [ -n "$handheld_pid" ] && { kill "$handheld_pid" && wait "$handheld_pid"; } 2>/dev/null || true
    rm -f "$prefix/dosdevices/com1"
    rm -rf "$work"
}
trap cleanup EXIT
cd "$work"
failures=0

fail() {
    echo "FAILED: $*"
    failures=$((failures + 1))
}

# Runs kestrel-cli.exe; its output lands in out.txt (lines end in CR LF on
# Windows; the CRs are dropped), its exit status in $status.
cli() {
    status=0
    LANG=C.UTF-8 LC_ALL=C.UTF-8 timeout 120 "${run[@]}" "$exe" "$@" >raw.txt 2>&1 || status=$?
    tr -d '\r' <raw.txt >out.txt
}

# cli, then the run must have ended in "传输成功。".
transfer() {
    cli "$@"
    if [ "$status" -ne 0 ] || [ "$(tail -n1 out.txt)" != "传输成功。" ]; then
        fail "kestrel-cli.exe $* (exit $status):"
        cat out.txt
        return 1
    fi
}

same() {
    cmp "$1" "$2" >/dev/null || fail "$2 differs from $1"
}

"$native" simulate --root "$work/handheld" >handheld.out 2>handheld.err &
handheld_pid=$!
for _ in $(seq 100); do
    [ -s handheld.out ] && break
    sleep 0.1
done
slave=$(head -n1 handheld.out)
[ -n "$slave" ] || { echo "the virtual handheld printed no port"; cat handheld.err; exit 1; }
"${run[@]}" cmd /c exit 0  # makes the prefix on first use
ln -sfn "$slave" "$prefix/dosdevices/com1"

# Little-endian fields and package entries: size, path (printf escapes,
# NUL-padded to 60 bytes), then the data file.
le16() { printf "\\x$(printf %02x $(($1 & 255)))\\x$(printf %02x $(($1 >> 8 & 255)))"; }
le32() {
    le16 $(($1 & 65535))
    le16 $(($1 >> 16))
}
entry() {
    local size=0 length
    [ -n "${2:-}" ] && size=$(stat -c %s "$2")
    le32 "$size"
    printf "$1"
    length=$(printf "$1" | wc -c)
    head -c $((60 - length)) /dev/zero
    [ -n "${2:-}" ] && cat "$2"
    return 0
}

for _ in 1 2 3; do for i in $(seq 0 255); do printf "\\x$(printf %02x "$i")"; done; done >data.dat
head -c 3000 /dev/urandom >>data.dat

# Text: kept on the handheld behind its 24-byte header, fetched back without.
printf '\xc4\xe3\xba\xc3 KESTREL\r\n\xb5\xda\xb6\xfe\xd0\xd0\r\n' >note.txt
if transfer send note.txt --port COM1; then
    stored=$(stat -c %s handheld/文本文件/note.txt 2>/dev/null || echo 0)
    [ "$stored" -eq $(($(stat -c %s note.txt) + 24)) ] || fail "note.txt is not on the handheld behind a header"
    transfer receive back.txt --dir 文本文件 --name note.txt --port COM1 && same note.txt back.txt
fi

# A plain file holding every byte value: unchanged both ways.
if transfer send data.dat --port COM1; then
    same data.dat handheld/LavaData/data.dat
    transfer receive copy.dat --dir LavaData --name data.dat --port COM1 && same data.dat copy.dat
fi

# A package: its entries land byte for byte in their own directories, the
# empty one is skipped.
head -c 512 data.dat >entry.dat
printf 'abc' >entry.txt
{
    printf 'PAC '
    head -c 12 /dev/zero
    le16 3
    entry 'LavaData/pk.dat' entry.dat
    entry 'empty/none'
    entry '\xce\xc4\xb1\xbe\xce\xc4\xbc\xfe/pk.txt' entry.txt
} >game.pac
if transfer send game.pac --port COM1; then
    same entry.dat handheld/LavaData/pk.dat
    same entry.txt handheld/文本文件/pk.txt
    [ ! -e handheld/empty/none ] || fail "the empty package entry was sent"
    transfer receive pk.dat --dir LavaData --name pk.dat --port COM1 && same entry.dat pk.dat
fi

# PC paths with characters no narrow code page holds, and spaces.
odd="dir ü 数据 ก😀"
mkdir "$odd"
cp data.dat "$odd/文件 ก😀.dat"
if transfer send "$odd/文件 ก😀.dat" --dir LavaData --name odd.dat --port COM1; then
    same data.dat handheld/LavaData/odd.dat
    transfer receive "$odd/回来 ก😀.dat" --dir LavaData --name odd.dat --port COM1 &&
        same data.dat "$odd/回来 ก😀.dat"
fi

# A port that is not there says so after the open failure.
cli send data.dat --port COM42
[ "$status" -eq 1 ] && grep -q '无法打开串口COM42!没有这个串口' out.txt ||
    { fail "a missing COM42 (exit $status):"; cat out.txt; }

cli ports
grep -qx COM1 out.txt || { fail "ports does not list COM1:"; cat out.txt; }

[ "$failures" -eq 0 ] || { echo "$failures failed"; exit 1; }
echo "all round trips through COM1 passed"
