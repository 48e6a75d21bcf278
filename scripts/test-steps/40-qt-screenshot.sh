# The Qt dialog on a virtual X display after a download, photographed into
# build/debug/screenshots/dialog.png; fails when its font cannot show its texts.
set -euo pipefail
started=$SECONDS
scripts/install-deps test qt6-base-dev xvfb xauth fonts-wqy-microhei
build=${KESTREL_QT_BUILD:-build/debug}
cmake --preset debug -B "$build" >/dev/null
cmake --build "$build" -j "$(nproc)" --target qt_dialog_tests
mkdir -p build/debug/screenshots
# The X platform itself, not the offscreen one the tests use.
KESTREL_SCREENSHOT=build/debug/screenshots/dialog.png QT_QPA_PLATFORM=xcb \
    xvfb-run -a -s "-screen 0 1024x768x24" "$build/tests/qt/qt_dialog_tests"
echo "40-qt-screenshot: build/debug/screenshots/dialog.png in $((SECONDS - started)) s"
