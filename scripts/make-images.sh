#!/bin/sh
# Redraws the committed pictures in assets/ (board, pieces, window icon); src/app/CMakeLists.txt
# builds them into the program.
# The drawing is deterministic, so running this again changes nothing.
#
#   scripts/make-images.sh            draw and check everything
#   scripts/make-images.sh SHEET.png  also compose the start position into SHEET.png to look at
set -eu

here=$(cd "$(dirname "$0")" && pwd)
root=$(cd "$here/.." && pwd)
work=$(mktemp -d "${TMPDIR:-/tmp}/morvantide-images.XXXXXX")
trap 'rm -rf "$work"' EXIT
trap 'exit 1' INT TERM

cmake -S "$here/image-maker" -B "$work" -DCMAKE_BUILD_TYPE=Release >"$work/configure.log" 2>&1 ||
    { cat "$work/configure.log" >&2; exit 1; }
cmake --build "$work" -j2 >"$work/build.log" 2>&1 ||
    { cat "$work/build.log" >&2; exit 1; }

export QT_QPA_PLATFORM=offscreen
# Qt wants a private runtime folder even off screen; the work folder is one (mode 0700).
export XDG_RUNTIME_DIR="$work"
"$work/image-maker" "$root/assets"
if [ $# -ge 1 ]; then
    "$work/image-maker" --sheet "$1" "$root/assets"
fi
echo "pictures written to $root/assets"
