#!/bin/sh
# Installs what is missing, builds, and prints the bundled sample receipt
# through the whole driver chain to the receipt printer emulator, which
# leaves the printer bytes, a listing of the decoded commands and a picture
# of the paper in out/sample/.
#
# As root the receipt goes through a real print queue: a private CUPS server
# (the machine's own is not touched), a queue registered by printer-install
# (Ethernet, to the emulator on 127.0.0.1) and lp. Otherwise CUPS's own
# filters rasterise the receipt with the queue's PPD (cupsfilter) and
# RasterToKPrinter's output goes straight to the emulator.
set -eu
cd "$(dirname "$0")/.."
top="$PWD"

./scripts/install-deps.sh
cmake -S . -B build/plain >/dev/null
cmake --build build/plain -j "$(nproc)" --target RasterToKPrinter printer-install receipt-emulator
bin="$top/build/plain"

out="$top/out/sample"
rm -rf "$out"
mkdir -p "$out"
work=$(mktemp -d /tmp/korla-sample-XXXXXX)
chmod 755 "$work"
. scripts/lib/private-cupsd.sh
trap 'private_cupsd_stop; rm -rf "$work"' EXIT

sample="$top/samples/receipt.txt"
# A little white margin around the text; text is set at 12 characters per
# inch so that a receipt line of 28 characters fits the 72 mm print width.
layout="-o page-left=10 -o page-right=10 -o page-top=10 -o cpi=12 -o lpi=7"
emulator_outputs="--raw $out/receipt.escpos --listing $out/receipt-commands.txt --png $out/receipt.png"

print_through_queue() {
    "$bin/receipt-emulator/receipt-emulator" --tcp 127.0.0.1:0 --jobs 1 --idle-timeout 120 \
        --ready-file "$work/port" $emulator_outputs >"$work/emulator.out" &
    emulator=$!
    while [ ! -s "$work/port" ]; do sleep 0.1; done
    port=$(cat "$work/port")

    private_cupsd_start "$work/cups"
    # printer-install copies the PPD and the filter from its working folder.
    mkdir "$work/install"
    cp KORLA_tessa-300.ppd "$bin/filter/RasterToKPrinter" "$work/install/"
    (cd "$work/install" && printf '4\n127.0.0.1\n%s\n' "$port" | "$bin/installer/printer-install") \
        >"$out/printer-install.log"
    grep -q "Install Success!." "$out/printer-install.log" || { cat "$out/printer-install.log"; exit 1; }

    # shellcheck disable=SC2086
    lp -d KORLA_tessa-300_ETHERNET $layout "$sample" >/dev/null
    wait "$emulator"
    private_cupsd_stop
    echo "Printed through the queue KORLA_tessa-300_ETHERNET of a private CUPS server."
}

print_through_filters() {
    # shellcheck disable=SC2086
    cupsfilter -p KORLA_tessa-300.ppd -m application/vnd.cups-raster $layout "$sample" \
        >"$work/receipt.ras" 2>"$work/cupsfilter.log"
    PPD="$top/KORLA_tessa-300.ppd" "$bin/filter/RasterToKPrinter" 1 "$(id -un)" receipt.txt 1 "" \
        "$work/receipt.ras" >"$work/receipt.escpos"
    # shellcheck disable=SC2086
    "$bin/receipt-emulator/receipt-emulator" --input "$work/receipt.escpos" $emulator_outputs
    echo "Printed through CUPS's filters and RasterToKPrinter (run as root for a real queue)."
}

if [ "$(id -u)" -eq 0 ]; then
    print_through_queue
else
    print_through_filters
fi

echo "The sample receipt is in $out:"
echo "  receipt.escpos        the printer bytes"
echo "  receipt-commands.txt  the commands the printer decoded"
echo "  receipt.png           the paper as it comes out"
