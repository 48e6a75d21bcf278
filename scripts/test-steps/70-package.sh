# The packages to ship, made by scripts/package (the release and
# windows-release builds, programs only) and checked as a user gets them:
# tests/package/check-packages.sh.
set -euo pipefail
started=$SECONDS
scripts/install-deps lintian wine wine64 unzip
scripts/package
step=$SECONDS
bash tests/package/check-packages.sh
echo "70-package: checked in $((SECONDS - step)) s, $((SECONDS - started)) s in all"
