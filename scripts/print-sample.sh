#!/bin/sh
# Installs what is missing, builds the filter and prints the bundled sample
# receipt through the driver: CUPS's own filters rasterise it with the queue
# PPD, RasterToKPrinter turns the raster into printer bytes.
set -eu
cd "$(dirname "$0")/.."

./scripts/install-deps.sh
cmake -S . -B build/plain >/dev/null
cmake --build build/plain -j "$(nproc)" --target RasterToKPrinter

out="$PWD/out/sample"
mkdir -p "$out"
cupsfilter -p KORLA_tessa-300.ppd -m application/vnd.cups-raster \
    samples/receipt.txt >"$out/receipt.ras" 2>"$out/cupsfilter.log"
PPD="$PWD/KORLA_tessa-300.ppd" build/plain/filter/RasterToKPrinter \
    1 "$(id -un)" receipt.txt 1 "" "$out/receipt.ras" >"$out/receipt.escpos"

echo "Sample receipt printed; its printer bytes are in $out/receipt.escpos"
