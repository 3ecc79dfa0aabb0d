#!/usr/bin/env bash
# Regenerates the 42 voice clips (assets/clips/*.wav); src/app/voice/CMakeLists.txt builds them
# into the program.
#
# The words are spoken by RHVoice: English by the voice "CLB", Russian by "Aleksandr", both a
# little slower than their normal pace so that single words come out clearly. Both voices are
# LGPL-2.1+, so the clips made from them can ship with the program (RHVoice's other Russian voices
# are CC BY-NC-ND or CC BY-SA). Of the LGPL English voices CLB has by far the quietest background:
# SLT and BDL carry a recording hiss only 35-45 dB below the speech, which is heard at the clip
# edges and defeats the silence trimming; CLB's and Aleksandr's lie 60-75 dB down.
#
# RHVoice sits in Debian's non-free section. When it is not installed, this script fetches it
# through a private apt configuration (its own sources list and package lists in a cache folder;
# the system's apt sources are left alone), unpacks the packages with dpkg -x and runs the
# synthesiser in a private mount namespace in which the unpacked files are laid over /usr/share
# and /etc (RHVoice looks for its voices only there).
#
# Every clip is then trimmed of leading and trailing silence, resampled (English 11025 Hz,
# Russian 22050 Hz; 16-bit mono PCM), brought to one common loudness (same RMS level, with the
# peaks kept below -1 dBFS), and padded with silence to at least 0.3 s.
#
# The build does not need any of this: the generated clips are part of the source tree.
#
# Usage: scripts/make-clips.sh
# Needs: sox, and for fetching RHVoice apt-get, dpkg and unshare (root, or unprivileged user
# namespaces). Set MORVANTIDE_RHVOICE_CACHE to keep the downloaded packages somewhere else than
# ~/.cache/morvantide-rhvoice.
set -euo pipefail

root_dir=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
readonly root_dir
readonly clips_dir="$root_dir/assets/clips"
readonly cache_dir=${MORVANTIDE_RHVOICE_CACHE:-${XDG_CACHE_HOME:-$HOME/.cache}/morvantide-rhvoice}

readonly english_voice=clb
readonly russian_voice=aleksandr
readonly english_rate=11025
readonly russian_rate=22050
readonly speech_rate_percent=80
readonly min_seconds=0.30
readonly max_seconds=1.30
# Loudness target: every clip gets this RMS level, unless a clip's peaks would then pass the
# ceiling; the target is lowered for all clips in that case, so they stay equally loud.
readonly target_rms_db=-18
readonly peak_ceiling_db=-1

# name|English text|Russian text. The English letters are spelled as letters (SSML say-as);
# the Russian ones are written as chess players say them.
readonly clip_table='A|<say-as interpret-as="characters">A</say-as>|а
B|<say-as interpret-as="characters">B</say-as>|бэ
C|<say-as interpret-as="characters">C</say-as>|цэ
D|<say-as interpret-as="characters">D</say-as>|дэ
E|<say-as interpret-as="characters">E</say-as>|е
F|<say-as interpret-as="characters">F</say-as>|эф
G|<say-as interpret-as="characters">G</say-as>|жэ
H|<say-as interpret-as="characters">H</say-as>|аш
A8|eight|восемь
A7|seven|семь
A6|six|шесть
A5|five|пять
A4|four|четыре
A3|three|три
A2|two|два
A1|one|один
TAKES|takes|бьёт
CHECK|check|шах
MAT|mate|мат
CASTLING|castling|рокировка
NEW|new game|новая игра'

die() {
    echo "make-clips: $*" >&2
    exit 1
}

for tool in sox soxi awk; do
    command -v "$tool" >/dev/null || die "$tool is missing (apt-get install sox)"
done

work=$(mktemp -d "${TMPDIR:-/tmp}/morvantide-clips.XXXXXX")
trap 'rm -rf "$work"' EXIT

# --- The synthesiser ------------------------------------------------------------------------

rhvoice_root=""

voices_present() {
    local base=$1
    [[ -d $base/usr/share/RHVoice/voices/$english_voice && -d $base/usr/share/RHVoice/voices/$russian_voice ]]
}

# The Debian mirror and release this machine already uses; contrib and non-free are added only
# in the private sources list.
debian_mirror() {
    local uri
    uri=$(grep -hsE '^(URIs:|deb )' /etc/apt/sources.list /etc/apt/sources.list.d/*.list \
        /etc/apt/sources.list.d/*.sources 2>/dev/null |
        grep -oE 'https?://[^ ]+/debian/?( |$)' | head -n 1 | tr -d ' ') || true
    echo "${uri:-http://deb.debian.org/debian}"
}

fetch_rhvoice() {
    local codename arch mirror
    # shellcheck source=/dev/null
    codename=$(. /etc/os-release && echo "${VERSION_CODENAME:-bookworm}")
    arch=$(dpkg --print-architecture)
    mirror=$(debian_mirror)
    local apt_dir="$cache_dir/apt" deb_dir="$cache_dir/debs"
    mkdir -p "$apt_dir/lists/partial" "$apt_dir/cache/archives/partial" "$deb_dir"
    echo "deb [signed-by=/usr/share/keyrings/debian-archive-keyring.gpg] $mirror $codename main contrib non-free" \
        >"$apt_dir/sources.list"
    local apt_options=(
        -o "Dir::Etc::sourcelist=$apt_dir/sources.list"
        -o "Dir::Etc::sourceparts=-"
        -o "Dir::State::Lists=$apt_dir/lists"
        -o "Dir::Cache=$apt_dir/cache"
        -o "APT::Architecture=$arch"
        -o "APT::Sandbox::User=root"
    )
    # The synthesiser, the two voice packages and the libraries that a minimal system lacks.
    local packages=(rhvoice librhvoice-core7 librhvoice-audio2 rhvoice-english rhvoice-russian
        libsonic0 libglibmm-2.4-1v5 libsigc++-2.0-0v5 libportaudio2)
    if ! compgen -G "$deb_dir/rhvoice-russian_*.deb" >/dev/null ||
        ! compgen -G "$deb_dir/rhvoice_*.deb" >/dev/null; then
        echo "make-clips: fetching RHVoice from $mirror ($codename, non-free) into $cache_dir"
        apt-get -q "${apt_options[@]}" update >/dev/null ||
            die "apt-get update with the private sources list failed"
        (cd "$deb_dir" && apt-get -q "${apt_options[@]}" download "${packages[@]}" >/dev/null) ||
            die "could not download the RHVoice packages"
    fi
    rhvoice_root="$work/rhvoice"
    mkdir -p "$rhvoice_root"
    local deb
    for deb in "$deb_dir"/*.deb; do
        dpkg -x "$deb" "$rhvoice_root"
    done
    voices_present "$rhvoice_root" || die "the RHVoice packages lack the voices $english_voice/$russian_voice"
}

# Writes the synthesiser's batch script: reads "voice|file|ssml" lines and renders each one.
write_batch_runner() {
    cat >"$work/synth.sh" <<'EOF'
set -euo pipefail
base=$1
list=$2
rate=$3
if [[ -n $base ]]; then
    mount -t overlay overlay -o "lowerdir=$base/usr/share:/usr/share" /usr/share
    mount -t overlay overlay -o "lowerdir=$base/etc:/etc" /etc
    export LD_LIBRARY_PATH="$base/usr/lib/$(dpkg-architecture -qDEB_HOST_MULTIARCH 2>/dev/null || echo x86_64-linux-gnu)${LD_LIBRARY_PATH:+:$LD_LIBRARY_PATH}"
    bin="$base/usr/bin/RHVoice-test"
else
    bin=RHVoice-test
fi
while IFS='|' read -r voice out ssml; do
    printf '%s\n' "$ssml" | "$bin" -s -p "$voice" -r "$rate" -R 24000 -o "$out"
done <"$list"
EOF
}

run_synthesiser() {
    local list=$1
    write_batch_runner
    if [[ -z $rhvoice_root ]]; then
        bash "$work/synth.sh" "" "$list" "$speech_rate_percent"
    elif [[ $(id -u) -eq 0 ]]; then
        unshare --mount bash "$work/synth.sh" "$rhvoice_root" "$list" "$speech_rate_percent"
    else
        unshare --mount --map-root-user bash "$work/synth.sh" "$rhvoice_root" "$list" \
            "$speech_rate_percent"
    fi
}

if command -v RHVoice-test >/dev/null && voices_present ""; then
    echo "make-clips: using the installed RHVoice"
else
    for tool in apt-get dpkg unshare; do
        command -v "$tool" >/dev/null ||
            die "RHVoice is not installed, and $tool is needed to fetch it"
    done
    fetch_rhvoice
fi

# --- Rendering ------------------------------------------------------------------------------

mkdir -p "$work/raw" "$work/trimmed"
: >"$work/list"
while IFS='|' read -r name english russian; do
    printf '%s|%s|<speak>%s</speak>\n' "$english_voice" "$work/raw/$name.wav" "$english" >>"$work/list"
    printf '%s|%s|<speak>%s</speak>\n' "$russian_voice" "$work/raw/${name}_R.wav" "$russian" >>"$work/list"
done <<<"$clip_table"
run_synthesiser "$work/list"

clip_names=()
while IFS='|' read -r name _; do
    clip_names+=("$name" "${name}_R")
done <<<"$clip_table"

rate_of() {
    [[ $1 == *_R ]] && echo "$russian_rate" || echo "$english_rate"
}

# Trim: the threshold is taken relative to the clip's own peak, so quiet consonants at either
# end (the "s" of "takes", the "х" of "шах") survive; short fades keep the cut edges click-free.
for name in "${clip_names[@]}"; do
    raw="$work/raw/$name.wav"
    [[ -s $raw ]] || die "the synthesiser wrote nothing for $name"
    sox -D "$raw" -t wav -e floating-point -b 32 -c 1 "$work/trimmed/$name.cut.wav" \
        gain -n -6 silence 1 0.005 -52d reverse silence 1 0.005 -52d reverse
    sox -D "$work/trimmed/$name.cut.wav" "$work/trimmed/$name.wav" \
        rate -v "$(rate_of "$name")" fade t 0.004 -0 0.012
    rm "$work/trimmed/$name.cut.wav"
    length=$(soxi -D "$work/trimmed/$name.wav")
    if awk -v l="$length" -v m="$max_seconds" 'BEGIN { exit !(l > m) }'; then
        # Too long: speed the words up just enough, keeping the pitch.
        factor=$(awk -v l="$length" -v m="$max_seconds" 'BEGIN { printf "%.4f", l / (m - 0.02) }')
        sox -D "$work/trimmed/$name.wav" "$work/trimmed/$name.tmp.wav" tempo -s "$factor"
        mv "$work/trimmed/$name.tmp.wav" "$work/trimmed/$name.wav"
    fi
done

# Loudness: one RMS level for all clips.
stat_db() { # file field ("RMS lev dB" or "Pk lev dB")
    sox "$1" -n stats 2>&1 | awk -v f="$2" 'index($0, f) == 1 { print $(NF) }'
}
target=$target_rms_db
declare -A rms_db
for name in "${clip_names[@]}"; do
    rms=$(stat_db "$work/trimmed/$name.wav" "RMS lev dB")
    peak=$(stat_db "$work/trimmed/$name.wav" "Pk lev dB")
    rms_db[$name]=$rms
    target=$(awk -v t="$target" -v r="$rms" -v p="$peak" -v c="$peak_ceiling_db" \
        'BEGIN { m = c - (p - r); print (m < t) ? m : t }')
done

rm -rf "$work/out"
mkdir -p "$work/out"
for name in "${clip_names[@]}"; do
    gain=$(awk -v t="$target" -v r="${rms_db[$name]}" 'BEGIN { printf "%.3f", t - r }')
    # Padding is counted in samples, so that a padded clip is never a rounding error short.
    rate=$(rate_of "$name")
    frames=$(soxi -s "$work/trimmed/$name.wav")
    pad=$(awk -v n="$frames" -v r="$rate" -v m="$min_seconds" \
        'BEGIN { want = int(m * r + 0.999999); print (n < want) ? want - n : 0 }')
    sox -D "$work/trimmed/$name.wav" -t wav -e signed-integer -b 16 -c 1 -r "$rate" \
        "$work/out/$name.wav" gain "$gain" pad 0 "${pad}s"
done

# --- Results --------------------------------------------------------------------------------

mkdir -p "$clips_dir"
rm -f "$clips_dir"/*.wav
cp "$work/out"/*.wav "$clips_dir/"

printf 'make-clips: %d clips, RMS level %s dBFS\n' "${#clip_names[@]}" "$target"
printf '%-12s %6s %8s %8s %8s\n' clip rate seconds 'RMS dB' 'peak dB'
for name in "${clip_names[@]}"; do
    f="$clips_dir/$name.wav"
    printf '%-12s %6s %8.3f %8s %8s\n' "$name" "$(soxi -r "$f")" "$(soxi -D "$f")" \
        "$(stat_db "$f" "RMS lev dB")" "$(stat_db "$f" "Pk lev dB")"
done
