# The packages to ship, made by scripts/package (the release and
# windows-release builds, programs only) and checked as a user gets them:
# tests/package/check-packages.sh.
set -euo pipefail
started=$SECONDS
scripts/install-deps lintian wine wine64 unzip
# The Wine prefix for kestrel-cli.exe is made while the programs build.
cmake/toolchains/wine-run "$PWD/build/packages/wine-prefix" cmd /c exit 0 >/dev/null 2>&1 &
prefix_made=$!
scripts/package
step=$SECONDS
wait "$prefix_made"
bash tests/package/check-packages.sh
echo "70-package: checked in $((SECONDS - step)) s, $((SECONDS - started)) s in all"
