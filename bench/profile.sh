#!/bin/sh
# Where the filter's time goes, in instructions counted by callgrind (the
# same on every run, unlike timings on a shared machine). For each job it
# prints the instructions of RasterToKPrinter and of the raster floor, and
# how the filter's split between parsing the PPD, reading the pages (once;
# a job counted first only reads its headers to count), process start-up and the rest (the printer's commands and their writes);
# then the functions that cost most on the last job, by their own cost.
#
#   bench/profile.sh [JOB...]
#
# JOB names come from bench/common.sh; the default leaves out 1000-pages,
# which takes minutes under callgrind (its split is that of 100-pages).
set -eu
cd "$(dirname "$0")/.."
. bench/common.sh
build_bench
write_all_options_ppd
write_faster_ppd
[ $# -gt 0 ] || set -- 1-page 10-pages 60000-rows 100-pages-defaults 100-pages

# Instructions of a whole run, from the callgrind summary.
count_instructions() {  # out-file program args...
    out=$1
    shift
    valgrind --tool=callgrind --callgrind-out-file="$out" "$@" >/dev/null 2>"$out.log"
    callgrind_annotate "$out" | awk '/PROGRAM TOTALS/ { gsub(",", "", $1); print $1 }'
}

# Inclusive cost of the parts of the filter and the number of PPD opens.
# Each function block of the caller tree ends with its "*" line, preceded by
# its callers ("<" lines with call counts).
split_filter() {  # callgrind-out-file
    callgrind_annotate --tree=caller --inclusive=yes "$1" | awk '
        /^ *$/ { calls = 0; next }
        / < / { if (match($0, /\([0-9]+x\)/)) calls += substr($0, RSTART + 1, RLENGTH - 3); next }
        / \* / {
            ir = $1; gsub(",", "", ir)
            if ($0 ~ /\?\?\?:ppdOpenFile /) { ppd += ir; opens = calls }
            else if ($0 ~ /\?\?\?:ppdClose /) ppd += ir
            else if ($0 ~ /RasterToKORLA::ReadPage\(/ && capture == 0) capture = ir
            else if ($0 ~ /main\.cpp:main/ && main == 0) main = ir
        }
        END { print opens + 0, ppd + 0, capture + 0, main + 0 }'
}

echo "| job | filter Minstr | floor Minstr | ratio | PPD opens | Kinstr per open | PPD parse | page reading | start-up | rest |"
echo "|---|---:|---:|---:|---:|---:|---:|---:|---:|---:|"
for name in "$@"; do
    line=$(echo "$JOBS" | awk -v name="$name" '$1 == name')
    [ -n "$line" ] || { echo "no job named $name" >&2; exit 2; }
    read -r _ pages rows blank copies ppd input <<END
$line
END
    [ "$input" = file ] || { echo "$name: profiles are taken of jobs read from a file" >&2; exit 2; }
    raster=$(job_raster "$pages" "$rows" "$blank")
    use_ppd "$ppd"
    out="$work/callgrind.$name"
    filter=$(count_instructions "$out" "$build/filter/RasterToKPrinter" 1 bench receipt "$copies" "" "$raster")
    floor=$(count_instructions "$out.floor" "$build/bench/raster_floor" "$raster")
    echo "$name $filter $floor $(split_filter "$out")" | awk '{
        pct = 100 / $2
        printf "| %s | %.1f | %.1f | %.1f | %d | %.0f | %.1f%% | %.1f%% | %.1f%% | %.1f%% |\n",
            $1, $2 / 1e6, $3 / 1e6, $2 / $3, $4, $4 ? $5 / $4 / 1e3 : 0,
            $5 * pct, $6 * pct, ($2 - $7) * pct, ($7 - $5 - $6) * pct
    }'
done

echo
echo "Most costly functions by own instructions, $name:"
echo
callgrind_annotate "$out" | awk '/file:function/ { on = 1; getline; next } on && NF' | head -15
