# The debug build and every test in it.
set -euo pipefail
scripts/install-deps test qt6-base-dev
cmake --preset debug
cmake --build --preset debug -j "$(nproc)"
ctest --preset debug -j "$(nproc)"
