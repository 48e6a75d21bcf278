#!/usr/bin/env bash
# take-screenshots.sh WINE_RUN PREFIX SHOT_EXE FOLDER: screenshots of the
# dialog with Chinese texts, once under a Chinese locale and once under a
# non-Chinese one (the texts must show in both), as
# FOLDER/dialog-zh_CN.png and FOLDER/dialog-C.png.
#
# Needs the zh_CN.UTF-8 locale, which scripts/test-steps/35-windows-dialog.sh
# generates; it also sets KESTREL_DIALOG_SCREENSHOTS=1. Without it this test
# is skipped (status 77), so the general test run does not take them twice.
set -euo pipefail
wine_run=$1
prefix=$2
shot=$3
folder=$4
here=$(cd "$(dirname "$0")" && pwd)

if [ -z "${KESTREL_DIALOG_SCREENSHOTS:-}" ]; then
    echo "take-screenshots: skipped; scripts/test-steps/35-windows-dialog.sh takes them"
    exit 77
fi
if ! locale -a | grep -qiE '^zh_CN\.utf-?8$'; then
    echo "take-screenshots: the zh_CN.UTF-8 locale is missing" >&2
    exit 1
fi

mkdir -p "$folder"
for locale in zh_CN.UTF-8 C.UTF-8; do
    name=${locale%%.*}
    rm -f "$folder/dialog-$name.png"
    LANG=$locale LC_ALL=$locale bash "$here/with-dialog-display.sh" "$wine_run" "$prefix" \
        bash "$here/capture-dialog.sh" "$wine_run" "$prefix" "$shot" "$folder/dialog-$name.png"
    # A blank capture (no dialog drawn) has a handful of colours at most.
    colours=$(identify -format '%k' "$folder/dialog-$name.png")
    if [ "$colours" -lt 8 ]; then
        echo "take-screenshots: $folder/dialog-$name.png looks blank ($colours colours)" >&2
        exit 1
    fi
done
