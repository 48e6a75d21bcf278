# The AddressSanitizer + UndefinedBehaviorSanitizer build and every test in it.
set -euo pipefail
started=$SECONDS
scripts/install-deps test qt6-base-dev
cmake --preset asan
cmake --build --preset asan -j "$(nproc)"
echo "20-sanitizers: built in $((SECONDS - started)) s"
ran=$SECONDS
ctest --preset asan -j "$(nproc)"
echo "20-sanitizers: tests ran in $((SECONDS - ran)) s, $((SECONDS - started)) s in all"
