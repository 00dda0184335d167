#!/bin/sh
# The install rules put every file under the prefix: `cmake --install
# --prefix STAGE` and `DESTDIR=STAGE` (with the configured prefix) lay out the
# same tree, with the driver files where CUPS looks for them and the modes
# that cupsd accepts. Nothing is installed on the machine.
set -eu
build="$1"
stage=$(mktemp -d)
trap 'rm -rf "$stage"' EXIT

prefix=$(sed -n 's/^CMAKE_INSTALL_PREFIX:PATH=//p' "$build/CMakeCache.txt")
cmake --install "$build" --prefix "$stage/prefix" >/dev/null
DESTDIR="$stage/destdir" cmake --install "$build" >/dev/null

tree() { (cd "$1" && find . -mindepth 1 -printf '%M %p\n' | sort); }
tree "$stage/prefix" >"$stage/prefix.list"
tree "$stage/destdir$prefix" >"$stage/destdir.list"
diff -u "$stage/prefix.list" "$stage/destdir.list"
# DESTDIR holds nothing beside the prefix.
[ "$(find "$stage/destdir" -type f | grep -vc "^$stage/destdir$prefix/")" -eq 0 ]

for file in "-rwxr-xr-x ./lib/cups/filter/RasterToKPrinter" \
            "-rw-r--r-- ./share/cups/model/KORLA_tessa-300.ppd" \
            "-rwxr-xr-x ./sbin/printer-install" \
            "-rwxr-xr-x ./bin/receipt-emulator" \
            "-rwxr-xr-x ./bin/korla-printer-app" \
            "-rwxr-xr-x ./bin/korla-logos" \
            "-rw-r--r-- ./lib/systemd/system/korla-printer-app.service" \
            "-rw-r--r-- ./share/man/man8/korla-printer-app.8" \
            "-rw-r--r-- ./share/man/man8/printer-install.8" \
            "-rw-r--r-- ./share/man/man1/receipt-emulator.1" \
            "-rw-r--r-- ./share/man/man1/korla-logos.1" \
            "-rw-r--r-- ./share/doc/printer-driver-korla/README.md" \
            "-rw-r--r-- ./share/doc/printer-driver-korla/copyright"; do
    grep -qxF -- "$file" "$stage/prefix.list" || { echo "missing: $file"; cat "$stage/prefix.list"; exit 1; }
done
[ "$(grep -c '^-' "$stage/prefix.list")" -eq 13 ] || { echo "unexpected files:"; cat "$stage/prefix.list"; exit 1; }
echo "install tree under $prefix: ok"
