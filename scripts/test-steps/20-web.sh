# The page: the web build (emscripten from Debian, Asyncify, no threads) into
# build/web/site, its size, and its tests: the port backend's contract under
# node, the page in Debian's headless chromium (playwright-core, pinned in
# package-lock.json) through 虚拟文曲星 and, over a WebSocket bridge to a
# pseudo-terminal, the native kestrel-cli simulate of the asan build, which
# the native step has made (or the build folder KESTREL_NATIVE_BUILD names).
# A screenshot after a transfer goes to build/web/screenshots/.
set -euo pipefail
started=$SECONDS
scripts/install-deps web
npm ci --no-audit --no-fund --loglevel=error
echo "20-web: installed in $((SECONDS - started)) s"

step=$SECONDS
native=${KESTREL_NATIVE_BUILD:-$PWD/build/asan}
[ -n "${KESTREL_NATIVE_BUILD:-}" ] || cmake --preset asan >/dev/null
cmake --build "$native" -j "$(nproc)" --target kestrel-cli
export NODE_PATH=/usr/share/nodejs
cmake --preset web -DKESTREL_NATIVE_BUILD="$native" >/dev/null
cmake --build --preset web -j "$(nproc)"
echo "20-web: built in $((SECONDS - step)) s; the page, in bytes:"
(cd build/web/site && du -cb kestrel.wasm ./*.js ./*.html ./*.css)

step=$SECONDS
ctest --test-dir build/web --output-on-failure
echo "20-web: tests ran in $((SECONDS - step)) s, $((SECONDS - started)) s in all"
