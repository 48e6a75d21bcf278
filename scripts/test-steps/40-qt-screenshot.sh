# The Qt dialog on a virtual X display after a download, and with a long
# failure reason wrapped whole, photographed into build/asan/screenshots/
# (dialog.png, dialog-long-reason.png); fails when its font cannot show its
# texts. The native step has built the program.
set -euo pipefail
started=$SECONDS
scripts/install-deps test qt6-base-dev xvfb xauth fonts-wqy-microhei
build=${KESTREL_QT_BUILD:-build/asan}
cmake --preset asan -B "$build" >/dev/null
cmake --build "$build" -j "$(nproc)" --target qt_dialog_tests
mkdir -p "$build/screenshots"
# The X platform itself, not the offscreen one the tests use; the X
# libraries' own allocations at exit are not ours to report.
ASAN_OPTIONS=detect_leaks=0 KESTREL_SCREENSHOTS="$build/screenshots" QT_QPA_PLATFORM=xcb \
    xvfb-run -a -s "-screen 0 1024x768x24" "$build/tests/qt/qt_dialog_tests"
echo "40-qt-screenshot: $build/screenshots/dialog.png and dialog-long-reason.png in $((SECONDS - started)) s"
