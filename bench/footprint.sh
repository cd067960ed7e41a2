#!/usr/bin/env bash
# Whole-process figures of Hourlark beside the floor (bench/tray_floor: a bare QSystemTrayIcon),
# both started in turn on the same throw-away desktop (Xvfb, trayer, a private D-Bus), Hourlark
# with the realistic history of bench_history_file at each size. Each run measures the floor and
# Hourlark as a pair, the order alternating from run to run; every figure is the median [min-max]
# of the runs, beside its target.
#   peak memory          VmHWM once start-up is over (the process has been quiet for 0.5 s)
#   memory after start   VmRSS then
#   start-up CPU         CPU time of all threads until then (schedstat, nanoseconds)
#   click answered after from the icon's appearance in the tray to the panel on screen, the click
#                        sent as soon as the icon is seen (a fresh start of its own)
#   idle wake-ups        wake-ups of all threads over 10 s with nothing running
# Counting (no history): a running countdown against the floor's (tooltip every second, icon
# every minute), 60 s each: CPU and wake-ups of the program, the X server, the tray host and the
# session bus daemon.
# Usage: bench/footprint.sh BUILD_FOLDER [RUNS] [SIZES]
#   e.g. bench/footprint.sh build-bench 3 "0 10000 100000"   (configure with -DHOURLARK_BUILD_BENCH=ON)
set -euo pipefail

here=$(cd "$(dirname "$0")" && pwd)
# shellcheck source=../tests/e2e/desktop-session.sh disable=SC1091
source "$here/../tests/e2e/desktop-session.sh"

if [[ ${1:-} != --inside-bus ]]; then
    build=$(realpath "${1:?build folder}")
    runs=${2:-3}
    sizes=${3:-0 10000 100000}
    work=$(mktemp -d)
    trap 'session_cleanup; rm -rf "$work"' EXIT
    start_xvfb "$work" || { echo "Xvfb cannot start"; exit 1; }
    xvfb_pid=${session_pids[0]}
    dbus-run-session -- bash "$0" --inside-bus "$build" "$runs" "$sizes" "$work" "$xvfb_pid"
    exit
fi

build=$2
runs=$3
read -r -a sizes <<<"$4"
work=$5
xvfb_pid=$6
trap session_cleanup EXIT
export QT_QPA_PLATFORM=xcb LC_ALL=C.UTF-8
start_trayer "$work" || { echo "trayer does not start"; exit 1; }
trayer_pid=${session_pids[-1]}
# The private bus's daemon, started by dbus-run-session beside this script.
bus_pid=$(pgrep -P "$PPID" -x dbus-daemon)
count_seconds=60

# CPU nanoseconds of every thread of a process.
cpu_ns() {
    cat /proc/"$1"/task/*/schedstat 2>/dev/null | awk '{ sum += $1 } END { printf "%d", sum }'
}

# One line per thread of each process: "PID TID CPU_NS WAKEUPS". Wake-ups are the times the thread
# went to sleep and was woken (voluntary context switches; the involuntary ones count a busy
# machine's preemptions, not the program's doing).
thread_counts() {
    local pid
    for pid in "$@"; do
        awk -v pid="$pid" '
            { n = split(FILENAME, part, "/"); tid = part[n - 1] }
            FILENAME ~ /schedstat$/ { cpu[tid] = $1 }
            /^voluntary_ctxt_switches/ { vol[tid] = $2 }
            END { for (tid in cpu) if (tid in vol) print pid, tid, cpu[tid], vol[tid] }' \
            /proc/"$pid"/task/*/schedstat /proc/"$pid"/task/*/status 2>/dev/null || true
    done
}

# watch SECONDS PID...: CPU nanoseconds and wake-ups of each process over SECONDS, one line per
# process: "PID CPU_NS WAKEUPS". The threads are read once a second, so a thread that ends in the
# window counts with what it did until its last reading, and one that starts in it counts from
# zero; summing the threads at both ends instead would take away all that an ending thread had
# ever done (the history loader's pooled thread ends 30 s after its last job, often mid-window).
watch() {
    local seconds=$1 start second wait_ms
    shift
    start=$(now_ms)
    thread_counts "$@" | sed 's/^/0 /' >"$work/watch.txt"
    for ((second = 1; second <= seconds; second++)); do
        wait_ms=$((start + second * 1000 - $(now_ms)))
        if ((wait_ms > 0)); then
            sleep "$(printf '%d.%03d' $((wait_ms / 1000)) $((wait_ms % 1000)))"
        fi
        thread_counts "$@" | sed "s/^/$second /" >>"$work/watch.txt"
    done
    awk '
        $1 == 0 { first_cpu[$2 " " $3] = $4; first_vol[$2 " " $3] = $5 }
        { last_cpu[$2 " " $3] = $4; last_vol[$2 " " $3] = $5 }
        END {
            for (key in last_cpu) {
                split(key, k, " ")
                cpu[k[1]] += last_cpu[key] - first_cpu[key]
                vol[k[1]] += last_vol[key] - first_vol[key]
            }
            for (pid in cpu) printf "%s %d %d\n", pid, cpu[pid], vol[pid]
        }' "$work/watch.txt"
}

status_kib() {
    awk -v field="$2:" '$1 == field { print $2 }' /proc/"$1"/status
}

now_ms() {
    echo $(($(date +%s%N) / 1000000))
}

icon_in_tray() {
    # The icon is a window of the program reparented into trayer's panel.
    xwininfo -root -tree | grep -A8 '"panel": ("panel" "trayer")' | grep -q "(\"$1\""
}

# Tighter than poll: the moment the icon appears is part of a figure.
wait_for() {
    local deadline=$(($(now_ms) + $1 * 1000))
    shift
    until "$@" >/dev/null 2>&1; do
        (($(now_ms) < deadline)) || return 1
        sleep 0.01
    done
}

# launch NAME HISTORY_SIZE BINARY [ARGUMENTS]: sets pid and appeared (ms) once the icon is
# embedded.
launch() {
    local name=$1 size=$2 binary=$3
    shift 3
    rm -rf "$work/xdg" && mkdir -p "$work/xdg/data/hourlark" "$work/xdg/config" "$work/xdg/run"
    chmod 700 "$work/xdg/run"
    if ((size > 0)); then
        cp "$work/history-$size.json" "$work/xdg/data/hourlark/TaskHistoryData.json"
    fi
    XDG_DATA_HOME="$work/xdg/data" XDG_CONFIG_HOME="$work/xdg/config" \
        XDG_RUNTIME_DIR="$work/xdg/run" "$binary" "$@" >/dev/null 2>&1 &
    pid=$!
    wait_for 60 icon_in_tray "$name" || { echo "$name: no tray icon"; exit 1; }
    appeared=$(now_ms)
}

# Whatever start-up work follows the icon (the first paint, a history read behind it) is part of
# starting: returns once the process has used under 1 ms of CPU in half a second.
settle() {
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

record() {
    echo "$*" >>"$work/runs.txt"
}

# measure_start KIND SIZE BINARY: peak, after-start memory, start-up CPU, idle wake-ups.
measure_start() {
    local kind=$1 size=$2 binary=$3 name
    name=$(basename "$binary")
    launch "$name" "$size" "$binary"
    settle
    record "$kind $size startup $(cpu_ns "$pid")"
    record "$kind $size peak $(status_kib "$pid" VmHWM)"
    record "$kind $size steady $(status_kib "$pid" VmRSS)"
    record "$kind $size idle $(watch 10 "$pid" | awk '{ print $3 }')"
    stop
}

popover_shown() {
    xdotool search --onlyvisible --name '^Hourlark$'
}

hourlark_icon() {
    xdotool search --name '^[0-9]+:[0-9][0-9]' | head -n1
}

# From the icon's appearance to the panel on screen, clicked at once.
measure_click() {
    local size=$1 icon
    launch hourlark "$size" "$build/src/app/hourlark"
    icon=$(hourlark_icon)
    xdotool mousemove --window "$icon" 8 12 click 1
    wait_for 30 popover_shown || { echo "the panel does not open"; exit 1; }
    record "hourlark $size click $(($(now_ms) - appeared))"
    stop
}

# count KIND: CPU and wake-ups over count_seconds of the process, the X server, the tray host and
# the session bus.
count() {
    local kind=$1 who cpu wake
    sleep 2
    watch "$count_seconds" "$pid" "$xvfb_pid" "$trayer_pid" "$bus_pid" >"$work/counted.txt"
    for who in "$pid:" "$xvfb_pid:x" "$trayer_pid:t" "$bus_pid:b"; do
        read -r cpu wake < <(awk -v pid="${who%%:*}" '$1 == pid { print $2, $3 }' "$work/counted.txt") ||
            true
        record "$kind count ${who#*:}cpu ${cpu:-0}"
        record "$kind count ${who#*:}wake ${wake:-0}"
    done
}

count_floor() {
    launch tray_floor 0 "$build/bench/tray_floor" --tick
    count floor
    stop
}

# A running countdown: open the panel, Tab past the name and the minutes to Start, press it; the
# panel closes as the countdown starts.
count_hourlark() {
    launch hourlark 0 "$build/src/app/hourlark"
    settle
    local icon
    icon=$(hourlark_icon)
    xdotool mousemove 0 700 mousemove --sync --window "$icon" 8 12 click 1
    wait_for 10 popover_shown || { echo "the panel does not open"; exit 1; }
    sleep 0.5
    xdotool key Tab Tab space
    wait_for 10 popover_hidden || { echo "Start does not close the panel"; exit 1; }
    count hourlark
    # The icon window is renamed with each new minute drawn: proof that it counted.
    [[ $(xdotool getwindowname "$icon") =~ ^(29|28):00( |$) ]] ||
        { echo "the countdown did not run: $(xdotool getwindowname "$icon")"; exit 1; }
    stop
}

popover_hidden() {
    ! popover_shown
}

for size in "${sizes[@]}"; do
    if ((size > 0)); then
        echo "history of $size: $("$build/bench/bench_history_file" "$work/history-$size.json" "$size")"
    fi
done

: >"$work/runs.txt"
for ((run = 1; run <= runs; run++)); do
    for size in "${sizes[@]}"; do
        if ((run % 2)); then
            measure_start floor "$size" "$build/bench/tray_floor"
            measure_start hourlark "$size" "$build/src/app/hourlark"
        else
            measure_start hourlark "$size" "$build/src/app/hourlark"
            measure_start floor "$size" "$build/bench/tray_floor"
        fi
        measure_click "$size"
    done
    if ((run % 2)); then
        count_floor
        count_hourlark
    else
        count_hourlark
        count_floor
    fi
    echo "run $run of $runs done"
done

# stats KIND SIZE FIELD [SCALE]: "median min max" of the runs, divided by SCALE.
stats() {
    awk -v k="$1" -v s="$2" -v f="$3" -v scale="${4:-1}" \
        '$1 == k && $2 == s && $3 == f { print $4 / scale }' "$work/runs.txt" | sort -g |
        awk '{ v[NR] = $1 } END {
            m = (NR % 2) ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2
            printf "%g %g %g", m, v[1], v[NR] }'
}

# row FIGURE UNIT "OURS" "FLOOR" TARGET_KIND LIMIT: prints the figure; TARGET_KIND is ratio (ours
# over floor at most LIMIT), most (ours at most LIMIT), floor (ours within the floor's range),
# icon (ours within the floor's range plus LIMIT for what goes with each new minute drawn) or -.
row() {
    awk -v figure="$1" -v unit="$2" -v ours="$3" -v floor="$4" -v kind="$5" -v limit="${6:-0}" '
    function cell(s, unit,   p) {
        if (s == "") return "-"
        split(s, p, " ")
        return sprintf("%.4g %s [%.4g-%.4g]", p[1], unit, p[2], p[3])
    }
    BEGIN {
        split(ours, o, " "); split(floor, f, " ")
        ratio = (floor != "" && f[1] > 0) ? sprintf("%.2f", o[1] / f[1]) : "-"
        target = "-"; holds = ""
        if (kind == "ratio") { target = "<= " limit "x"; holds = (o[1] <= limit * f[1]) ? "yes" : "NO" }
        if (kind == "most") { target = "<= " limit " " unit; holds = (o[1] <= limit) ? "yes" : "NO" }
        if (kind == "floor") { target = "<= floor"; holds = (o[1] <= f[3]) ? "yes" : "NO" }
        if (kind == "icon") { target = "<= floor+" limit; holds = (o[1] <= f[3] + limit) ? "yes" : "NO" }
        printf "  %-34s %-30s %-30s %6s  %-12s %s\n", figure, cell(ours, unit), cell(floor, unit), ratio, target, holds
    }'
}

echo
echo "Footprint: median [min-max] of $runs runs each; floor: a bare Qt tray icon, same desktop, same runs"
for size in "${sizes[@]}"; do
    echo
    echo "History of $size completions"
    printf "  %-34s %-30s %-30s %6s  %-12s %s\n" figure hourlark floor ratio target holds
    row "peak memory (VmHWM)" MiB "$(stats hourlark "$size" peak 1024)" \
        "$(stats floor "$size" peak 1024)" ratio 1.6
    row "memory after start (VmRSS)" MiB "$(stats hourlark "$size" steady 1024)" \
        "$(stats floor "$size" steady 1024)" ratio 1.4
    row "start-up CPU" ms "$(stats hourlark "$size" startup 1000000)" \
        "$(stats floor "$size" startup 1000000)" ratio 2.5
    row "click answered after" ms "$(stats hourlark "$size" click)" "" most 150
    row "wake-ups idle over 10 s" "" "$(stats hourlark "$size" idle)" \
        "$(stats floor "$size" idle)" floor
done

echo
echo "Counting for ${count_seconds} s, per minute but for the program's wake-ups (the floor rewrites its tooltip every second and redraws its icon every minute)"
printf "  %-34s %-30s %-30s %6s  %-12s %s\n" figure hourlark floor ratio target holds
per_minute=$((count_seconds / 60))
row "CPU of the program" ms "$(stats hourlark count cpu $((1000000 * per_minute)))" \
    "$(stats floor count cpu $((1000000 * per_minute)))" ratio 1.2
row "wake-ups of the program per second" "" "$(stats hourlark count wake "$count_seconds")" \
    "$(stats floor count wake "$count_seconds")" most 1.1
# The X server and the tray host may hear of the countdown only with each new minute drawn: the
# icon's window is then renamed (two properties, each a wake-up of the tray host, which watches
# the window's properties for XEmbed). Their CPU is shown beside the floor's; the wake-ups judge.
row "CPU of the X server (Xvfb)" ms "$(stats hourlark count xcpu $((1000000 * per_minute)))" \
    "$(stats floor count xcpu $((1000000 * per_minute)))" -
row "wake-ups of the X server" "" "$(stats hourlark count xwake "$per_minute")" \
    "$(stats floor count xwake "$per_minute")" icon 2
row "CPU of the tray host (trayer)" ms "$(stats hourlark count tcpu $((1000000 * per_minute)))" \
    "$(stats floor count tcpu $((1000000 * per_minute)))" -
row "wake-ups of the tray host" "" "$(stats hourlark count twake "$per_minute")" \
    "$(stats floor count twake "$per_minute")" icon 2
row "CPU of the session bus daemon" ms "$(stats hourlark count bcpu $((1000000 * per_minute)))" \
    "$(stats floor count bcpu $((1000000 * per_minute)))" -
row "wake-ups of the session bus daemon" "" "$(stats hourlark count bwake "$per_minute")" \
    "$(stats floor count bwake "$per_minute")" floor
echo
"$build/bench/bench_tick" 2>/dev/null
