# shellcheck shell=sh
# Shared by run-benchmark.sh and profile.sh, sourced from the top of the
# repository: builds the benchmark's programs, writes the queue PPD and names
# the jobs.

build=build/bench
work=out/bench

build_bench() {
    ./scripts/install-deps.sh
    cmake -S . -B "$build" >/dev/null
    cmake --build "$build" -j "$(nproc)" \
        --target RasterToKPrinter raster_floor make_job make_ppd measure dump_writes >/dev/null
    mkdir -p "$work"
}

# The shipped PPD with every finishing option on, as lpadmin would store it:
# both logos, both drawers pulsed before and after every copy, a cut after
# every copy, custom bytes at the start and the end of the job.
all_options_ppd="$PWD/$work/all-options.ppd"
write_all_options_ppd() {
    "$build/bench/make_ppd" KORLA_tessa-300.ppd "$all_options_ppd" LogoPosition=3 CashDrawer=3 FireCashDrawer=1 \
        CashDrawerOpen1=2 CashDrawerOpen2=2 ExecutePaperCut=1 'StartDoc=Custom.\x1b\x61\x1' \
        'EndDoc=Custom.\x1b\x61\x0\x1b\x64\x3'
}

# The shipped PPD with faster printing on.
faster_ppd="$PWD/$work/faster.ppd"
write_faster_ppd() {
    "$build/bench/make_ppd" KORLA_tessa-300.ppd "$faster_ppd" FasterPrinting=1
}

# Names the job's queue PPD in PPD, where the filter looks for it: "all"
# (every finishing option on), "shipped" (the shipped PPD at its defaults:
# a cut after every copy, nothing else) or "faster" (the defaults with
# faster printing on).
use_ppd() {  # all|shipped|faster
    case $1 in
    all) PPD="$all_options_ppd" ;;
    faster) PPD="$faster_ppd" ;;
    *) PPD="$PWD/KORLA_tessa-300.ppd" ;;
    esac
    export PPD
}

# Jobs: name, pages, rows per page, blank rows at the bottom, copies, queue
# PPD (see use_ppd) and input: "file" is named on the command line, as CUPS
# passes a spooled raster; "pipe" comes on standard input through a pipe, as
# from the filter before this one in a chain. In the "-pages" jobs the
# receipts are one page each, printed as that many copies (lp -n), so every
# page ends a copy and gets its cut and drawer pulses, and the filter counts
# the pages before it prints; the tall page is a single receipt. The "doc-"
# jobs are one copy of a document of that many receipt pages, as CUPS hands
# a job of text, PDF or images to the filter: read once, as it comes.
# shellcheck disable=SC2034 # read by the scripts that source this file
JOBS="1-page 1 1600 300 1 all file
10-pages 10 1600 300 10 all file
100-pages 100 1600 300 100 all file
1000-pages 1000 1600 300 1000 all file
60000-rows 1 60000 300 1 all file
100-pages-defaults 100 1600 300 100 shipped file
1000-pages-defaults 1000 1600 300 1000 shipped file
100-pages-piped 100 1600 300 100 all pipe
1000-pages-piped 1000 1600 300 1000 all pipe
doc-100-defaults 100 1600 300 1 shipped file
doc-100-defaults-piped 100 1600 300 1 shipped pipe
doc-100-all 100 1600 300 1 all file
doc-100-all-piped 100 1600 300 1 all pipe
doc-100-faster 100 1600 300 1 faster file
doc-100-faster-piped 100 1600 300 1 faster pipe
doc-1000-defaults 1000 1600 300 1 shipped file
doc-1000-defaults-piped 1000 1600 300 1 shipped pipe
doc-1000-all 1000 1600 300 1 all file
doc-1000-all-piped 1000 1600 300 1 all pipe
doc-1000-faster 1000 1600 300 1 faster file
doc-1000-faster-piped 1000 1600 300 1 faster pipe"

# The job's raster file, made on first use (make_job always writes the same
# bytes for the same sizes).
job_raster() {  # pages rows blank
    raster="$work/job-$1x$2-$3.ras"
    if [ ! -s "$raster" ]; then
        "$build/bench/make_job" "$raster.part" "$1" "$2" "$3"
        mv "$raster.part" "$raster"
    fi
    echo "$raster"
}
