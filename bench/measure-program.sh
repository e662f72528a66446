#!/usr/bin/env bash
# Measures the whole program as a user runs it and prints the figures of bench/README.md:
# start-up to the first painted window and shut-down (on a virtual X server and on the offscreen
# platform), then the CPU use of a minute of reception on the DUMMY port, on the software board and
# on the sound card (a PulseAudio daemon of its own with one null sink), of the heartbeat alone (a
# port that does not exist) and the machine's floor under them.
# Builds a Release tree first (BUILD_DIR, default build-measure). Needs Xvfb and PulseAudio
# (scripts/install-deps.sh).
#   bench/measure-program.sh                 # 30 start-ups, 60 s of reception on each port
#   RUNS=10 CPU_SECONDS=20 bench/measure-program.sh
#   bench/measure-program.sh soundcard dummy # some of the parts: startup floor none dummy board soundcard
# Run it on a quiet machine: it prints the load average before and after.
set -euo pipefail
cd "$(dirname "$0")/.."
build=${BUILD_DIR:-build-measure}
runs=${RUNS:-30}
seconds=${CPU_SECONDS:-60}

cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build "$build" --target skrivel skrivel-board hellfont measure_program measure_floor >/dev/null
bin=$PWD/$build/bin
measure=$bin/measure_program

work=$(mktemp -d)
started=()
cleanup()
{
    for pid in "${started[@]}"; do
        kill "$pid" 2>/dev/null || true
        wait "$pid" 2>/dev/null || true
    done
    rm -rf "$work"
}
trap cleanup EXIT

# Waits until the file exists, at most 5 s.
await()
{
    for _ in $(seq 100); do
        [ -s "$1" ] || [ -L "$1" ] || [ -S "$1" ] && return 0
        sleep 0.05
    done
    echo "$2 did not start" >&2
    exit 1
}

# A virtual X server of our own on a free display; without a window manager, as the tests run.
Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp 3>"$work/display" 2>"$work/xvfb.log" &
xvfb=$!
started+=("$xvfb")
await "$work/display" Xvfb
export DISPLAY=:$(head -1 "$work/display")
unset QT_QPA_PLATFORM

# The parts, each runnable alone: bench/measure-program.sh soundcard
startup()
{
    echo "== Start-up and shut-down, Xvfb (xcb)"
    "$measure" startup "$runs" "$bin/skrivel"
    echo
    echo "== Start-up and shut-down, offscreen"
    QT_QPA_PLATFORM=offscreen "$measure" startup "$runs" "$bin/skrivel"
}

floor()
{
    echo "== The machine's floor: the I/O thread's system calls without the program"
    "$bin/measure_floor" "$seconds"
}

none()
{
    echo "== CPU of the heartbeat alone: no port (the profile names one that does not exist), Xvfb"
    "$measure" cpu "$seconds" "$bin/skrivel" "$work/no-such-port"
}

dummy()
{
    echo "== CPU while receiving on DUMMY, Xvfb"
    "$measure" cpu "$seconds" "$bin/skrivel" --watch "$xvfb"
}

board()
{
    echo "== CPU while receiving from skrivel-board, Xvfb"
    "$bin/skrivel-board" --link "$work/board" --remote-text "CQ CQ DE TEST TEST K" >"$work/board.log" 2>&1 &
    local board=$!
    started+=("$board")
    await "$work/board" skrivel-board
    "$measure" cpu "$seconds" "$bin/skrivel" "$work/board" --watch "$board" --watch "$xvfb"
}

soundcard()
{
    echo "== CPU while receiving on the sound card, the waterfall showing, Xvfb"
    # The tests' way of running a sound server: a daemon of our own, one null sink. Skrivel plays
    # into the sink and hears its monitor, so its receiver works on 8000 samples a second throughout.
    mkdir -p "$work/pulse"
    export PULSE_SERVER=unix:$work/pulse/pulse.sock
    HOME=$work/pulse XDG_RUNTIME_DIR=$work/pulse pulseaudio -n --daemonize=no --system=no --exit-idle-time=-1 \
        -L "module-native-protocol-unix socket=$work/pulse/pulse.sock auth-anonymous=1" \
        -L "module-null-sink sink_name=bench rate=8000" >"$work/pulse.log" 2>&1 &
    local pulse=$!
    started+=("$pulse")
    await "$work/pulse/pulse.sock" pulseaudio
    for _ in $(seq 50); do pactl set-default-source bench.monitor 2>/dev/null && break; sleep 0.1; done
    "$measure" cpu "$seconds" "$bin/skrivel" SOUNDCARD --watch "$pulse" --watch "$xvfb"
}

echo "load average before: $(cut -d' ' -f1-3 /proc/loadavg)"
for part in ${*:-startup floor none dummy board soundcard}; do
    echo
    "$part"
done
echo
echo "load average after: $(cut -d' ' -f1-3 /proc/loadavg)"
