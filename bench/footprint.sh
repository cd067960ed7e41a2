#!/usr/bin/env bash
# Whole-process figures of Hourlark beside the floor (bench/tray_floor: a bare QSystemTrayIcon),
# both started in turn on the same throw-away desktop (Xvfb, trayer, a private D-Bus):
#   peak memory     VmHWM once the icon is in the tray
#   start-up CPU    CPU time of all threads until then (schedstat, nanoseconds)
#   idle wake-ups   context switches of all threads over 10 s with nothing running
#   counting        CPU per second over 20 s of a running countdown, the floor rewriting its
#                   tooltip every second; bench_tick gives one tick's CPU on its own
# Usage: bench/footprint.sh BUILD_FOLDER [RUNS]   (configure with -DHOURLARK_BUILD_BENCH=ON)
set -euo pipefail

here=$(cd "$(dirname "$0")" && pwd)
# shellcheck source=../tests/e2e/desktop-session.sh disable=SC1091
source "$here/../tests/e2e/desktop-session.sh"

if [[ ${1:-} != --inside-bus ]]; then
    build=$(realpath "${1:?build folder}")
    runs=${2:-3}
    work=$(mktemp -d)
    trap 'session_cleanup; rm -rf "$work"' EXIT
    start_xvfb "$work" || { echo "Xvfb cannot start"; exit 1; }
    dbus-run-session -- bash "$0" --inside-bus "$build" "$runs" "$work"
    exit
fi

build=$2
runs=$3
work=$4
trap session_cleanup EXIT
export QT_QPA_PLATFORM=xcb LC_ALL=C.UTF-8
start_trayer "$work" || { echo "trayer does not start"; exit 1; }

# CPU nanoseconds of every thread of a process.
cpu_ns() {
    cat /proc/"$1"/task/*/schedstat 2>/dev/null | awk '{ sum += $1 } END { printf "%d", sum }'
}

switches() {
    cat /proc/"$1"/task/*/status 2>/dev/null |
        awk '/ctxt_switches/ { sum += $2 } END { printf "%d", sum }'
}

peak_kib() {
    awk '/VmHWM/ { print $2 }' /proc/"$1"/status
}

icon_in_tray() {
    # The icon is a window of the program reparented into trayer's panel.
    xwininfo -root -tree | grep -A8 '"panel": ("panel" "trayer")' | grep -q "(\"$1\""
}

# start NAME BINARY [ARGUMENTS]: sets pid; returns once the icon is embedded and the process has
# gone quiet.
start() {
    local name=$1 binary=$2
    shift 2
    rm -rf "$work/xdg" && mkdir -p "$work/xdg/data" "$work/xdg/config" "$work/xdg/run"
    chmod 700 "$work/xdg/run"
    XDG_DATA_HOME="$work/xdg/data" XDG_CONFIG_HOME="$work/xdg/config" \
        XDG_RUNTIME_DIR="$work/xdg/run" "$binary" "$@" >/dev/null 2>&1 &
    pid=$!
    poll 30 icon_in_tray "$name" || { echo "$name: no tray icon"; exit 1; }
    # Whatever start-up work follows the icon (the first paint) is part of starting.
    local before after
    after=$(cpu_ns "$pid")
    while :; do
        before=$after
        sleep 0.5
        after=$(cpu_ns "$pid")
        ((after - before < 1000000)) && break
    done
}

stop() {
    kill "$pid"
    wait "$pid" 2>/dev/null || true
}

measure() {
    local name=$1 binary=$2
    start "$name" "$binary"
    local startup peak s0 s1
    startup=$(cpu_ns "$pid")
    peak=$(peak_kib "$pid")
    s0=$(switches "$pid")
    sleep 10
    s1=$(switches "$pid")
    echo "$name $peak $startup $((s1 - s0))" >>"$work/runs.txt"
    if [[ $name == hourlark ]]; then
        measure_tick
    fi
    stop
}

cpu_per_second() {
    local c0 c1
    sleep 2
    c0=$(cpu_ns "$pid")
    sleep 20
    c1=$(cpu_ns "$pid")
    echo $(((c1 - c0) / 20))
}

# The floor of a countdown: a bare tray icon whose tooltip changes every second.
measure_floor_tick() {
    start tray_floor "$build/bench/tray_floor" --tick
    echo "floortick $(cpu_per_second)" >>"$work/runs.txt"
    stop
}

# A running countdown: open the panel, Tab past the name to Start, press it.
measure_tick() {
    local icon
    icon=$(xdotool search --name '^[0-9]+:[0-9][0-9]' | head -n1)
    xdotool mousemove 0 700 mousemove --sync --window "$icon" 8 12 click 1
    poll 10 xdotool search --onlyvisible --name '^Hourlark$'
    sleep 0.5
    xdotool key Tab Tab space
    poll 10 title_is_counting "$icon"
    # The panel has just closed; let its last repaint pass before counting.
    echo "tick $(cpu_per_second)" >>"$work/runs.txt"
}

title_is_counting() {
    [[ $(xdotool getwindowname "$1") == 29:* ]]
}

: >"$work/runs.txt"
for ((run = 1; run <= runs; run++)); do
    measure tray_floor "$build/bench/tray_floor"
    measure hourlark "$build/src/app/hourlark"
    measure_floor_tick
done

median() {
    sort -n | awk '{ v[NR] = $1 } END { print (NR % 2) ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2 }'
}

figure() {
    awk -v n="$1" -v c="$2" '$1 == n { print $c }' "$work/runs.txt" | median
}

floor_peak=$(figure tray_floor 2)
app_peak=$(figure hourlark 2)
floor_cpu=$(figure tray_floor 3)
app_cpu=$(figure hourlark 3)
floor_wake=$(figure tray_floor 4)
app_wake=$(figure hourlark 4)
tick=$(figure tick 2)
floor_tick=$(figure floortick 2)

echo "Footprint, median of $runs runs each (floor: a bare Qt tray icon, same desktop, same run)"
awk -v ap="$app_peak" -v fp="$floor_peak" -v ac="$app_cpu" -v fc="$floor_cpu" \
    -v aw="$app_wake" -v fw="$floor_wake" -v t="$tick" -v ft="$floor_tick" 'BEGIN {
    printf "%-26s %14s %14s %7s  %s\n", "figure", "hourlark", "floor", "ratio", "target"
    printf "%-26s %11d KiB %11d KiB %7.2f  %s\n", "peak memory (VmHWM)", ap, fp, ap / fp, "<= 1.3"
    printf "%-26s %11.1f ms %11.1f ms %7.2f  %s\n", "start-up CPU", ac / 1e6, fc / 1e6, ac / fc, "<= 2"
    printf "%-26s %14d %14d %7s  %s\n", "wake-ups idle over 10 s", aw, fw, "-", "0"
    printf "%-26s %11.1f us %11.1f us %7.2f  %s\n", "CPU per second counting", t / 1e3, ft / 1e3, t / ft, "-"
}'
"$build/bench/bench_tick" 2>/dev/null
