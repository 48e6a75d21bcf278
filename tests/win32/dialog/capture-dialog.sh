#!/usr/bin/env bash
# capture-dialog.sh WINE_RUN PREFIX SHOT_EXE PNG: on the current display,
# shows the dialog through SHOT_EXE (dialog_shot.exe), waits until it is
# drawn, and captures it into PNG. Fails when the program does, e.g. when the
# dialog's font cannot show its texts.
set -euo pipefail
wine_run=$1
prefix=$2
shot=$3
png=$4

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
(cd "$work" && exec "$wine_run" "$prefix" "$shot") &
program=$!

# Bounded only so that a broken run cannot hang the suite.
for _ in $(seq 1200); do
    [ -f "$work/shot-ready" ] && break
    kill -0 "$program" 2>/dev/null || break
    sleep 0.1
done
if [ ! -f "$work/shot-ready" ]; then
    status=0
    wait "$program" || status=$?
    echo "capture-dialog: the dialog was not shown (status $status)" >&2
    exit 1
fi

read -r x y width height <"$work/shot-ready"
margin=8
x=$((x > margin ? x - margin : 0))
y=$((y > margin ? y - margin : 0))
import -window root -crop "$((width + 2 * margin))x$((height + 2 * margin))+${x}+${y}" +repage "$png"
touch "$work/shot-done"
wait "$program"
echo "capture-dialog: wrote $png"
