#!/usr/bin/env bash
# Builds the Debian package of the committed tree twice, in two folders of different depth, at
# two different times, with a different time zone, locale and umask, and checks that the
# binary packages (the program's and its debug symbols') are the same byte for byte. On a
# difference it names the files inside that differ (diffoscope tells more when installed).
#
# Usage: scripts/check-reproducible.sh [COMMIT]   (default HEAD; the unit tests are skipped)
set -euo pipefail
cd "$(dirname "$0")/.."
commit=${1:-HEAD}

work=$(mktemp -d "${TMPDIR:-/tmp}/morvantide-reproducible.XXXXXX")
trap 'rm -rf "$work"' EXIT

build() { # folder, time zone, locale, umask
    mkdir -p "$1/morvantide"
    git archive "$commit" | tar -xf - -C "$1/morvantide"
    (cd "$1/morvantide" && umask "$4" && TZ=$2 LC_ALL=$3 \
        DEB_BUILD_OPTIONS="nocheck parallel=2" dpkg-buildpackage -us -uc -b >../build.log 2>&1) ||
        { tail -n 30 "$1/build.log"; exit 1; }
}

echo "== First build"
build "$work/a" UTC C.UTF-8 0022
sleep 2
echo "== Second build, elsewhere and later"
build "$work/second/build/folder" Asia/Kamchatka C 0002

status=0
for first in "$work"/a/*.deb "$work"/a/*.ddeb; do
    [[ -e $first ]] || continue
    second=$work/second/build/folder/${first##*/}
    if cmp -s "$first" "$second"; then
        echo "same: ${first##*/} ($(sha256sum <"$first" | cut -c1-16))"
        continue
    fi
    status=1
    echo "DIFFERENT: ${first##*/}"
    if command -v diffoscope >/dev/null; then
        diffoscope "$first" "$second" | head -n 80
    else
        for deb in "$first" "$second"; do
            mkdir -p "$deb.x" && dpkg-deb -R "$deb" "$deb.x"
        done
        diff -rq "$first.x" "$second.x" || true
    fi
done
exit "$status"
