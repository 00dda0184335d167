#!/bin/sh
# Applies every patch in PATCH_FOLDER, in name order, to the PAPPL source
# in the current folder; stops at the first one that does not apply whole.
#
#   apply-patches.sh PATCH_FOLDER
set -eu
for patch in "$1"/*.patch; do
    [ -e "$patch" ] || continue
    echo "Applying $(basename "$patch")"
    patch -p1 --forward --batch --quiet -i "$patch"
done
