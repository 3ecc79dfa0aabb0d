#!/usr/bin/env bash
# Runs a command against a private PulseAudio daemon that is started for it and stopped after it.
#
# The daemon's only sink writes into a FIFO in real time (paced by the system clock, so playback
# takes as long as it would on a sound card); a reader drains the FIFO into a capture file. The
# command sees:
#   PULSE_SERVER                the daemon's socket
#   MORVANTIDE_SINK_CAPTURE     the capture file: raw signed 32-bit little-endian samples
#   MORVANTIDE_SINK_RATE        its sample rate
#   MORVANTIDE_SINK_CHANNELS    its channel count
# A 16-bit mono clip at the sink's rate reaches the capture unchanged apart from the widening to
# 32 bits and the copy into each channel, so a test can find it there sample for sample.
#
# MORVANTIDE_PULSE_RATE sets the sink's sample rate (default 22050, the Russian clips' rate; 11025
# makes the English clips pass through unchanged instead).
#
# MORVANTIDE_PULSE_SINK=null puts a null sink in the FIFO's place: it holds a fixed 2 s of latency,
# as a network speaker might, and a recorder copies what it plays from its monitor into the capture
# file. The capture then lags the clock by about that latency; MORVANTIDE_SINK_SETTLE_MS says how
# long to wait after playback for it to arrive (250 ms for the FIFO sink).
#
# Works as root too (CI): the daemon gets its own HOME and runtime folder and never touches a
# user's or the system's PulseAudio.
#
# Usage: with-pulse.sh COMMAND [ARG...]
set -euo pipefail

if [[ $# -eq 0 ]]; then
    echo "usage: $0 COMMAND [ARG...]" >&2
    exit 2
fi
if ! command -v pulseaudio >/dev/null; then
    echo "$0: pulseaudio is not installed (apt-get install pulseaudio)" >&2
    exit 2
fi

readonly rate=${MORVANTIDE_PULSE_RATE:-22050}
# The sink writes in blocks of 4 KiB, so its byte rate sets how finely it schedules playback: a
# new stream starts, and a drained one is noticed, only at a block's edge. Eight channels at
# 22050 Hz give blocks of 5.8 ms, finer than a sound card's usual period. A mono clip reaches the
# first channel unchanged.
readonly channels=$((8 * 22050 / rate))
dir=$(mktemp -d "${TMPDIR:-/tmp}/morvantide-pulse.XXXXXX")
pulse_pid=""
reader_pid=""

# shellcheck disable=SC2317 # called through the trap
cleanup() {
    if [[ -n $pulse_pid ]]; then
        kill "$pulse_pid" 2>/dev/null || true
        wait "$pulse_pid" 2>/dev/null || true
    fi
    # The reader ends by itself once the daemon has closed the FIFO; it is still blocked in
    # open() if the daemon never started.
    if [[ -n $reader_pid ]]; then
        kill "$reader_pid" 2>/dev/null || true
        wait "$reader_pid" 2>/dev/null || true
    fi
    rm -rf "$dir"
}
trap cleanup EXIT
trap 'exit 130' INT TERM

mkdir -p "$dir/home" "$dir/runtime"
chmod 700 "$dir/runtime"
mkfifo "$dir/sink.fifo"
printf 'autospawn = no\n' >"$dir/client.conf"

export HOME="$dir/home"
export XDG_RUNTIME_DIR="$dir/runtime"
export XDG_CONFIG_HOME="$dir/home/.config"
export XDG_STATE_HOME="$dir/home/.local/state"
export PULSE_CLIENTCONFIG="$dir/client.conf"
export PULSE_SERVER="unix:$dir/native"
unset PULSE_SINK PULSE_COOKIE

sink_format="format=s32le rate=$rate channels=$channels"
settle_ms=250
if [[ ${MORVANTIDE_PULSE_SINK:-pipe} == null ]]; then
    sink="module-null-sink sink_name=capture $sink_format"
    settle_ms=2500
else
    cat "$dir/sink.fifo" >"$dir/sink.raw" &
    reader_pid=$!
    sink="module-pipe-sink file=$dir/sink.fifo sink_name=capture $sink_format use_system_clock_for_timing=yes"
fi

pulseaudio --daemonize=no --system=false -n --exit-idle-time=-1 --disallow-exit \
    --use-pid-file=no --disable-shm=no --log-target="file:$dir/pulse.log" \
    --load="$sink" --load="module-native-protocol-unix socket=$dir/native auth-anonymous=1" &
pulse_pid=$!

ready=0
for _ in $(seq 100); do
    if pactl info >/dev/null 2>&1; then
        ready=1
        break
    fi
    if ! kill -0 "$pulse_pid" 2>/dev/null; then
        break
    fi
    sleep 0.05
done
if [[ $ready -ne 1 ]]; then
    echo "$0: the private PulseAudio daemon did not start; its log:" >&2
    cat "$dir/pulse.log" >&2 || true
    exit 1
fi

if [[ -z $reader_pid ]]; then
    parec -d capture.monitor --raw --format=s32le --rate="$rate" --channels="$channels" \
        >"$dir/sink.raw" 2>"$dir/parec.log" &
    reader_pid=$!
fi

export MORVANTIDE_SINK_CAPTURE="$dir/sink.raw"
export MORVANTIDE_SINK_SETTLE_MS=$settle_ms
export MORVANTIDE_SINK_RATE=$rate
export MORVANTIDE_SINK_CHANNELS=$channels

status=0
"$@" || status=$?
exit "$status"
