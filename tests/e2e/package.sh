#!/usr/bin/env bash
# Builds the Debian package as a distribution does, with dpkg-buildpackage in a clean copy of
# the source tree, and checks it: lintian on the .changes (no error, no warning), the files,
# dependencies, menu entry, AppStream metainfo and release dates, then the package's own
# autopkgtest (debian/tests) with the null runner, which installs it and plays a game with the
# installed program, and last the purge, after which no file it brought may be left.
# Installing needs root (as in CI); whatever happens, a package this script installed is purged
# before it exits.
#
# The unit tests are not run during this build (nocheck): the suite that runs this script has
# run them on its own build. One build serves every check.
#
# Usage: package.sh --source DIR --artifacts DIR
set -Eeuo pipefail

SOURCE=""
ARTIFACTS=""
while [[ $# -gt 0 ]]; do
    case $1 in
    --source) SOURCE=$2 && shift 2 ;;
    --artifacts) ARTIFACTS=$2 && shift 2 ;;
    *) echo "unknown argument $1" >&2 && exit 2 ;;
    esac
done
if [[ -z $SOURCE || -z $ARTIFACTS ]]; then
    echo "usage: $0 --source DIR --artifacts DIR" >&2
    exit 2
fi
SOURCE=$(realpath "$SOURCE")
mkdir -p "$ARTIFACTS"
ARTIFACTS=$(realpath "$ARTIFACTS")
CASE=package

say() { printf '  %s\n' "$*"; }

fail() {
    printf 'FAIL [%s]: %s\n' "$CASE" "$*" >&2
    exit 1
}

RUN=$(mktemp -d "${TMPDIR:-/tmp}/morvantide-package.XXXXXX")
INSTALLED_BY_US=0
on_exit() {
    local status=$?
    trap - EXIT
    set +e
    if ((INSTALLED_BY_US)); then
        apt-get purge -y -o DPkg::Lock::Timeout=120 morvantide >>"$RUN/apt.log" 2>&1 ||
            dpkg --purge morvantide >>"$RUN/apt.log" 2>&1
    fi
    if [[ $status -ne 0 ]]; then
        mkdir -p "$ARTIFACTS/$CASE"
        cp -r "$RUN"/*.log "$RUN"/autopkgtest "$ARTIFACTS/$CASE/" 2>/dev/null
        printf 'Logs of the failed package test are kept in %s\n' "$ARTIFACTS/$CASE" >&2
    else
        printf 'PASS [%s]\n' "$CASE"
    fi
    rm -rf "$RUN"
    exit "$status"
}
trap on_exit EXIT

readonly APP_ID=internal.morvantide.morvantide
readonly INSTALLED_FILES=(
    /usr/games/morvantide
    /usr/lib/games/morvantide/libmorvantide-voice.so
    /usr/share/man/man6/morvantide.6.gz
    /usr/share/man/ru/man6/morvantide.6.gz
    /usr/share/doc/morvantide/copyright
    /usr/share/doc/morvantide/changelog.gz
    /usr/share/applications/morvantide.desktop
    "/usr/share/metainfo/$APP_ID.metainfo.xml"
    /usr/share/icons/hicolor/{16x16,24x24,32x32,48x48,64x64,128x128,256x256}/apps/morvantide.png
)
# Libraries dpkg-shlibdeps must find, and what the program needs that it cannot see.
readonly NEEDED=(libc6 libstdc++6 libqt6core6 libqt6gui6 libqt6widgets6 libqt6multimedia6 libpulse0
    fonts-urw-base35 fonts-liberation2 fonts-gamaliel)

package_state() {
    dpkg-query -W -f '${db:Status-Status}' morvantide 2>/dev/null || echo not-installed
}

# Every file and folder outside the package manager's own records, the caches and the logs.
file_list() {
    find /usr /etc /opt /srv /var -xdev \( -path /var/lib/dpkg -o -path /var/lib/apt \
        -o -path /var/cache -o -path /var/log -o -path /var/tmp -o -path /var/backups \) -prune \
        -o -print | sort
}

[[ $(id -u) -eq 0 ]] || fail "installing the package needs root (CI runs as root)"
for tool in dpkg-buildpackage dpkg-deb lintian autopkgtest desktop-file-validate appstreamcli \
    apt-get identify git; do
    command -v "$tool" >/dev/null || fail "$tool is not installed"
done
[[ $(package_state) == not-installed ]] ||
    fail "a morvantide package is installed already; this test installs and purges its own"

# --- Build from a clean copy of the source tree ----------------------------------------------
tree=$RUN/build/morvantide
mkdir -p "$tree"
git -C "$SOURCE" ls-files -z --cached --others --exclude-standard |
    (cd "$SOURCE" && tar --null -T - --ignore-failed-read -cf - 2>/dev/null) | tar -xf - -C "$tree"
(cd "$tree" && DEB_BUILD_OPTIONS="nocheck parallel=2" dpkg-buildpackage -us -uc -b) \
    >"$RUN/build.log" 2>&1 || fail "dpkg-buildpackage failed: $(tail -n 30 "$RUN/build.log")"
changes=("$RUN"/build/morvantide_*.changes)
debs=("$RUN"/build/morvantide_*.deb)
[[ -f ${changes[0]} && ${#debs[@]} -eq 1 && -f ${debs[0]} ]] ||
    fail "dpkg-buildpackage made no morvantide_*.changes and *.deb"
deb=${debs[0]}
say "built ${deb##*/}"

# Errors and warnings fail; lintian's notes on style (info, pedantic) do not.
lintian --fail-on error,warning --tag-display-limit 0 "${changes[0]}" >"$RUN/lintian.log" 2>&1 ||
    fail "lintian rejects the package: $(cat "$RUN/lintian.log")"
say "lintian: no error, no warning"

# --- Contents, dependencies, metadata -------------------------------------------------------
[[ $(dpkg-deb -f "$deb" Section) == games ]] || fail "the package is not in section games"
contents=$(dpkg-deb -c "$deb" | awk '{print $NF}' | sed 's|^\./|/|')
for path in "${INSTALLED_FILES[@]}"; do
    grep -qxF "$path" <<<"$contents" || fail "the package lacks $path"
done
outside=$(grep -v '^/usr/' <<<"$contents" | grep -vx '/' || true)
[[ -z $outside ]] || fail "the package puts files outside /usr: $outside"

depends=$(dpkg-deb -f "$deb" Depends)
depended_names=$(sed 's/[,|]/\n/g' <<<"$depends" | sed 's/^ *//; s/[ (].*//')
for package in "${NEEDED[@]}"; do
    grep -qxF "$package" <<<"$depended_names" || fail "Depends lacks $package: $depends"
done
say "contents and dependencies: $depends"

root=$RUN/unpacked
dpkg-deb -x "$deb" "$root"
desktop-file-validate "$root/usr/share/applications/morvantide.desktop" ||
    fail "desktop-file-validate rejects the menu entry"
metainfo=$root/usr/share/metainfo/$APP_ID.metainfo.xml
appstreamcli validate --pedantic --no-net "$metainfo" >"$RUN/appstream.log" 2>&1 ||
    fail "appstreamcli rejects the metainfo: $(cat "$RUN/appstream.log")"
! grep -q '^[WE]:' "$RUN/appstream.log" || fail "appstreamcli warns: $(cat "$RUN/appstream.log")"
for size in 16 24 32 48 64 128 256; do
    got=$(identify -format '%wx%h' "$root/usr/share/icons/hicolor/${size}x${size}/apps/morvantide.png")
    [[ $got == "${size}x${size}" ]] || fail "the ${size}x${size} icon is $got"
done
# One release date, the changelog's, in the metainfo and both manual pages.
date=$(date -u -d "$(dpkg-parsechangelog -l "$tree/debian/changelog" -S Date)" +%F)
grep -q "<release version=\"$(dpkg-deb -f "$deb" Version)\" date=\"$date\"/>" "$metainfo" ||
    fail "the metainfo's release is not the changelog's ($date): $(grep '<release ' "$metainfo")"
for page in man6/morvantide.6.gz ru/man6/morvantide.6.gz; do
    zcat "$root/usr/share/man/$page" | head -n 1 | grep -qF "\"$date\"" ||
        fail "$page is not dated $date"
done
say "menu entry, metainfo, icons valid; released $date everywhere"

# --- The installed program, then the purge --------------------------------------------------
file_list >"$RUN/before.list"
INSTALLED_BY_US=1
autopkgtest --output-dir "$RUN/autopkgtest" "${changes[0]}" "$tree/" -- null \
    >"$RUN/autopkgtest.log" 2>&1 || fail "autopkgtest failed: $(tail -n 40 "$RUN/autopkgtest.log")"
[[ $(package_state) == installed ]] || fail "autopkgtest did not install the package"
say "autopkgtest: the installed program played, saved, opened and closed"

apt-get purge -y -o DPkg::Lock::Timeout=120 morvantide >>"$RUN/apt.log" 2>&1 ||
    fail "apt-get purge failed: $(tail -n 20 "$RUN/apt.log")"
INSTALLED_BY_US=0
[[ $(package_state) == not-installed ]] || fail "the package is still known to dpkg"
file_list >"$RUN/after.list"
left=$(comm -13 "$RUN/before.list" "$RUN/after.list")
[[ -z $left ]] || fail "the purge left files behind: $left"
say "purged; the file list is as before the installation"
