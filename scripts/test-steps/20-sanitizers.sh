# The AddressSanitizer + UndefinedBehaviorSanitizer build and every test in it.
set -euo pipefail
scripts/install-deps test
cmake --preset asan
cmake --build --preset asan -j "$(nproc)"
ctest --preset asan -j "$(nproc)"
