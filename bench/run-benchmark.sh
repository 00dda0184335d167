#!/bin/sh
# Times RasterToKPrinter against the raster floor (bench/raster_floor.cpp) on
# the receipt jobs of bench/common.sh and prints a Markdown table of the
# medians.
#
#   bench/run-benchmark.sh [--record-reference] [REPEATS]
#
# REPEATS (default 5) runs of each program per job; wall time, CPU time and
# peak memory are the medians. Both programs read the job the same way (from
# a file, or through a pipe) and write to /dev/null. Before timing, the
# filter's output on every job, write by write, is compared with
# bench/reference-output.sha256, whose digests were recorded from the filter
# before any speed work; the column "output" says "same" or "CHANGED". The
# reference is keyed by what decides the output (sizes, copies, PPD), not by
# how the raster is read. --record-reference stores the digests of this
# build's filter there instead: do that only from a filter whose output is
# known to be right.
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

output_digest() {  # copies raster input
    if [ "$3" = pipe ]; then
        "$build/bench/dump_writes" "$1" "$2" pipe
    else
        "$build/bench/dump_writes" "$1" "$2"
    fi | sha256sum | cut -d' ' -f1
}

output_check() {  # key digest
    if [ "$record" = yes ]; then
        grep -q "^$1 " "$reference.new" 2>/dev/null || echo "$1 $2" >>"$reference.new"
        echo recorded
    elif grep -qx "$1 $2" "$reference" 2>/dev/null; then
        echo same
    else
        echo CHANGED
    fi
}

measure_job() {  # input raster program args...
    input=$1 raster=$2
    shift 2
    if [ "$input" = pipe ]; then
        "$build/bench/measure" "$repeats" --pipe "$raster" "$@"
    else
        "$build/bench/measure" "$repeats" "$@" "$raster"
    fi
}

echo "| job | raster MiB | filter wall ms | floor wall ms | wall ratio | filter CPU ms | floor CPU ms | CPU ratio | filter peak MiB | floor peak MiB | filter peak / raster | (filter - floor) peak / raster | output |"
echo "|---|---:|---:|---:|---:|---:|---:|---:|---:|---:|---:|---:|---|"
rm -f "$reference.new"
echo "$JOBS" | while read -r name pages rows blank copies ppd input; do
    raster=$(job_raster "$pages" "$rows" "$blank")
    use_ppd "$ppd"
    output=$(output_check "${pages}x$rows-$blank-copies$copies-$ppd" "$(output_digest "$copies" "$raster" "$input")")
    if [ "$input" = pipe ]; then
        filter=$(measure_job pipe "$raster" "$build/filter/RasterToKPrinter" 1 bench receipt "$copies" "")
        floor=$(measure_job pipe "$raster" "$build/bench/raster_floor" -)
    else
        filter=$(measure_job file "$raster" "$build/filter/RasterToKPrinter" 1 bench receipt "$copies" "")
        floor=$(measure_job file "$raster" "$build/bench/raster_floor")
    fi
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
