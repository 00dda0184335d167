#!/bin/sh
# Times RasterToKPrinter against the raster floor (bench/raster_floor.cpp) on
# the receipt jobs of bench/common.sh and prints a Markdown table of the
# medians.
#
#   bench/run-benchmark.sh [--record-reference] [REPEATS]
#
# REPEATS (default 5) runs of each program per job, the filter's and the
# floor's by turns; wall time, CPU time (user and kernel), kernel time and
# memory are the medians, the ratios the medians of each turn's ratio.
# Memory is the peak resident memory plus what the program's memory files
# (memfd, tmpfs) held, so that a raster spooled into memory counts. Both
# programs read the job the same way (from a file, or through a pipe) and
# write to /dev/null. Before timing, the
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
write_faster_ppd

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

# Two lines of medians, filter then floor (wall, CPU, kernel, peak RSS,
# memory), and one of ratios (wall, CPU).
measure_job() {  # input raster copies
    if [ "$1" = pipe ]; then
        "$build/bench/measure" "$repeats" --pipe "$2" "$build/filter/RasterToKPrinter" 1 bench receipt "$3" "" \
            -- "$build/bench/raster_floor" -
    else
        "$build/bench/measure" "$repeats" "$build/filter/RasterToKPrinter" 1 bench receipt "$3" "" "$2" \
            -- "$build/bench/raster_floor" "$2"
    fi
}

echo "| job | raster MiB | filter wall ms | floor wall ms | wall ratio | filter CPU ms | floor CPU ms | CPU ratio | filter kernel ms | filter peak RSS MiB | filter memory MiB | floor memory MiB | (filter - floor) memory / raster | output |"
echo "|---|---:|---:|---:|---:|---:|---:|---:|---:|---:|---:|---:|---:|---|"
rm -f "$reference.new"
echo "$JOBS" | while read -r name pages rows blank copies ppd input; do
    raster=$(job_raster "$pages" "$rows" "$blank")
    use_ppd "$ppd"
    output=$(output_check "${pages}x$rows-$blank-copies$copies-$ppd" "$(output_digest "$copies" "$raster" "$input")")
    echo "$name $pages $rows $(measure_job "$input" "$raster" "$copies" | tr '\n' ' ') $output" | awk '{
        raster = $2 * $3 * 72
        # $4-$8 filter: wall cpu kernel rss memory; $9-$13 floor; $14-$15 ratios wall cpu
        printf "| %s | %.1f | %.1f | %.1f | %.2f | %.1f | %.1f | %.2f | %.1f | %.1f | %.1f | %.1f | %.2f | %s |\n",
            $1, raster / 1048576, $4, $9, $14, $5, $10, $15, $6, $7 / 1024, $8 / 1024, $13 / 1024,
            ($8 - $13) * 1024 / raster, $16
    }'
done
[ "$record" = no ] || mv "$reference.new" "$reference"
echo
echo "Medians of $repeats runs each, the filter's and the floor's by turns; the ratios are medians of each turn's ratio."
echo "CPU is user and kernel time; memory is peak resident memory plus what memory files held."
echo "Raster MiB: the job's page bytes (72 bytes x rows x pages)."
