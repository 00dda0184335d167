#!/bin/sh
# Installs what is missing, runs every fuzz target briefly (FUZZ_SECONDS
# each, 0 to skip), builds the Debian package and checks it with lintian,
# then builds everything and runs every test, the package's included: once
# in a plain build and once under AddressSanitizer and
# UndefinedBehaviorSanitizer.
set -eu
cd "$(dirname "$0")/.."

./scripts/install-deps.sh

fuzz_seconds="${FUZZ_SECONDS:-20}"
if [ "$fuzz_seconds" -gt 0 ]; then
    echo "=== fuzzing, $fuzz_seconds s per target ==="
    ./fuzz/run-fuzzers.sh "$fuzz_seconds"
fi

echo "=== package ==="
./scripts/build-package.sh
lintian --fail-on error,warning --info out/package/*.deb

jobs=$(nproc)
# Most tests wait on servers, links and child processes rather than the CPU.
test_jobs=$((2 * jobs))
for variant in plain sanitize; do
    dir="build/$variant"
    sanitize=OFF
    [ "$variant" = sanitize ] && sanitize=ON
    echo "=== $variant build ==="
    cmake -S . -B "$dir" -DKORLA_SANITIZE=$sanitize -DKORLA_PACKAGE_DIR="$PWD/out/package" >/dev/null
    cmake --build "$dir" -j "$jobs"
    echo "=== $variant tests ==="
    ctest --test-dir "$dir" -j "$test_jobs" --output-on-failure
done
