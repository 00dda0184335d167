#!/bin/sh
# Times RasterToKPrinter against the raster floor (bench/raster_floor.cpp) on
# receipt jobs of 1, 10, 100 and 1000 pages and on one page of 60,000 rows,
# with a queue PPD that turns every finishing option on, and prints a Markdown
# table of the medians.
#
#   bench/run-benchmark.sh [--record-reference] [REPEATS]
#
# REPEATS (default 5) runs of each program per job; wall time, CPU time and
# peak memory are the medians. Both programs read the job from a file and
# write to /dev/null. Before timing, the filter's output on every job, write
# by write, is compared with bench/reference-output.sha256; the column
# "output" says "same" or "CHANGED". --record-reference stores the current
# filter's output digests there instead (do that only from a filter whose
# output is known to be right).
set -eu
cd "$(dirname "$0")/.."

record=no
if [ "${1:-}" = --record-reference ]; then
    record=yes
    shift
fi
repeats=${1:-5}
reference=bench/reference-output.sha256
. bench/common.sh
build_bench
write_all_options_ppd

output_digest() {  # copies raster
    "$build/bench/dump_writes" "$1" "$2" | sha256sum | cut -d' ' -f1
}

output_check() {  # name digest
    if [ "$record" = yes ]; then
        echo "$1 $2" >>"$reference.new"
        echo recorded
    elif grep -qx "$1 $2" "$reference" 2>/dev/null; then
        echo same
    else
        echo CHANGED
    fi
}

echo "| job | raster MiB | filter wall ms | floor wall ms | wall ratio | filter CPU ms | floor CPU ms | CPU ratio | filter peak MiB | floor peak MiB | filter peak / raster | (filter - floor) peak / raster | output |"
echo "|---|---:|---:|---:|---:|---:|---:|---:|---:|---:|---:|---:|---|"
rm -f "$reference.new"
echo "$JOBS" | while read -r name pages rows blank copies; do
    raster=$(job_raster "$pages" "$rows" "$blank")
    output=$(output_check "$name" "$(output_digest "$copies" "$raster")")
    filter=$("$build/bench/measure" "$repeats" \
        "$build/filter/RasterToKPrinter" 1 bench receipt "$copies" "" "$raster")
    floor=$("$build/bench/measure" "$repeats" "$build/bench/raster_floor" "$raster")
    echo "$name $pages $rows $filter $floor $output" | awk '{
        raster = $2 * $3 * 72
        printf "| %s | %.1f | %.1f | %.1f | %.2f | %.1f | %.1f | %.2f | %.1f | %.1f | %.2f | %.2f | %s |\n",
            $1, raster / 1048576, $4, $7, $4 / $7, $5, $8, $5 / $8,
            $6 / 1024, $9 / 1024, $6 * 1024 / raster, ($6 - $9) * 1024 / raster, $10
    }'
done
[ "$record" = no ] || mv "$reference.new" "$reference"
echo
echo "Medians of $repeats runs each. Raster MiB: the job's page bytes (72 bytes x rows x pages);"
echo "the last peak column is what the filter holds beyond the floor, against those bytes."
