#!/bin/sh
# How long a receipt takes to reach the printer over a serial line, printed
# plainly and with faster printing (FasterPrinting=1), beside the time the
# print head itself needs for it. Prints a Markdown table.
#
#   bench/link-time.sh
#
# The receipts are rasterised by CUPS's own filters with the shipped PPD, as a
# queue would: the sample receipt (samples/receipt.txt, laid out as
# scripts/print-sample.sh lays it out) and the long receipt of the end-to-end
# tests (320 lines on a 1000 mm page). The emulator reports the time the
# job's bytes take at 115200 and at 9600 baud (8N1: a tenth of the baud rate
# in bytes a second) and draws the paper, whose length gives the head's time
# at HEAD_MM_PER_S (220 mm/s unless set: thermal receipt heads print some
# 200-250 mm a second). Nothing here is timed: the seconds follow from the
# bytes.
set -eu
cd "$(dirname "$0")/.."
. bench/common.sh
build_bench
cmake --build "$build" -j "$(nproc)" --target receipt-emulator >/dev/null
head_mm_per_s=${HEAD_MM_PER_S:-220}

write_faster_ppd

# The seconds of the emulator's "-- link:" line.
link_seconds() {  # bytes-file baud
    "$build/receipt-emulator/receipt-emulator" --input "$1" --baud "$2" --listing - |
        sed -n 's/^-- link: .* take \([0-9.]*\) s.*/\1/p'
}

# The paper's length in rows: the height of the emulator's picture.
paper_rows() {  # bytes-file
    "$build/receipt-emulator/receipt-emulator" --input "$1" --png "$1.png" >/dev/null
    od -An -tu1 -j20 -N4 "$1.png" | awk '{ print $1 * 16777216 + $2 * 65536 + $3 * 256 + $4 }'
}

echo "| receipt | printing | bytes | at 115200 baud | at 9600 baud | paper | head at $head_mm_per_s mm/s |"
echo "|---|---|---:|---:|---:|---:|---:|"
for receipt in sample long; do
    if [ "$receipt" = sample ]; then
        document=samples/receipt.txt
        options="-o page-left=10 -o page-right=10 -o page-top=10 -o cpi=12 -o lpi=7"
    else
        document=tests/e2e/data/long-receipt.txt
        options="-o PageSize=X80MMY1000MM"
    fi
    raster="$work/link-$receipt.ras"
    # shellcheck disable=SC2086
    cupsfilter -p KORLA_tessa-300.ppd -m application/vnd.cups-raster $options "$document" >"$raster" 2>/dev/null
    for printing in plain faster; do
        ppd="$PWD/KORLA_tessa-300.ppd"
        [ "$printing" = faster ] && ppd="$faster_ppd"
        bytes="$work/link-$receipt-$printing.escpos"
        PPD="$ppd" "$build/filter/RasterToKPrinter" 1 bench receipt 1 "" "$raster" >"$bytes" 2>/dev/null
        fast=$(link_seconds "$bytes" 115200)
        slow=$(link_seconds "$bytes" 9600)
        rows=$(paper_rows "$bytes")
        echo "$receipt $printing $(wc -c <"$bytes") $fast $slow $rows $head_mm_per_s" | awk '{
            mm = $6 * 25.4 / 203
            printf "| %s | %s | %d | %.2f s | %.1f s | %.0f mm | %.2f s |\n", $1, $2, $3, $4, $5, mm, mm / $7
        }'
    done
done
