#!/bin/sh
# The shipped PPD must pass cupstestppd with the filter installed where the
# PPD's cupsFilter line expects it (an alternate root, not the machine's).
set -eu
filter="$1"
ppd="$2"
root=$(mktemp -d)
trap 'rm -rf "$root"' EXIT
mkdir -p "$root/usr/lib/cups/filter"
cp "$filter" "$root/usr/lib/cups/filter/RasterToKPrinter"
report=$(cupstestppd -R "$root" "$ppd") || { echo "$report"; exit 1; }
echo "$report"
! echo "$report" | grep -q FAIL
