# The AddressSanitizer + UndefinedBehaviorSanitizer build and every test in it.
set -euo pipefail
scripts/install-deps test qt6-base-dev
cmake --preset asan
cmake --build --preset asan -j "$(nproc)"
ctest --preset asan -j "$(nproc)"
