#!/usr/bin/env bash
# Runs the whole test suite: the include check of the libraries' layering, unit tests under
# AddressSanitizer and UndefinedBehaviorSanitizer, the tests of drawing on several threads at once
# under ThreadSanitizer (built alone, with the libraries they need), then every fuzz target once
# over its seed corpus and for NIMBRA_FUZZ_SECONDS (default 20) of fuzzing. Exits non-zero when
# anything fails.
set -euo pipefail
cd "$(dirname "$0")/.."

bash scripts/install-deps.sh
# Before building: a library that includes a higher one fails here, naming the file and include.
bash scripts/check-includes.sh
jobs=$(nproc 2>/dev/null || echo 2)

cmake --preset test
cmake --build --preset test -j "$jobs"
ctest --preset test -j "$jobs"

cmake --preset tsan
cmake --build --preset tsan -j "$jobs"
ctest --preset tsan

bash scripts/run-fuzz-corpus.sh "${NIMBRA_FUZZ_SECONDS:-20}"
echo "All tests passed."
