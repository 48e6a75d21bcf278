# ThreadSanitizer over the code that runs on more than one thread: the
# core's tests (ports and their cancel path, runs against a handheld on a
# thread of its own, the cancel switch) and the fault matrix (hang-ups and
# silences among them). The app layer is left out of this build.
set -euo pipefail
started=$SECONDS
scripts/install-deps test
cmake --preset tsan >/dev/null
cmake --build --preset tsan -j "$(nproc)" --target core_tests fault_matrix_tests
echo "50-tsan: built in $((SECONDS - started)) s"
export TSAN_OPTIONS="${TSAN_OPTIONS:-halt_on_error=1 second_deadlock_stack=1}"
rm -f build/tsan/tests/faults/fault-matrix-*.txt
ran=$SECONDS
# Only the test programs this build made: one folder each.
for folder in core faults; do
    ctest --test-dir "build/tsan/tests/$folder" -j "$(nproc)" --output-on-failure --timeout 300 \
        --no-tests=error
done
cat build/tsan/tests/faults/fault-matrix-*.txt
echo "50-tsan: tests ran in $((SECONDS - ran)) s, $((SECONDS - started)) s in all"
