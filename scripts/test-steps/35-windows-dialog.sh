# Screenshots of KESTREL.exe's dialog under Wine on a virtual X display,
# with Chinese texts, under a Chinese and a non-Chinese locale, written to
# build/windows/screenshots/dialog-zh_CN.png and dialog-C.png; fails when the
# dialog's font cannot show its texts. The dialog's own tests ran with the
# rest of the Windows build's tests; this step reuses that build folder.
set -euo pipefail
started=$SECONDS
scripts/install-deps test g++-mingw-w64-x86-64 g++-mingw-w64-x86-64-posix wine wine64 googletest \
    xvfb xauth fonts-wqy-microhei locales imagemagick

if ! locale -a | grep -qiE '^zh_CN\.utf-?8$'; then
    sudo=""
    if [ "$(id -u)" -ne 0 ]; then sudo="sudo"; fi
    $sudo sed -i 's/^# *\(zh_CN\.UTF-8 UTF-8\)/\1/' /etc/locale.gen
    grep -q '^zh_CN\.UTF-8 UTF-8' /etc/locale.gen || echo 'zh_CN.UTF-8 UTF-8' | $sudo tee -a /etc/locale.gen >/dev/null
    $sudo locale-gen >/dev/null
fi
echo "35-windows-dialog: set up in $((SECONDS - started)) s"

step=$SECONDS
export WINEDEBUG=-all
cmake --preset windows >/dev/null
cmake --build --preset windows -j "$(nproc)" --target KESTREL dialog_shot
KESTREL_DIALOG_SCREENSHOTS=1 ctest --preset windows -R '^dialog_screenshots$'
echo "35-windows-dialog: KESTREL.exe is build/windows/app/win32/KESTREL.exe"
echo "35-windows-dialog: screenshots in build/windows/screenshots/ (dialog-zh_CN.png, dialog-C.png)"
echo "35-windows-dialog: $((SECONDS - step)) s, $((SECONDS - started)) s in all"
