#!/bin/bash
# Builds the libFuzzer target for the word store with clang in build-fuzz and
# runs it for the given number of seconds on a copy of the seed corpus.
# Exits non-zero on any crash, hang, sanitizer report or broken invariant.
#   bash fuzz/run.sh 60
set -euo pipefail

seconds="${1:-60}"
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
build="${SKARVEL_FUZZ_BUILD_DIR:-$root/build-fuzz}"

if ! command -v clang++ >/dev/null; then
    echo "fuzz: clang++ is missing (Debian: clang libclang-rt-14-dev)" >&2
    exit 1
fi

cmake -S "$root" -B "$build" \
    -DCMAKE_CXX_COMPILER=clang++ \
    -DCMAKE_BUILD_TYPE=RelWithDebInfo \
    -DSKARVEL_BUILD_FUZZ=ON \
    -DSKARVEL_BUILD_TESTS=OFF \
    -DSKARVEL_BUILD_BENCH=OFF >/dev/null
cmake --build "$build" --target fuzz_wordgroups --parallel "$(nproc)"

# The fuzzer adds what it finds to its corpus; the committed seeds stay as
# they are.
corpus="$build/corpus/wordgroups"
artifacts="$build/artifacts/wordgroups"
rm -rf "$corpus" "$artifacts"
mkdir -p "$corpus" "$artifacts"
cp "$root"/fuzz/corpus/wordgroups/* "$corpus"/

status=0
"$build/fuzz/fuzz_wordgroups" \
    -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 \
    -print_final_stats=1 \
    -artifact_prefix="$artifacts/" \
    "$corpus" || status=$?

findings=$(find "$artifacts" -type f | wc -l)
if [ "$status" -ne 0 ] || [ "$findings" -ne 0 ]; then
    echo "fuzz: fuzz_wordgroups failed (exit $status, $findings finding(s) in $artifacts)" >&2
    exit 1
fi
echo "fuzz: fuzz_wordgroups ran ${seconds}s without findings"
