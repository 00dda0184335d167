#!/bin/sh
# Installs what is missing, builds everything and runs every test: once in a
# plain build and once under AddressSanitizer and UndefinedBehaviorSanitizer.
set -eu
cd "$(dirname "$0")/.."

./scripts/install-deps.sh

jobs=$(nproc)
for variant in plain sanitize; do
    dir="build/$variant"
    sanitize=OFF
    [ "$variant" = sanitize ] && sanitize=ON
    echo "=== $variant build ==="
    cmake -S . -B "$dir" -DKORLA_SANITIZE=$sanitize >/dev/null
    cmake --build "$dir" -j "$jobs"
    echo "=== $variant tests ==="
    ctest --test-dir "$dir" -j "$jobs" --output-on-failure
done
