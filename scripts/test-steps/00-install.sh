# Everything the steps after this one install, in one go: on a fresh machine
# one package-list update and one install instead of one per step. Each step
# still names what it needs, so it can run alone.
set -euo pipefail
started=$SECONDS
scripts/install-deps test qt6-base-dev qt6-translations-l10n g++-mingw-w64-x86-64 \
    g++-mingw-w64-x86-64-posix wine wine64 googletest xvfb xauth fonts-wqy-microhei locales \
    imagemagick clang-14 libclang-rt-14-dev lintian unzip emscripten chromium
echo "00-install: $((SECONDS - started)) s"
