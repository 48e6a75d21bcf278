# The dialog on a virtual X display, after a download through the virtual
# handheld, photographed to build/debug/screenshots/dialog.png; fails when
# the dialog's font cannot show its Chinese texts.
set -euo pipefail
started=$SECONDS
scripts/install-deps test qt6-base-dev xvfb xauth fonts-wqy-microhei
cmake --preset debug >/dev/null
cmake --build --preset debug -j "$(nproc)" --target qt_screenshot
mkdir -p build/debug/screenshots
# The X platform itself, not the offscreen one the other Qt tests use.
QT_QPA_PLATFORM=xcb xvfb-run --auto-servernum --server-args="-screen 0 1024x768x24" \
    build/debug/tests/qt/qt_screenshot build/debug/screenshots/dialog.png
echo "40-qt-screenshot: $((SECONDS - started)) s"
