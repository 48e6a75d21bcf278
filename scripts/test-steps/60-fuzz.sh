# The libFuzzer targets, each for a short bounded time from a copy of its
# seed corpus, under AddressSanitizer and UndefinedBehaviorSanitizer. Fifteen
# seconds per target, two at a time, keeps this step near a minute and a half
# on two cores, build included; scripts/fuzz SECONDS runs them for longer.
set -euo pipefail
started=$SECONDS
scripts/install-deps build clang-14 libclang-rt-14-dev
scripts/fuzz "${KESTREL_FUZZ_SECONDS:-15}"
echo "60-fuzz: $((SECONDS - started)) s"
