#!/bin/bash
# Builds the libFuzzer targets with clang under BUILD/fuzz and runs one for
# SECONDS from its seed corpus: bash fuzz/run.sh BUILD SECONDS wordgroups|window
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)" build="$1/fuzz"
cmake -S "$root" -B "$build" -DCMAKE_CXX_COMPILER=clang++ -DSKARVEL_BUILD_FUZZ=ON -DSKARVEL_BUILD_TESTS=OFF >/dev/null
# On a line of its own: set -e does not stop at a failed command before &&,
# and an old binary would then be fuzzed as if it were built.
cmake --build "$build" --target "fuzz_$3" --parallel "$(nproc)"
mkdir -p "$build/corpus/$3" "$build/findings"
ASAN_OPTIONS=fast_unwind_on_malloc=0 LSAN_OPTIONS="suppressions=$root/tests/lsan.supp:print_suppressions=0" \
    "$build/fuzz/fuzz_$3" -max_total_time="$2" -timeout=20 -artifact_prefix="$build/findings/" "$build/corpus/$3" "$root/fuzz/corpus/$3"
