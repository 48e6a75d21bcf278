#!/usr/bin/env bash
# with-dialog-display.sh WINE_RUN PREFIX COMMAND [ARGS...]: runs COMMAND on a
# private X server (Xvfb), with the Wine prefix PREFIX set up for the dialog:
# Wine's own desktop (no window manager needed, and no waits for one), and
# "宋体" drawn with a CJK font from Debian. Always a private server, so that
# results never depend on the desktop of whoever runs the tests. The prefix
# is the dialog's own: its Wine server is stopped when COMMAND ends, before
# the X server goes.
set -euo pipefail
wine_run=$1
prefix=$2
shift 2

if [ -z "${KESTREL_DIALOG_DISPLAY:-}" ]; then
    export KESTREL_DIALOG_DISPLAY=1
    exec xvfb-run -a -s "-screen 0 1024x768x24 -nolisten tcp" bash "$0" "$wine_run" "$prefix" "$@"
fi

# Once per prefix, even when several runs start together.
if [ ! -f "$prefix/.kestrel-dialog-ready" ]; then
    mkdir -p "$(dirname "$prefix")"
    (
        flock 9
        if [ ! -f "$prefix/.kestrel-dialog-ready" ]; then
            settings=$(mktemp -d)
            # regedit takes Unicode files as UTF-16 with a byte-order mark.
            {
                printf '\xff\xfe'
                iconv -f UTF-8 -t UTF-16LE <<'REG'
Windows Registry Editor Version 5.00

[HKEY_CURRENT_USER\Software\Wine\Fonts\Replacements]
"宋体"="WenQuanYi Micro Hei"
"SimSun"="WenQuanYi Micro Hei"

[HKEY_CURRENT_USER\Software\Wine\Explorer]
"Desktop"="Default"

[HKEY_CURRENT_USER\Software\Wine\Explorer\Desktops]
"Default"="1024x768"
REG
            } >"$settings/dialog.reg"
            (cd "$settings" && "$wine_run" "$prefix" regedit /S dialog.reg)
            WINEPREFIX=$prefix wineserver -w
            rm -rf "$settings"
            touch "$prefix/.kestrel-dialog-ready"
        fi
    ) 9>"$prefix.dialog-lock"
fi

status=0
"$@" || status=$?
WINEPREFIX=$prefix wineserver -k 2>/dev/null || true
exit "$status"
