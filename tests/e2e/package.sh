#!/usr/bin/env bash
# Builds the Debian package from a build folder, checks it with lintian (no error, no warning),
# checks its contents, dependencies, menu entry and AppStream metainfo, installs it, starts the installed program on a private Xvfb display,
# and removes it again, checking that its files are gone. Installing needs root (as in CI);
# whatever happens, a package this script installed is removed before it exits.
#
# Usage: package.sh --build DIR --assets DIR --artifacts DIR [--cpack PATH]
set -Eeuo pipefail

CPACK=cpack
BUILD=""
ASSETS=""
ARTIFACTS=""
while [[ $# -gt 0 ]]; do
    case $1 in
    --build) BUILD=$2 && shift 2 ;;
    --assets) ASSETS=$2 && shift 2 ;;
    --artifacts) ARTIFACTS=$2 && shift 2 ;;
    --cpack) CPACK=$2 && shift 2 ;;
    *) echo "unknown argument $1" >&2 && exit 2 ;;
    esac
done
if [[ -z $BUILD || -z $ASSETS || -z $ARTIFACTS ]]; then
    echo "usage: $0 --build DIR --assets DIR --artifacts DIR" >&2
    exit 2
fi
BUILD=$(realpath "$BUILD")
ASSETS=$(realpath "$ASSETS")
mkdir -p "$ARTIFACTS"
ARTIFACTS=$(realpath "$ARTIFACTS")
CASE=package
HERE=$(cd "$(dirname "$0")" && pwd)

say() { printf '  %s\n' "$*"; }

fail() {
    printf 'FAIL [%s]: %s\n' "$CASE" "$*" >&2
    exit 1
}

RUN=$(mktemp -d "${TMPDIR:-/tmp}/morvantide-package.XXXXXX")
on_exit() {
    local status=$?
    trap - EXIT
    set +e
    e2e_extra_cleanup
    if [[ $status -ne 0 ]]; then
        mkdir -p "$ARTIFACTS/$CASE"
        cp "$RUN"/*.log "$ARTIFACTS/$CASE/" 2>/dev/null
        printf 'Logs of the failed package test are kept in %s\n' "$ARTIFACTS/$CASE" >&2
    else
        printf 'PASS [%s]\n' "$CASE"
    fi
    rm -rf "$RUN"
    exit "$status"
}
trap on_exit EXIT

readonly APP_ID=org.example.Morvantide
readonly INSTALLED_FILES=(
    /usr/games/morvantide
    /usr/lib/games/morvantide/libmorvantide-voice.so
    /usr/share/man/man6/morvantide.6.gz
    /usr/share/man/ru/man6/morvantide.6.gz
    /usr/share/doc/morvantide/copyright
    /usr/share/doc/morvantide/changelog.gz
    "/usr/share/applications/$APP_ID.desktop"
    "/usr/share/metainfo/$APP_ID.metainfo.xml"
    /usr/share/icons/hicolor/16x16/apps/morvantide.png
    /usr/share/icons/hicolor/24x24/apps/morvantide.png
    /usr/share/icons/hicolor/32x32/apps/morvantide.png
    /usr/share/icons/hicolor/48x48/apps/morvantide.png
    /usr/share/icons/hicolor/64x64/apps/morvantide.png
    /usr/share/icons/hicolor/128x128/apps/morvantide.png
    /usr/share/icons/hicolor/256x256/apps/morvantide.png
)
# Libraries dpkg-shlibdeps must find, and what the program needs that it cannot see.
readonly NEEDED=(libc6 libstdc++6 libqt6core6 libqt6gui6 libqt6widgets6 libqt6multimedia6
    fonts-urw-base35 fonts-liberation2 fonts-gamaliel)

INSTALLED_BY_US=0

package_state() {
    dpkg-query -W -f '${db:Status-Status}' morvantide 2>/dev/null || echo not-installed
}

e2e_extra_cleanup() {
    if ((INSTALLED_BY_US)); then
        apt-get remove --purge -y -o DPkg::Lock::Timeout=120 morvantide >>"$RUN/apt.log" 2>&1 ||
            dpkg --purge morvantide >>"$RUN/apt.log" 2>&1
    fi
}

[[ $(id -u) -eq 0 ]] || fail "installing the package needs root (CI runs as root)"
for tool in "$CPACK" dpkg-deb dpkg-shlibdeps lintian desktop-file-validate appstreamcli apt-get \
    identify; do
    command -v "$tool" >/dev/null || fail "$tool is not installed"
done
[[ $(package_state) != installed ]] ||
    fail "a morvantide package is installed already; this test installs and removes its own"

# --- Build ---------------------------------------------------------------------------------
"$CPACK" --config "$BUILD/CPackConfig.cmake" -B "$RUN/package" >"$RUN/cpack.log" 2>&1 ||
    fail "cpack failed: $(tail -n 20 "$RUN/cpack.log")"
debs=("$RUN"/package/morvantide_*.deb)
[[ ${#debs[@]} -eq 1 && -f ${debs[0]} ]] || fail "cpack made no morvantide_*.deb"
deb=${debs[0]}
say "built ${deb##*/}"

# Errors and warnings fail; lintian's notes on style (info, pedantic) do not.
lintian --fail-on error,warning --no-tag-display-limit "$deb" >"$RUN/lintian.log" 2>&1 ||
    fail "lintian rejects the package: $(cat "$RUN/lintian.log")"
say "lintian: no error, no warning"

# --- Contents and dependencies -------------------------------------------------------------
[[ $(dpkg-deb -f "$deb" Package) == morvantide ]] || fail "the package is not named morvantide"
[[ $(dpkg-deb -f "$deb" Architecture) == "$(dpkg --print-architecture)" ]] ||
    fail "the package is not for $(dpkg --print-architecture)"
[[ $(dpkg-deb -f "$deb" Section) == games ]] || fail "the package is not in section games"

contents=$(dpkg-deb -c "$deb" | awk '{print $NF}' | sed 's|^\./|/|')
for path in "${INSTALLED_FILES[@]}"; do
    grep -qxF "$path" <<<"$contents" || fail "the package lacks $path"
done
outside=$(grep -v '^/usr/' <<<"$contents" | grep -vx '/' || true)
[[ -z $outside ]] || fail "the package puts files outside /usr: $outside"
say "contents: program, voice module, menu entry, metainfo, 7 icon sizes, manual pages, copyright"

depends=$(dpkg-deb -f "$deb" Depends)
depended_names=$(sed 's/[,|]/\n/g' <<<"$depends" | sed 's/^ *//; s/[ (].*//')
for package in "${NEEDED[@]}"; do
    grep -qxF "$package" <<<"$depended_names" || fail "Depends lacks $package: $depends"
done
grep -q 'qt6-translations-l10n' <<<"$(dpkg-deb -f "$deb" Recommends)" ||
    fail "Recommends lacks qt6-translations-l10n"
say "depends: $depends"

dpkg-deb -x "$deb" "$RUN/unpacked"
desktop-file-validate "$RUN/unpacked/usr/share/applications/$APP_ID.desktop" ||
    fail "desktop-file-validate rejects the menu entry"
grep -qx 'Name\[ru\]=Шахматы' "$RUN/unpacked/usr/share/applications/$APP_ID.desktop" ||
    fail "the menu entry has no Russian name Шахматы"
appstreamcli validate --no-net "$RUN/unpacked/usr/share/metainfo/$APP_ID.metainfo.xml" ||
    fail "appstreamcli rejects the metainfo"
for size in 16 24 32 48 64 128 256; do
    got=$(identify -format '%wx%h' \
        "$RUN/unpacked/usr/share/icons/hicolor/${size}x${size}/apps/morvantide.png")
    [[ $got == "${size}x${size}" ]] || fail "the ${size}x${size} icon is $got"
done
say "menu entry, metainfo and icons are valid"

# --- Install, start, remove ----------------------------------------------------------------
INSTALLED_BY_US=1
apt-get install -y --no-install-recommends -o DPkg::Lock::Timeout=120 "$deb" \
    >"$RUN/apt.log" 2>&1 || fail "apt-get install failed: $(tail -n 20 "$RUN/apt.log")"
[[ $(package_state) == installed ]] || fail "the package is not installed after apt-get"
say "installed with apt-get"

# The end-to-end driver starts it on a private display and reads its board through the
# accessibility bus.
/usr/bin/python3 "$HERE/cases.py" --program /usr/games/morvantide --assets "$ASSETS" \
    --artifacts "$ARTIFACTS" installed || fail "the installed program did not show its board"
say "the installed program shows its board"

apt-get remove --purge -y -o DPkg::Lock::Timeout=120 morvantide >>"$RUN/apt.log" 2>&1 ||
    fail "apt-get remove failed: $(tail -n 20 "$RUN/apt.log")"
INSTALLED_BY_US=0
[[ $(package_state) != installed ]] || fail "the package is still installed"
for path in "${INSTALLED_FILES[@]}"; do
    [[ ! -e $path ]] || fail "$path is left after removal"
done
say "removed; none of its files is left"
