#!/bin/sh
# Builds the libFuzzer targets with clang and runs each for a set time on a
# corpus seeded with real rasters, PPDs and byte strings, as many at a time
# as there are cores.
#
#   fuzz/run-fuzzers.sh [SECONDS_PER_TARGET] [TARGET...]
#
# Corpora and any crash artefacts stay in build/fuzz/. Exits non-zero when a
# target finds a crash, a leak or undefined behaviour.
set -eu
cd "$(dirname "$0")/.."

seconds="${1:-60}"
[ $# -gt 0 ] && shift
targets="${*:-fuzz_filter_job fuzz_ppd_options fuzz_emulation_bytes fuzz_emulator_decoder fuzz_usb_uri_cut fuzz_png_document fuzz_jpeg_document}"

build=build/fuzz
CC=clang CXX=clang++ cmake -S . -B "$build" -DKORLA_FUZZ=ON >/dev/null
cmake --build "$build" -j "$(nproc)" >/dev/null

corpus="$build/corpus"
artifacts="$build/artifacts"
mkdir -p "$artifacts"

seed_filter_job() {
    "$build/fuzz/make_raster_seeds" "$1"
    # Rasters that CUPS's own filters make of the sample receipt with our PPD.
    for size in X58MMY100MM X80MMY100MM; do
        cupsfilter -p KORLA_tessa-300.ppd -m application/vnd.cups-raster -o PageSize=$size \
            samples/receipt.txt >"$1/receipt-$size.ras" 2>/dev/null || true
    done
}

seed_ppd_options() {
    cp KORLA_tessa-300.ppd "$1/"
    "$build/fuzz/write_all_options_ppd" "$1/all_options.ppd"
}

seed_emulation_bytes() {
    printf '%s' '\x1b\x61\x1\x0a' >"$1/worked-example"
    printf '%s' '\x1B\x74\x2' >"$1/capitals"
    printf '%s' '\X1b\X40' >"$1/capital-x"
    printf '%s' '\x1b\xZ1' >"$1/bad-token"
}

export LSAN_OPTIONS="suppressions=$PWD/fuzz/lsan.supp"

seed_emulator_decoder() {
    # What the filter sends for the sample receipt, plain and with every option.
    cupsfilter -p KORLA_tessa-300.ppd -m application/vnd.cups-raster -o PageSize=X58MMY100MM \
        samples/receipt.txt >"$1/receipt.ras" 2>/dev/null || true
    "$build/fuzz/write_all_options_ppd" "$1/all_options.ppd"
    for ppd in "$PWD/KORLA_tessa-300.ppd" "$1/all_options.ppd"; do
        PPD="$ppd" "$build/filter/RasterToKPrinter" 1 fuzz receipt 2 "" "$1/receipt.ras" \
            >"$1/job-$(basename "$ppd" .ppd).escpos" || true
    done
    rm -f "$1/receipt.ras" "$1/all_options.ppd"
}

seed_usb_uri_cut() {
    printf '%s\n' 'direct usb://KORLA/Tessa-300?serial=A1B2C3 "KORLA Tessa-300" "KORLA Tessa-300 USB" "MFG:KORLA;MDL:Tessa-300;" ""' >"$1/printer"
    printf '%s\n' 'network socket "Unknown" "AppSocket/HP JetDirect"' \
        'direct usb://Other/Model%20X?serial=9 "Other Model X" "" "" ""' >"$1/two-lines"
    printf '%s' 'direct usb://cut-off-listing' >"$1/no-quote"
}

seed_png_document() {
    cp docs/sample-receipt.png "$1/"
}

seed_jpeg_document() {
    pdftoppm -r 50 -jpeg -singlefile tests/e2e/data/receipt.pdf "$1/receipt"
}

# Runs one target on its corpus; its exit status and output stay in
# $build/TARGET.status and $build/TARGET.log.
run_target() {  # target
    dir="$corpus/$1"
    if [ ! -d "$dir" ]; then
        mkdir -p "$dir"
        "seed_${1#fuzz_}" "$dir"
    fi
    dict=""
    [ "$1" = fuzz_ppd_options ] && dict="-dict=fuzz/ppd.dict"
    # A damaged raster header may announce a page of up to 2 GiB, which the
    # filter allocates (lazily) before it finds the rows missing.
    # shellcheck disable=SC2086
    "$build/fuzz/$1" $dict -max_total_time="$seconds" -timeout=30 \
        -rss_limit_mb=4096 -malloc_limit_mb=4096 -print_final_stats=1 \
        -artifact_prefix="$artifacts/$1-" "$dir" 2>"$build/$1.log"
    echo $? >"$build/$1.status"
}

# As many targets at a time as there are cores.
running=0
for target in $targets; do
    echo "=== $target: $seconds s"
    run_target "$target" &
    running=$((running + 1))
    if [ "$running" -ge "$(nproc)" ]; then
        wait
        running=0
    fi
done
wait

status=0
for target in $targets; do
    if [ "$(cat "$build/$target.status")" != 0 ]; then
        status=1
        echo "=== $target failed:"
        tail -n 40 "$build/$target.log"
    fi
    grep -E '^(#[0-9]+.*DONE|stat::number_of_executed_units|stat::peak_rss_mb)' "$build/$target.log" || true
done
exit $status
