#!/bin/sh
# Installs, with apt-get, whatever the build, the tests, the sample print and
# the package build need and the machine does not have yet. Does nothing when
# all is there.
set -eu

PACKAGES="build-essential cmake pkg-config
  libcups2-dev libcupsimage2-dev cups cups-client cups-daemon cups-filters
  cups-ipp-utils curl ghostscript poppler-utils fonts-dejavu-core
  googletest libgtest-dev libgmock-dev libbenchmark-dev libpng-dev
  clang libclang-rt-14-dev valgrind python3
  debhelper dpkg-dev fakeroot lintian man-db
  libavahi-client-dev libgnutls28-dev libjpeg-dev libpam0g-dev libusb-1.0-0-dev zlib1g-dev"

missing=""
for pkg in $PACKAGES; do
    status=$(dpkg-query -W -f='${Status}' "$pkg" 2>/dev/null || true)
    case "$status" in
        *"install ok installed"*) ;;
        *) missing="$missing $pkg" ;;
    esac
done

[ -z "$missing" ] && exit 0

echo "Installing:$missing"
export DEBIAN_FRONTEND=noninteractive
apt-get update -q
# shellcheck disable=SC2086
apt-get install -y -q --no-install-recommends $missing
