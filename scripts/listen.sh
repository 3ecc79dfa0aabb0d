#!/usr/bin/env bash
# Plays whole announcements through the sound card, made of the program's own clips, so that a
# person can hear what the voice sounds like. The clips follow each other with the short pause
# the program leaves between them (about 25 ms).
#
# Usage: scripts/listen.sh            some announcements, English and Russian
#        scripts/listen.sh CLIP...    these clips as one announcement (e.g. e_r a2_r e_r a4_r)
# Needs: sox, and paplay, pw-play or aplay (or sox's play).
set -euo pipefail

clips_dir=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)/assets/clips
readonly clips_dir
readonly pause_seconds=0.025

work=$(mktemp -d "${TMPDIR:-/tmp}/morvantide-listen.XXXXXX")
trap 'rm -rf "$work"' EXIT

player=()
for candidate in paplay pw-play aplay play; do
    if command -v "$candidate" >/dev/null; then
        player=("$candidate")
        break
    fi
done
[[ ${#player[@]} -gt 0 ]] || { echo "listen: no audio player (paplay, pw-play, aplay, play)" >&2; exit 1; }
command -v sox >/dev/null || { echo "listen: sox is missing (apt-get install sox)" >&2; exit 1; }

# Joins the clips into one file, each followed by the pause, and plays it.
announce() {
    local title=$1
    shift
    local parts=() name file
    for name in "$@"; do
        file="$clips_dir/${name^^}.wav"
        [[ -f $file ]] || { echo "listen: no clip named $name in $clips_dir" >&2; exit 1; }
        # The languages have different rates: bring every clip to one before joining.
        sox "$file" -r 22050 "$work/${#parts[@]}.wav" pad 0 "$pause_seconds"
        parts+=("$work/${#parts[@]}.wav")
    done
    sox "${parts[@]}" "$work/announcement.wav"
    printf '%-40s %s\n' "$title" "$*"
    "${player[@]}" "$work/announcement.wav"
    sleep 0.6
}

if [[ $# -gt 0 ]]; then
    announce "Announcement:" "$@"
    exit 0
fi

announce "New game (English):" NEW
announce "New game (Russian):" NEW_R
announce "Russian, e2-e4:" E_R A2_R E_R A4_R
announce "English, d4 takes e5, king taken:" D A4 TAKES E A5 CHECK MAT
announce "Russian, d4 takes e5, king taken:" D_R A4_R TAKES_R E_R A5_R CHECK_R MAT_R
announce "English, castling:" CASTLING
announce "Russian, castling:" CASTLING_R
announce "English, all files and ranks:" A B C D E F G H A1 A2 A3 A4 A5 A6 A7 A8
announce "Russian, all files and ranks:" A_R B_R C_R D_R E_R F_R G_R H_R A1_R A2_R A3_R A4_R A5_R A6_R A7_R A8_R
