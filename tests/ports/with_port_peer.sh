#!/usr/bin/env bash
# with_port_peer.sh PORT [wine-run PREFIX] -- PEER... -- PROGRAM...
# Starts PEER, a Linux program that prints a pseudo-terminal's path as its
# first line and serves its far end, then runs PROGRAM with KESTREL_TEST_PORT
# naming the port: the pty itself when PORT is "pty", else the COM port PORT
# of the Wine prefix, aimed at the pty. Both run in a fresh folder.
# Exit status 77 (skipped) when PEER has not been built.
set -euo pipefail
port=$1 run=() peer=()
shift
while [ "$1" != -- ]; do run+=("$1"); shift; done
shift
while [ "$1" != -- ]; do peer+=("$1"); shift; done
shift
if [ ! -x "${peer[0]}" ]; then
    echo "SKIPPED: no ${peer[0]}; build it natively first"
    exit 77
fi

work=$(mktemp -d "${TMPDIR:-/tmp}/kestrel-port.XXXXXX")
cd "$work"
"${peer[@]}" >peer.out &
peer_pid=$!
trap 'set +e; kill $peer_pid && wait $peer_pid; rm -rf "$work"' EXIT
for _ in $(seq 100); do
    [ -s peer.out ] && break
    sleep 0.1
done
pty=$(head -n1 peer.out)
[ -n "$pty" ] || { echo "the peer printed no pseudo-terminal"; exit 1; }

if [ "$port" = pty ]; then
    port=$pty
else
    # Wine's mount manager aims dosdevices/comN at /dev/ttyS* again whenever
    # a wineserver starts, unless the registry names the device: set both, so
    # that the port leads to the pty whichever server runs the program.
    "${run[@]}" reg add 'HKLM\Software\Wine\Ports' /v "$port" /d "$pty" /f >/dev/null
    ln -sfn "$pty" "${run[1]}/dosdevices/${port,,}"
fi
KESTREL_TEST_PORT=$port "$@"
