#!/bin/sh
# Fetches PAPPL's source as Debian 12 ships it, the upstream tarball of the
# source package pappl 1.3.1-2, into FOLDER (kept there for later builds).
#
#   pappl/fetch-source.sh FOLDER
#
# apt-get runs with a source list, package lists and cache of its own in a
# temporary folder, so the machine's apt set-up is neither read nor changed.
# apt checks the tarball against the archive's signed index; the checksum
# below pins the exact file as well.
set -eu

version=1.3.1
debian_version=1.3.1-2
tarball="pappl_${version}.orig.tar.gz"
sha256=890fd12aca8e2b2a45d5a89ba5fc74b9ad8d3eeef39d31c6bbf9c563c311223a
mirror="${KORLA_DEBIAN_MIRROR:-http://deb.debian.org/debian}"

folder="$1"
if [ -f "$folder/$tarball" ] && echo "$sha256  $folder/$tarball" | sha256sum -c --status; then
    exit 0
fi

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT INT TERM
mkdir -p "$work/lists/partial" "$work/cache/archives/partial" "$work/download"
echo "deb-src [signed-by=/usr/share/keyrings/debian-archive-keyring.gpg] $mirror bookworm main" >"$work/sources.list"

apt_get() {
    apt-get -q -o Dir::Etc::SourceList="$work/sources.list" -o Dir::Etc::SourceParts=/dev/null \
        -o Dir::State::Lists="$work/lists" -o Dir::Cache="$work/cache" -o APT::Sandbox::User=root "$@"
}

apt_get update >"$work/apt.log" 2>&1 || { cat "$work/apt.log" >&2; exit 1; }
# Only the upstream tarball: the build applies patches of its own.
(cd "$work/download" && apt_get source --download-only --tar-only "pappl=$debian_version") >>"$work/apt.log" 2>&1 ||
    { cat "$work/apt.log" >&2; exit 1; }
echo "$sha256  $work/download/$tarball" | sha256sum -c --status ||
    { echo "$tarball does not have the expected checksum" >&2; exit 1; }
mkdir -p "$folder"
mv "$work/download/$tarball" "$folder/$tarball"
