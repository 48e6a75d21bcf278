# The debug build and every test in it.
set -euo pipefail
started=$SECONDS
scripts/install-deps test qt6-base-dev
cmake --preset debug
cmake --build --preset debug -j "$(nproc)"
echo "10-native: built in $((SECONDS - started)) s"
ran=$SECONDS
ctest --preset debug -j "$(nproc)"
cat build/debug/tests/faults/fault-matrix-*.txt 2>/dev/null || true
echo "10-native: tests ran in $((SECONDS - ran)) s, $((SECONDS - started)) s in all"
