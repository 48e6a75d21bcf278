#!/usr/bin/env bash
# com_port_test.sh TESTS_EXE PEER WINEPREFIX RUN...
# Runs the COM port tests (TESTS_EXE, a Windows program) through COM11 of the
# Wine prefix, which this script links to the pseudo-terminal of PEER, the
# Linux program that sends every byte back. COM11: a port above 9 must open
# too. RUN... runs a Windows program (wine-run and its prefix).
# Exit status 77 (skipped) when PEER has not been built.
set -euo pipefail

tests=$(realpath -m "$1") peer=$(realpath -m "$2") prefix=$(realpath -m "$3")
shift 3
run=("$@")

if [ ! -x "$peer" ]; then
    echo "SKIPPED: no $peer; build the native target pty_echo_peer (debug preset) first"
    exit 77
fi

work=$(mktemp -d "${TMPDIR:-/tmp}/kestrel-com-port.XXXXXX")
peer_pid=""
cleanup() {
    [ -n "$peer_pid" ] && { kill "$peer_pid" && wait "$peer_pid"; } 2>/dev/null || true
    rm -f "$prefix/dosdevices/com11"
    rm -rf "$work"
}
trap cleanup EXIT

"$peer" >"$work/peer.out" 2>"$work/peer.err" &
peer_pid=$!
for _ in $(seq 100); do
    [ -s "$work/peer.out" ] && break
    sleep 0.1
done
slave=$(head -n1 "$work/peer.out")
[ -n "$slave" ] || { echo "the peer printed no pseudo-terminal"; cat "$work/peer.err"; exit 1; }

"${run[@]}" cmd /c exit 0  # makes the prefix on first use
ln -sfn "$slave" "$prefix/dosdevices/com11"
KESTREL_TEST_PORT=COM11 timeout 240 "${run[@]}" "$tests"
