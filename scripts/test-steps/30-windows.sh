# The Windows build (mingw-w64, static runtimes) and its tests under Wine:
# the core's unit tests, the Win32 backends, kestrel-cli.exe through COM
# ports aimed at pseudo-terminals, and the dialog. The Linux side of the COM
# port tests (the virtual handheld, the echoing peer) comes from the native
# (asan) build, which the native step has already made, or from the native
# build folder named by KESTREL_NATIVE_BUILD.
set -euo pipefail
started=$SECONDS
scripts/install-deps test qt6-base-dev g++-mingw-w64-x86-64 g++-mingw-w64-x86-64-posix \
    wine wine64 googletest xvfb xauth fonts-wqy-microhei locales
echo "30-windows: installed in $((SECONDS - started)) s"

step=$SECONDS
native=${KESTREL_NATIVE_BUILD:-$PWD/build/asan}
[ -n "${KESTREL_NATIVE_BUILD:-}" ] || cmake --preset asan >/dev/null
cmake --build "$native" -j "$(nproc)" --target kestrel-cli pty_echo_peer
echo "30-windows: native side built in $((SECONDS - step)) s"

# The Wine prefix lives in the build folder; made once, before anything
# needs it (test discovery runs Windows programs while building).
export WINEDEBUG=-all
export WINEPREFIX="$PWD/build/windows/wine-prefix"
trap 'wineserver -k 2>/dev/null || true' EXIT
step=$SECONDS
cmake --preset windows -DKESTREL_NATIVE_BUILD="$native" >/dev/null
cmake/toolchains/wine-run "$WINEPREFIX" cmd /c exit 0
echo "30-windows: Wine prefix ready in $((SECONDS - step)) s"

step=$SECONDS
cmake --build --preset windows -j "$(nproc)"
echo "30-windows: built in $((SECONDS - step)) s"
echo "30-windows: kestrel-cli.exe is build/windows/app/cli/kestrel-cli.exe"

step=$SECONDS
ctest --preset windows -j "$(nproc)"
echo "30-windows: tests ran in $((SECONDS - step)) s, $((SECONDS - started)) s in all"
