# KESTREL.exe's dialog under Wine after a download, photographed under a
# Chinese and a non-Chinese locale into build/windows/screenshots/; fails when
# its font cannot show its texts. Its tests ran with the Windows build's.
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
    shot=build/windows/screenshots/dialog-${locale%%.*}
    LANG=$locale LC_ALL=$locale KESTREL_SCREENSHOT=$shot.bmp bash tests/win32/dialog/dialog-display.sh \
        "$PWD/$build/wine-prefix-dialog" "$build/tests/win32/dialog/win32_dialog_tests.exe"
    convert "$shot.bmp" -alpha off "$shot.png" && rm "$shot.bmp"  # GDI leaves the alpha byte 0
    [ "$(identify -format %k "$shot.png")" -gt 8 ] || { echo "$shot.png is blank" >&2; exit 1; }
done
echo "35-windows-dialog: dialog-zh_CN.png and dialog-C.png in $((SECONDS - started)) s"
