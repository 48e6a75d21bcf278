#!/usr/bin/env bash
# dialog-display.sh PREFIX PROGRAM [ARGS...]: runs the Windows PROGRAM under
# Wine in PREFIX on an X server of its own, in Wine's own desktop (no window
# manager to wait for), with "宋体" drawn by a CJK font from Debian. The Wine
# server is stopped before the X server goes.
set -euo pipefail
wine_run=$(dirname "$0")/../../../cmake/toolchains/wine-run
prefix=$1
if [ -z "${KESTREL_DIALOG_DISPLAY:-}" ]; then
    KESTREL_DIALOG_DISPLAY=1 exec xvfb-run -a -s "-screen 0 1024x768x24 -nolisten tcp" bash "$0" "$@"
fi
if [ ! -f "$prefix/.kestrel-dialog-ready" ]; then
    "$wine_run" "$prefix" reg add 'HKCU\Software\Wine\Fonts\Replacements' /v 宋体 /d 'WenQuanYi Micro Hei' /f
    "$wine_run" "$prefix" reg add 'HKCU\Software\Wine\Explorer' /v Desktop /d Default /f
    "$wine_run" "$prefix" reg add 'HKCU\Software\Wine\Explorer\Desktops' /v Default /d 1024x768 /f
    WINEPREFIX=$prefix wineserver -w
    touch "$prefix/.kestrel-dialog-ready"
fi >/dev/null
status=0
"$wine_run" "$@" || status=$?
WINEPREFIX=$prefix wineserver -k 2>/dev/null || true
exit "$status"
