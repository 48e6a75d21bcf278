# KESTREL.exe's dialog under Wine after a download, and with a long failure
# reason whole in the status line's tooltip, photographed under a Chinese and
# a non-Chinese locale into build/windows/screenshots/ (dialog-LOCALE.png,
# dialog-long-reason-LOCALE.png); fails when its font cannot show its texts.
# Its tests ran with the Windows build's.
set -euo pipefail
started=$SECONDS
scripts/install-deps test g++-mingw-w64-x86-64 g++-mingw-w64-x86-64-posix wine wine64 googletest \
    xvfb xauth fonts-wqy-microhei locales imagemagick
if ! locale -a | grep -qiE '^zh_CN\.utf-?8$'; then
    sudo=$([ "$(id -u)" -eq 0 ] || echo sudo)
    echo 'zh_CN.UTF-8 UTF-8' | $sudo tee -a /etc/locale.gen >/dev/null && $sudo locale-gen >/dev/null
fi
build=${KESTREL_WINDOWS_BUILD:-build/windows}
cmake --preset windows -B "$build" >/dev/null
cmake --build "$build" -j "$(nproc)" --target KESTREL win32_dialog_tests
mkdir -p build/windows/screenshots
for locale in zh_CN.UTF-8 C.UTF-8; do
    shots=build/windows/screenshots/${locale%%.*}
    mkdir -p "$shots"
    LANG=$locale LC_ALL=$locale KESTREL_SCREENSHOTS=$shots bash tests/win32/dialog/dialog-display.sh \
        "$PWD/$build/wine-prefix-dialog" "$build/tests/win32/dialog/win32_dialog_tests.exe"
    for name in dialog dialog-long-reason; do
        shot=build/windows/screenshots/$name-${locale%%.*}.png
        convert "$shots/$name.bmp" -alpha off "$shot"  # GDI leaves the alpha byte 0
        [ "$(identify -format %k "$shot")" -gt 8 ] || { echo "$shot is blank" >&2; exit 1; }
    done
    rm -r "$shots"
done
echo "35-windows-dialog: dialog-zh_CN.png, dialog-C.png and their long reasons in $((SECONDS - started)) s"
