# The native build, with AddressSanitizer and UndefinedBehaviorSanitizer, and
# every test in it: one build serves the unit tests, the fault matrix, the
# programs end to end and the Qt dialog (a plain debug build would find
# nothing more, only sooner).
set -euo pipefail
started=$SECONDS
scripts/install-deps test qt6-base-dev
cmake --preset asan
cmake --build --preset asan -j "$(nproc)"
echo "10-native: built in $((SECONDS - started)) s"
ran=$SECONDS
ctest --preset asan -j "$(nproc)"
cat build/asan/tests/faults/fault-matrix-*.txt 2>/dev/null || true
echo "10-native: tests ran in $((SECONDS - ran)) s, $((SECONDS - started)) s in all"
