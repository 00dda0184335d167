#!/bin/sh
# Installs what is missing, then builds the Debian package
# printer-driver-korla from this tree and leaves it, alone, in out/package/.
#
# The package is built from a copy of the tree in build/package/ (the same
# folder every time, so that ccache serves a rebuild), since dpkg-buildpackage
# writes its products beside the source folder. Only the shipped programs are
# built: the test suite is scripts/run-tests.sh.
set -eu
cd "$(dirname "$0")/.."
top="$PWD"

./scripts/install-deps.sh

work="$top/build/package"
rm -rf "$work"
mkdir -p "$work/src"
tar -c --exclude=./build --exclude=./out --exclude=./.git . | tar -x -C "$work/src"

# PAPPL's source tarball, fetched once for every build of this tree.
export KORLA_PAPPL_TARBALL_DIR="$top/out/pappl-source"
(cd "$work/src" &&
    DEB_BUILD_OPTIONS="nocheck parallel=$(nproc)" dpkg-buildpackage -b -us -uc >"$work/build.log" 2>&1) ||
    { tail -n 60 "$work/build.log"; echo "The package build failed; its log is $work/build.log." >&2; exit 1; }

rm -rf out/package
mkdir -p out/package
mv "$work"/printer-driver-korla_*.deb out/package/
ls out/package/*.deb
